#pragma once

#include <QLineEdit>
#include <string>

class QToolButton;

namespace mvr::gui {

class CSpinArrows;

// A whole-number field: a line edit with a spin control inside its right end.
// A spin click (or the Up and Down keys) changes the number by the step; the
// field then announces the click with `spun`, so that the dialog can react
// to the new number. A disabled field, or one whose spin is switched off,
// is a plain field.
class CNumberEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CNumberEdit(QWidget* parent = nullptr);

    // The text as the core reads and writes it.
    std::string Text() const;
    void SetText(const std::string& text);

    // The amount of one spin click; 1 unless a dialog wants another.
    void SetStep(float step) { step_ = step; }
    float GetStep() const { return step_; }

    // Whether the spin control is offered (it is at first).
    void ShowSpin(bool show);
    bool SpinShown() const { return showSpin_; }

    // One spin click with the spin's position delta: the up arrow gives -1
    // and adds one step. A field of another kind of number steps its own way.
    virtual void Step(int delta);

    QToolButton* UpButton() const;
    QToolButton* DownButton() const;

signals:
    // After the field has stepped its number: the click's position delta.
    void spun(int delta);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Spin(int delta);
    void PlaceSpin();

    float step_ = 1.0f;
    bool showSpin_ = true;
    CSpinArrows* spin_;
};

} // namespace mvr::gui
