#include "gui/controls/FloatEdit.h"

#include "core/controls/EditControlText.h"

namespace mvr::gui {

CFloatEdit::CFloatEdit(QWidget* parent) : CNumberEdit(parent) {}

double CFloatEdit::GetValue() {
    std::string text = Text();
    const double value = TakeDecimalValue(text);
    if (text != Text()) {
        SetText(text);
    }
    return value;
}

void CFloatEdit::Step(int delta) {
    SetText(DecimalFieldStep(Text(), delta, GetStep()));
}

} // namespace mvr::gui
