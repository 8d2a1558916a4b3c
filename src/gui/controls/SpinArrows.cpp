#include "gui/controls/SpinArrows.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

QToolButton* SpinArrow(QWidget* parent, Qt::ArrowType arrow, const char* name) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    // The field keeps the focus while its value is spun.
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return button;
}

} // namespace

CSpinArrows::CSpinArrows(QWidget* field)
    : QWidget(field), up_(SpinArrow(this, Qt::UpArrow, "spinUp")),
      down_(SpinArrow(this, Qt::DownArrow, "spinDown")) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    setCursor(Qt::ArrowCursor);
    connect(up_, &QToolButton::clicked, this, [this] { emit stepped(-1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit stepped(1); });
}

std::optional<int> SpinDeltaOfKey(const QKeyEvent& event) {
    if (event.modifiers() != Qt::NoModifier && event.modifiers() != Qt::KeypadModifier) {
        return std::nullopt;
    }
    if (event.key() == Qt::Key_Up) {
        return -1;
    }
    if (event.key() == Qt::Key_Down) {
        return 1;
    }
    return std::nullopt;
}

} // namespace mvr::gui
