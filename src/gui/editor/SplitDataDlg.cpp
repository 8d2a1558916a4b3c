#include "gui/editor/SplitDataDlg.h"

#include "gui/controls/CoreText.h"
#include "gui/controls/DatumEdit.h"
#include "gui/controls/FloatEdit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace mvr::gui {

CSplitDataDlg::CSplitDataDlg(std::int32_t proposedDay, float proposedFactor, QWidget* parent)
    : QDialog(parent), date_(new CDatumEdit(this)), factor_(new CFloatEdit(this)) {
    setWindowTitle(QStringLiteral("Split Data"));
    const CSplitDataValues values(proposedDay, proposedFactor);
    date_->setObjectName(QStringLiteral("splitDate"));
    date_->setText(QtText(values.DateText()));
    factor_->setObjectName(QStringLiteral("factor"));
    factor_->SetStep(static_cast<float>(CSplitDataValues::kFactorStep));
    factor_->SetText(values.FactorText());

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Split-Date:"), date_);
    form->addRow(QStringLiteral("Factor:"), factor_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CSplitDataDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSplitDataDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(260);
}

SplitRequest CSplitDataDlg::Request() const {
    return CSplitDataValues::Accept(date_->Text(), factor_->Text());
}

} // namespace mvr::gui
