#pragma once

#include "core/formats/DayNumber.h"

#include <QFrame>
#include <QPointer>

class QCalendarWidget;
class QDate;
class QLineEdit;

namespace mvr::gui {

// The month calendar that drops down from a date field. It lives only while
// it is open: a picked day goes to the owner field as text and closes it;
// Escape, a click elsewhere or the focus moving away close it and leave the
// field as it was.
class CCalendarWnd : public QFrame {
    Q_OBJECT

public:
    CCalendarWnd();
    // Stops following the focus first: deleting the calendar moves the
    // focus, and this object is half gone by then.
    ~CCalendarWnd() override;

    // Shows the pop-up with its top-left corner at `screenPos` and
    // `initialDate` selected, today when that is no date. The day the user
    // picks becomes the text of `owner`.
    void Create(QLineEdit* owner, const DATUM& initialDate, const QPoint& screenPos);

    QCalendarWidget* MonthCalendar() const { return calendar_; }

private:
    void Choose(const QDate& date);
    void FocusMoved(QWidget* now);

    QCalendarWidget* calendar_;
    QPointer<QLineEdit> owner_;
    QMetaObject::Connection focusFollower_;
};

} // namespace mvr::gui
