#include "gui/controls/DatumEdit.h"

#include "core/controls/EditControlText.h"
#include "core/formats/DayNumber.h"
#include "gui/controls/CalendarWnd.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/SpinArrows.h"

#include <algorithm>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

// A small sheet with a binding bar and rows of days, in the button's text colour.
QIcon CalendarIcon(const QPalette& palette) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor ink = palette.color(QPalette::ButtonText);
    painter.setPen(ink);
    painter.drawRect(1, 2, 13, 12);
    painter.fillRect(1, 2, 14, 3, ink);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            painter.fillRect(3 + column * 3, 6 + row * 3, 2, 2, ink);
        }
    }
    return QIcon(pixmap);
}

} // namespace

CDatumEdit::CDatumEdit(QWidget* parent)
    : QLineEdit(parent), calendarButton_(new QToolButton(this)), spin_(new CSpinArrows(this)) {
    setMaxLength(static_cast<int>(kDateFieldChars));

    calendarButton_->setObjectName(QStringLiteral("calendarButton"));
    calendarButton_->setIcon(CalendarIcon(palette()));
    calendarButton_->setFocusPolicy(Qt::NoFocus);
    calendarButton_->setCursor(Qt::ArrowCursor);

    connect(spin_, &CSpinArrows::stepped, this, &CDatumEdit::Step);
    connect(calendarButton_, &QToolButton::clicked, this, &CDatumEdit::OpenCalendar);

    PlaceButtons();
}

CDatumEdit::~CDatumEdit() {
    // The pop-up is a window of its own and would outlive the field.
    delete calendar_;
}

void CDatumEdit::SetDate(std::int32_t dayNumber) {
    setText(QtText(FormatDayNumber(dayNumber)));
}

std::int32_t CDatumEdit::DayNumber() const {
    std::int32_t day = DAY_NUMBER_INVALID;
    ParseDateText(Text().c_str(), &day);
    return day;
}

std::string CDatumEdit::Text() const {
    return CoreText(text());
}

void CDatumEdit::Step(int delta) {
    setText(QtText(DateFieldStep(Text(), delta, step_, TodayDayNumber())));
}

void CDatumEdit::OpenCalendar() {
    if (calendar_) {
        return;
    }
    // Going to the calendar leaves the field, so a date typed without full
    // stops is completed first and the calendar opens on that day.
    CompleteText();
    DATUM initial{};
    if (const std::int32_t day = DayNumber(); !IsNoDate(day)) {
        initial = DayNumberToDatum(day);
    }
    calendar_ = new CCalendarWnd();
    calendar_->Create(this, initial, mapToGlobal(QPoint(0, height())));
}

CCalendarWnd* CDatumEdit::Calendar() const {
    return calendar_;
}

void CDatumEdit::CompleteText() {
    const std::string typed = Text();
    const std::string shown = DateFieldOnLeave(typed);
    if (shown != typed) {
        setText(QtText(shown));
    }
}

void CDatumEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu takes the focus only for a moment; the user has not left
    // the field. Our own calendar completes the text as it opens.
    if (event->reason() != Qt::PopupFocusReason) {
        CompleteText();
    }
}

void CDatumEdit::keyPressEvent(QKeyEvent* event) {
    if (const std::optional<int> delta = SpinDeltaOfKey(*event)) {
        Step(*delta);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CDatumEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    PlaceButtons();
}

void CDatumEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        PlaceButtons();
    } else if (event->type() == QEvent::PaletteChange) {
        calendarButton_->setIcon(CalendarIcon(palette()));
    }
}

QSize CDatumEdit::ButtonSize() const {
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int buttonWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 2;
    return {buttonWidth, std::max(0, height() - 2 * frame)};
}

void CDatumEdit::PlaceButtons() {
    // A disabled date field is a plain field: nothing to click.
    const bool shown = isEnabled();
    calendarButton_->setVisible(shown);
    spin_->setVisible(shown);
    const QSize size = ButtonSize();
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int spinLeft = width() - frame - size.width();
    spin_->setGeometry(spinLeft, frame, size.width(), size.height());
    calendarButton_->setGeometry(spinLeft - size.width(), frame, size.width(), size.height());
    setTextMargins(0, 0, shown ? 2 * size.width() : 0, 0);
}

} // namespace mvr::gui
