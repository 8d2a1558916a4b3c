#include "gui/controls/FloatEdit.h"

#include "core/controls/EditControlText.h"

#include <QKeyEvent>
#include <QToolButton>

namespace mvr::gui {

CFloatEdit::CFloatEdit(QWidget* parent) : CNumberEdit(parent) {
    // The whole-number step of the base would cut the decimals off: the
    // arrows are taken over.
    disconnect(UpButton(), &QToolButton::clicked, this, nullptr);
    disconnect(DownButton(), &QToolButton::clicked, this, nullptr);
    connect(UpButton(), &QToolButton::clicked, this, [this] { Spin(-1); });
    connect(DownButton(), &QToolButton::clicked, this, [this] { Spin(1); });
}

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

void CFloatEdit::Spin(int delta) {
    Step(delta);
    emit spun(delta);
}

void CFloatEdit::keyPressEvent(QKeyEvent* event) {
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (SpinShown() && isEnabled() && plain &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        Spin(event->key() == Qt::Key_Up ? -1 : 1);
        return;
    }
    CNumberEdit::keyPressEvent(event);
}

} // namespace mvr::gui
