#pragma once

// Asks for a stock split: the day from which the prices stay as they are,
// and the factor that the older prices are multiplied by.

#include "core/editing/PriceSplit.h"

#include <cstdint>
#include <QDialog>

namespace mvr::gui {

class CDatumEdit;
class CFloatEdit;

class CSplitDataDlg : public QDialog {
    Q_OBJECT

public:
    CSplitDataDlg(std::int32_t proposedDay, float proposedFactor, QWidget* parent = nullptr);

    // What the two fields say; meaningful after OK.
    SplitRequest Request() const;

    CDatumEdit* DateEdit() const { return date_; }
    CFloatEdit* FactorEdit() const { return factor_; }

private:
    CDatumEdit* date_;
    CFloatEdit* factor_;
};

} // namespace mvr::gui
