#include "gui/catalogue/AddListDlg.h"

#include "core/app/ListNameRule.h"
#include "gui/controls/CoreText.h"

#include <algorithm>
#include <numeric>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mvr::gui {

CAddListDlg::CAddListDlg(std::vector<CMVRDirListInfo> lists, CUserInteraction& interaction,
                         QWidget* parent)
    : QDialog(parent), lists_(std::move(lists)), interaction_(interaction),
      names_(new QComboBox(this)) {
    setWindowTitle(QString::fromLatin1(kAddListDialogTitle));
    names_->setEditable(true);
    // The box only shows the existing names: typing must neither complete
    // them into the field (the typed name would silently become an existing
    // one) nor add the typed name to the box.
    names_->setCompleter(nullptr);
    names_->setInsertPolicy(QComboBox::NoInsert);
    names_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    names_->setMinimumContentsLength(24);

    std::vector<std::size_t> order(lists_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return QtText(lists_[a].name).compare(QtText(lists_[b].name), Qt::CaseInsensitive) < 0;
    });
    for (const std::size_t index : order) {
        names_->addItem(QtText(lists_[index].name), QVariant::fromValue<qulonglong>(index));
    }
    // The user types a new name; no existing one is offered as the answer.
    names_->setCurrentIndex(-1);
    names_->setEditText(QString());

    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    fields->addRow(QString::fromLatin1(kListNameLabel), names_);
    layout->addLayout(fields);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddListDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAddListDlg::reject);
    layout->addWidget(buttons);
    names_->setFocus();
}

void CAddListDlg::accept() {
    const std::optional<std::string> name =
        AcceptListName(CoreText(names_->currentText()), lists_, interaction_);
    if (!name) {
        return;
    }
    name_ = *name;
    QDialog::accept();
}

} // namespace mvr::gui
