#pragma once

#include "gui/controls/NumberEdit.h"

namespace mvr::gui {

// A decimal-number field: the whole-number field's spin, stepping a decimal
// number instead. A comma is taken as the decimal point, since users type
// the one their keyboard offers.
class CFloatEdit : public CNumberEdit {
    Q_OBJECT

public:
    explicit CFloatEdit(QWidget* parent = nullptr);

    // The number in the field (0.0 when it begins with none). Its first comma
    // becomes a full stop in the field itself, as the value was read.
    double GetValue();

    // One spin click with the spin's position delta: the up arrow gives -1
    // and adds one step.
    void Step(int delta) override;
};

} // namespace mvr::gui
