#include "gui/catalogue/CatalogTreeDlg.h"

#include "core/net/ProcessState.h"
#include "gui/catalogue/CatalogueTreeView.h"

#include <QDialogButtonBox>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

// How often a closing dialog looks whether the stopped loader has ended; the
// loader gives up within a second of being stopped.
constexpr int kLoaderPollMs = 20;

} // namespace

CMVRCatalogTreeDlg::CMVRCatalogTreeDlg(QWidget* parent)
    : QDialog(parent), tree_(new CCatalogueTreeView(this)),
      none_(new QPushButton(QString::fromLatin1(kNoCatalogueButtonText), this)) {
    setWindowTitle(QString::fromLatin1(kCatalogueTreeTitle));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(none_, QDialogButtonBox::ResetRole);
    // Enter in the tree chooses, as OK does; "None" only by its own click.
    none_->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMVRCatalogTreeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMVRCatalogTreeDlg::reject);
    connect(none_, &QPushButton::clicked, this, &CMVRCatalogTreeDlg::ChooseNone);
    connect(tree_, &QTreeView::doubleClicked, this, &CMVRCatalogTreeDlg::accept);
    layout->addWidget(buttons);

    resize(320, 400);
    setMinimumSize(240, 220);
    tree_->setFocus();

    loader_.Start([this](std::vector<CatalogueTreeItem> items) {
        QMetaObject::invokeMethod(
            this, [this, items = std::move(items)] { ShowTree(items); }, Qt::QueuedConnection);
    });
}

CMVRCatalogTreeDlg::~CMVRCatalogTreeDlg() = default;

void CMVRCatalogTreeDlg::ShowTree(const std::vector<CatalogueTreeItem>& items) {
    tree_->ShowTree(items);
    emit treeShown();
}

void CMVRCatalogTreeDlg::accept() {
    if (closing_) {
        return;
    }
    CCatalogueTables& tables = ProcessCatalogueTables();
    const std::vector<std::size_t> chain = tree_->SelectedChain();
    const std::optional<CatalogueChoice> choice =
        ChooseCatalogue(tables.TreeSnapshot(), chain, tables);
    if (!choice) {
        return;
    }
    choice_ = *choice;
    QDialog::accept();
}

void CMVRCatalogTreeDlg::ChooseNone() {
    if (closing_) {
        return;
    }
    choice_ = CatalogueChoice{};
    QDialog::accept();
}

void CMVRCatalogTreeDlg::done(int result) {
    if (closing_) {
        return;
    }
    closing_ = true;
    StopLoader();
    closing_ = false;
    QDialog::done(result);
}

void CMVRCatalogTreeDlg::StopLoader() {
    loader_.Stop();
    if (loader_.IsRunning()) {
        QEventLoop waiting;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &waiting, [this, &waiting] {
            if (!loader_.IsRunning()) {
                waiting.quit();
            }
        });
        poll.start(kLoaderPollMs);
        waiting.exec();
    }
    loader_.Wait();
}

} // namespace mvr::gui
