#pragma once

#include <cstdint>
#include <QLineEdit>
#include <QPointer>
#include <string>

class QToolButton;

namespace mvr::gui {

class CCalendarWnd;
class CSpinArrows;

// A date field: a line edit with a calendar button and a spin control inside
// its right end. The spin moves the date by a number of days, a date typed
// without full stops is completed when the field is left, and the calendar
// button drops a month calendar down from the field. Every change of the text
// is announced by textChanged.
class CDatumEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CDatumEdit(QWidget* parent = nullptr);
    ~CDatumEdit() override;

    // Shows the day, or an empty field for 0 and DAY_NUMBER_INVALID.
    void SetDate(std::int32_t dayNumber);
    // The day the text names, DAY_NUMBER_INVALID when it names none.
    std::int32_t DayNumber() const;
    // The text as the core reads it (UTF-8).
    std::string Text() const;

    // Days per spin click; 1 unless a dialog wants another.
    void SetStep(std::int32_t days) { step_ = days; }
    std::int32_t GetStep() const { return step_; }

    // One spin click with the spin's position delta: the up arrow gives -1
    // and moves the date forward.
    void Step(int delta);

    // Drops the calendar down from the field unless it is already open.
    void OpenCalendar();
    // The open calendar pop-up, or nullptr.
    CCalendarWnd* Calendar() const;

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void CompleteText();
    void PlaceButtons();
    QSize ButtonSize() const;

    std::int32_t step_ = 1;
    QToolButton* calendarButton_;
    CSpinArrows* spin_;
    QPointer<CCalendarWnd> calendar_;
};

} // namespace mvr::gui
