#include "gui/controls/CalendarWnd.h"

#include "core/controls/EditControlText.h"
#include "gui/controls/CoreText.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QLineEdit>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

QDate ToQDate(const DATUM& date) {
    return QDate(date.year, date.month, date.day);
}

} // namespace

CCalendarWnd::CCalendarWnd()
    : QFrame(nullptr, Qt::Popup | Qt::FramelessWindowHint), calendar_(new QCalendarWidget(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The click that closes the pop-up must not reach the field's calendar
    // button as well, or that click would open the calendar again at once.
    setAttribute(Qt::WA_NoMouseReplay);
    setFrameStyle(QFrame::Box | QFrame::Plain);

    // Day numbers and their texts cover these years; beyond them a picked day
    // would not read back.
    calendar_->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    calendar_->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth());
    layout->addWidget(calendar_);

    // A click picks the day, and so does Enter (or a double click) on the
    // day that the arrow keys have moved to.
    connect(calendar_, &QCalendarWidget::clicked, this, &CCalendarWnd::Choose);
    connect(calendar_, &QCalendarWidget::activated, this, &CCalendarWnd::Choose);
    focusFollower_ = connect(qApp, &QApplication::focusChanged, this,
                             [this](QWidget*, QWidget* now) { FocusMoved(now); });
}

CCalendarWnd::~CCalendarWnd() {
    disconnect(focusFollower_);
}

void CCalendarWnd::Create(QLineEdit* owner, const DATUM& initialDate, const QPoint& screenPos) {
    owner_ = owner;
    const DATUM shown =
        IsValidDatum(initialDate) ? initialDate : DayNumberToDatum(TodayDayNumber());
    calendar_->setSelectedDate(ToQDate(shown));
    adjustSize();
    move(screenPos);
    show();
    calendar_->setFocus(Qt::PopupFocusReason);
}

void CCalendarWnd::Choose(const QDate& date) {
    if (!isVisible()) {
        return;
    }
    const DATUM picked{static_cast<std::uint8_t>(date.day()),
                       static_cast<std::uint8_t>(date.month()),
                       static_cast<std::uint16_t>(date.year())};
    const QPointer<QLineEdit> owner = owner_;
    close();
    if (owner) {
        owner->setText(QtText(CalendarChoiceText(picked)));
    }
}

void CCalendarWnd::FocusMoved(QWidget* now) {
    // Qt closes a pop-up on a click outside it; this covers the focus being
    // taken away by other means. The calendar's own month menu is a window of
    // its own but still part of the pop-up.
    if (now == nullptr || !isVisible()) {
        return;
    }
    for (const QWidget* widget = now; widget != nullptr; widget = widget->parentWidget()) {
        if (widget == this) {
            return;
        }
    }
    close();
}

} // namespace mvr::gui
