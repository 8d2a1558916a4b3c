#include "gui/controls/NumberEdit.h"

#include "core/controls/EditControlText.h"

#include <algorithm>
#include <QEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

QToolButton* SpinArrow(QWidget* parent, Qt::ArrowType arrow, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    // The field keeps the focus while the number is spun.
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return button;
}

} // namespace

CNumberEdit::CNumberEdit(QWidget* parent)
    : QLineEdit(parent), spin_(new QWidget(this)),
      upButton_(SpinArrow(spin_, Qt::UpArrow, "spinUp")),
      downButton_(SpinArrow(spin_, Qt::DownArrow, "spinDown")) {
    auto* spinLayout = new QVBoxLayout(spin_);
    spinLayout->setContentsMargins(0, 0, 0, 0);
    spinLayout->setSpacing(0);
    spinLayout->addWidget(upButton_);
    spinLayout->addWidget(downButton_);
    spin_->setCursor(Qt::ArrowCursor);

    connect(upButton_, &QToolButton::clicked, this, [this] { Spin(-1); });
    connect(downButton_, &QToolButton::clicked, this, [this] { Spin(1); });
    PlaceSpin();
}

std::string CNumberEdit::Text() const {
    return text().toStdString();
}

void CNumberEdit::SetText(const std::string& text) {
    setText(QString::fromStdString(text));
}

void CNumberEdit::ShowSpin(bool show) {
    showSpin_ = show;
    PlaceSpin();
}

void CNumberEdit::Step(int delta) {
    setText(QString::fromStdString(WholeNumberFieldStep(Text(), delta, step_)));
}

void CNumberEdit::Spin(int delta) {
    Step(delta);
    emit spun(delta);
}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
    if (spin_->isVisible() &&
        (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier)) {
        if (event->key() == Qt::Key_Up) {
            Spin(-1);
            return;
        }
        if (event->key() == Qt::Key_Down) {
            Spin(1);
            return;
        }
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
