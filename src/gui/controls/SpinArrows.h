#pragma once

// The up and down arrows that the typed fields show at their right end, and
// the arrow keys that do the same. A click steps the field by -1 (up) or 1
// (down), the delta that the core's step rules take.

#include <optional>
#include <QWidget>

class QKeyEvent;
class QToolButton;

namespace mvr::gui {

class CSpinArrows : public QWidget {
    Q_OBJECT

public:
    // Named "spinUp" and "spinDown"; the field keeps the keyboard focus.
    explicit CSpinArrows(QWidget* field);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void stepped(int delta);

private:
    QToolButton* up_;
    QToolButton* down_;
};

// The spin delta of the Up and Down keys without modifiers; none for any other key.
std::optional<int> SpinDeltaOfKey(const QKeyEvent& event);

} // namespace mvr::gui
