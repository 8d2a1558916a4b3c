#include "gui/controls/NumberEdit.h"

#include "core/controls/EditControlText.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/SpinArrows.h"

#include <algorithm>
#include <QEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>

namespace mvr::gui {

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent), spin_(new CSpinArrows(this)) {
    connect(spin_, &CSpinArrows::stepped, this, &CNumberEdit::Spin);
    PlaceSpin();
}

std::string CNumberEdit::Text() const {
    return CoreText(text());
}

void CNumberEdit::SetText(const std::string& text) {
    setText(QtText(text));
}

void CNumberEdit::ShowSpin(bool show) {
    showSpin_ = show;
    PlaceSpin();
}

void CNumberEdit::Step(int delta) {
    setText(QtText(WholeNumberFieldStep(Text(), delta, step_)));
}

void CNumberEdit::Spin(int delta) {
    Step(delta);
    emit spun(delta);
}

QToolButton* CNumberEdit::UpButton() const {
    return spin_->UpButton();
}

QToolButton* CNumberEdit::DownButton() const {
    return spin_->DownButton();
}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
    const std::optional<int> delta = SpinDeltaOfKey(*event);
    if (delta && spin_->isVisible()) {
        Spin(*delta);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CNumberEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceSpin();
}

void CNumberEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        PlaceSpin();
    }
}

void CNumberEdit::PlaceSpin() {
    const bool shown = showSpin_ && isEnabled();
    spin_->setVisible(shown);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int width = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 2;
    spin_->setGeometry(this->width() - frame - width, frame, width,
                       std::max(0, height() - 2 * frame));
    setTextMargins(0, 0, shown ? width : 0, 0);
}

} // namespace mvr::gui
