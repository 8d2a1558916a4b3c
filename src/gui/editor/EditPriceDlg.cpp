#include "gui/editor/EditPriceDlg.h"

#include "core/config/UserInteraction.h"
#include "core/editing/EditPriceValues.h"
#include "gui/controls/CoreText.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

// Left to right as the fields stand, with their labels.
constexpr std::array<std::pair<CEditPriceValues::Field, const char*>, 5> kFields{{
    {CEditPriceValues::kOpen, "open"},
    {CEditPriceValues::kHigh, "high"},
    {CEditPriceValues::kLow, "low"},
    {CEditPriceValues::kClose, "close"},
    {CEditPriceValues::kVolume, "volume"},
}};

} // namespace

CEditPriceDlg::CEditPriceDlg(CEditPriceValues& values, CUserInteraction& interaction,
                             QWidget* parent)
    : QDialog(parent), values_(values), interaction_(interaction),
      date_(new QLabel(QtText(values.DateText()), this)) {
    setWindowTitle(QStringLiteral("Edit Price"));
    date_->setObjectName(QStringLiteral("date"));

    auto* grid = new QGridLayout;
    grid->addWidget(date_, 1, 0);
    for (std::size_t column = 0; column < kFields.size(); ++column) {
        const auto [field, title] = kFields[column];
        auto* edit = new QLineEdit(QtText(values.Texts()[field]), this);
        edit->setObjectName(QString::fromLatin1(title));
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")));
        auto* label = new QLabel(QString::fromLatin1(title), this);
        label->setBuddy(edit);
        const int at = static_cast<int>(column) + 1;
        grid->addWidget(label, 0, at);
        grid->addWidget(edit, 1, at);
        fields_[field] = edit;
    }
    grid->setColumnMinimumWidth(
        0, date_->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CEditPriceDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEditPriceDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    fields_[CEditPriceValues::kOpen]->setFocus();
}

QLineEdit* CEditPriceDlg::Field(int field) const {
    return field >= 0 && field < static_cast<int>(fields_.size())
               ? fields_[static_cast<std::size_t>(field)]
               : nullptr;
}

void CEditPriceDlg::accept() {
    CEditPriceValues::FieldTexts texts;
    for (std::size_t field = 0; field < texts.size(); ++field) {
        texts[field] = CoreText(fields_[field]->text());
    }
    const CEditPriceValues::Check check = values_.Accept(texts);
    if (!check.accepted) {
        interaction_.ShowMessage(check.message, MessageIcon::Exclamation);
        QLineEdit* refused = fields_[check.field];
        refused->setFocus();
        refused->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace mvr::gui
