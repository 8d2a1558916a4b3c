#include "gui/dialogs/FindInstrumentDlg.h"

#include "core/app/FindInstrumentInDirectories.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/SortHeader.h"
#include "gui/models/DirListTableModel.h"
#include "gui/models/ListViews.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace mvr::gui {

CFindInstrumentInDirectoriesDlg::CFindInstrumentInDirectoriesDlg(
    CFindInstrumentInDirectories& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setWindowTitle(kFindInstrumentCaption);
    auto* layout = new QVBoxLayout(this);
    auto* search = new QHBoxLayout;
    text_ = new QLineEdit(this);
    auto* find = new QPushButton(kFindButtonText, this);
    search->addWidget(new QLabel(kTextToFindLabel, this));
    search->addWidget(text_, 1);
    search->addWidget(find);
    layout->addLayout(search);

    resultModel_ = new CDirListTableModel(model_.ResultList(), this);
    results_ = MakeListView(this, resultModel_, new CSortHeader(this));
    results_->setSelectionMode(QAbstractItemView::SingleSelection);
    SetColumnWidths(results_, CExpDirListModel::Columns());
    resultModel_->SyncSelectionTo(results_->selectionModel());
    layout->addWidget(results_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    // "Find" is the default button: Enter in the text field searches.
    find->setDefault(true);
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    connect(find, &QPushButton::clicked, this, [this] { Find(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &CFindInstrumentInDirectoriesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(results_, &QTableView::doubleClicked, this, [this] { accept(); });
    resize(640, 360);
}

void CFindInstrumentInDirectoriesDlg::Find() {
    model_.Find(CoreText(text_->text()));
}

void CFindInstrumentInDirectoriesDlg::accept() {
    model_.Accept();
    QDialog::accept();
}

} // namespace mvr::gui
