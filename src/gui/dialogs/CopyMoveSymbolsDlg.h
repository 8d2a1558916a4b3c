#pragma once

// "Copy/Move Symbols": the number of symbols dropped on a directory and two
// large buttons, one to copy them there and one to move them. The copy runs
// on a worker (it looks up server numbers) while the window stays responsive.

#include <QDialog>

class QPushButton;

namespace mvr {
class CCopyMoveSymbols;
}

namespace mvr::gui {

class CCopyMoveSymbolsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CCopyMoveSymbolsDlg(CCopyMoveSymbols& model, QWidget* parent = nullptr);

    QPushButton* CopyButton() const { return copy_; }
    QPushButton* MoveButton() const { return move_; }

private:
    // Ends with OK once the copy or move has run; a cancelled one stays open.
    void Run(bool move);

    CCopyMoveSymbols& model_;
    QPushButton* copy_ = nullptr;
    QPushButton* move_ = nullptr;
};

} // namespace mvr::gui
