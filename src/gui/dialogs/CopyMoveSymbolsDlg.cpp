#include "gui/dialogs/CopyMoveSymbolsDlg.h"

#include "core/editing/CopyMoveSymbols.h"
#include "gui/app/NetworkWork.h"
#include "gui/controls/CoreText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

// The buttons are big: they carry the target directory's whole path.
QPushButton* LargeButton(const std::string& text, QWidget* parent) {
    auto* button = new QPushButton(QtText(text), parent);
    button->setMinimumHeight(48);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CCopyMoveSymbolsDlg::CCopyMoveSymbolsDlg(CCopyMoveSymbols& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(kCopyMoveCaption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QtText(model_.CountText()), this));
    copy_ = LargeButton(model_.CopyButtonText(), this);
    move_ = LargeButton(model_.MoveButtonText(), this);
    move_->setEnabled(model_.MoveEnabled());
    layout->addWidget(copy_);
    layout->addWidget(move_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(copy_, &QPushButton::clicked, this, [this] { Run(false); });
    connect(move_, &QPushButton::clicked, this, [this] { Run(true); });
    setMinimumWidth(420);
}

void CCopyMoveSymbolsDlg::Run(bool move) {
    const bool finished = RunNetworkWorkOnWorker(
        this, kCopyMoveCaption,
        [this, move](const RunFlag&) {
            if (move) {
                model_.Move();
            } else {
                model_.Copy();
            }
        },
        [this] { model_.Stop(); });
    if (finished) {
        accept();
    }
}

} // namespace mvr::gui
