#include "gui/controls/DatumEdit.h"

#include "core/formats/DayNumber.h"
#include "gui/controls/CalendarWnd.h"

#include <algorithm>
#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace mvr::gui {

// The date field and the calendar it drops down, driven as the user does.
class DatumEditTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void SpinStepsAcrossMonthAndYearEnds();
    void LeavingTheFieldCompletesDigitsOnly();
    void SetDateShowsTheDayOrNothing();
    void CalendarOpensUnderTheFieldOnItsDateOnce();
    void CalendarClickAndEnterPutTheDayIntoTheField();
    void CalendarEscapeAndClickElsewhereChangeNothing();

private:
    void Click(const char* button) {
        QTest::mouseClick(edit_->findChild<QToolButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    }
    // The day grid of the calendar that the field's button opened.
    QTableView* OpenCalendar() {
        Click("calendarButton");
        return edit_->Calendar() ? edit_->Calendar()->findChild<QTableView*>() : nullptr;
    }

    QWidget* window_ = nullptr;
    CDatumEdit* edit_ = nullptr;
    QLineEdit* other_ = nullptr;
};

void DatumEditTest::init() {
    window_ = new QWidget;
    auto* layout = new QHBoxLayout(window_);
    layout->addWidget(edit_ = new CDatumEdit(window_));
    layout->addWidget(other_ = new QLineEdit(window_));
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
}

void DatumEditTest::cleanup() {
    delete window_;
}

void DatumEditTest::SpinStepsAcrossMonthAndYearEnds() {
    QSignalSpy changed(edit_, &QLineEdit::textChanged);
    const std::int32_t before = TodayDayNumber();
    Click("spinUp");
    const std::int32_t today = edit_->DayNumber(); // read around the click: midnight may pass
    QVERIFY(today == before || today == TodayDayNumber());
    Click("spinUp");
    QCOMPARE(edit_->DayNumber(), today + 1);

    edit_->setText(QStringLiteral("31.12.2025"));
    Click("spinUp");
    QCOMPARE(edit_->text(), QStringLiteral("01.01.2026"));
    edit_->setText(QStringLiteral("1.3.24")); // a short date is read and shown in full
    Click("spinDown");
    QCOMPARE(edit_->text(), QStringLiteral("29.02.2024"));
    QCOMPARE(changed.count(), 6);

    edit_->setFocus();
    edit_->SetStep(7);
    QTest::keyClick(edit_, Qt::Key_Up);
    QCOMPARE(edit_->text(), QStringLiteral("07.03.2024"));
    QTest::keyClick(edit_, Qt::Key_Down);
    QTest::keyClick(edit_, Qt::Key_Down);
    QCOMPARE(edit_->text(), QStringLiteral("22.02.2024"));

    edit_->setText(QStringLiteral("31.02.2005"));
    Click("spinUp");
    QCOMPARE(edit_->text(), QString());
}

void DatumEditTest::LeavingTheFieldCompletesDigitsOnly() {
    const char* const cases[][2] = {{"07032005", "07.03.2005"},
                                    {"070305", "07.03.05"},
                                    {"31022005", "31022005"},
                                    {"7.3.05", "7.3.05"},
                                    {"0703200", "0703200"}};
    for (const auto& [typed, shown] : cases) {
        edit_->clear();
        edit_->setFocus();
        QTest::keyClicks(edit_, QString::fromLatin1(typed));
        QCOMPARE(edit_->text(), QString::fromLatin1(typed));
        QTest::keyClick(edit_, Qt::Key_Tab);
        QTRY_VERIFY(other_->hasFocus());
        QCOMPARE(edit_->text(), QString::fromLatin1(shown));
    }
}

void DatumEditTest::SetDateShowsTheDayOrNothing() {
    const std::int32_t day = DatumToDayNumber(DATUM{7, 3, 2005});
    edit_->SetDate(day);
    QCOMPARE(edit_->text(), QStringLiteral("07.03.2005"));
    edit_->SetDate(0);
    QCOMPARE(edit_->text(), QString());
    QCOMPARE(edit_->DayNumber(), DAY_NUMBER_INVALID);
    edit_->SetDate(day);
    edit_->SetDate(DAY_NUMBER_INVALID);
    QCOMPARE(edit_->text(), QString());
}

void DatumEditTest::CalendarOpensUnderTheFieldOnItsDateOnce() {
    edit_->setText(QStringLiteral("07032005"));
    QVERIFY(OpenCalendar() != nullptr);
    CCalendarWnd* popup = edit_->Calendar();
    // Going to the calendar leaves the field, which completes the date first.
    QCOMPARE(edit_->text(), QStringLiteral("07.03.2005"));
    QCOMPARE(popup->MonthCalendar()->selectedDate(), QDate(2005, 3, 7));
    QCOMPARE(popup->pos(), edit_->mapToGlobal(QPoint(0, edit_->height())));

    edit_->OpenCalendar();
    QCOMPARE(edit_->Calendar(), popup);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](const QWidget* w) { return qobject_cast<const CCalendarWnd*>(w); }),
             1);
}

void DatumEditTest::CalendarClickAndEnterPutTheDayIntoTheField() {
    edit_->setText(QStringLiteral("7.3.05"));
    QTableView* grid = OpenCalendar();
    QVERIFY(grid != nullptr);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->currentIndex()).center());
    QCOMPARE(edit_->text(), QStringLiteral("07.03.2005"));
    QTRY_VERIFY(edit_->Calendar() == nullptr);

    edit_->setText(QStringLiteral("28.02.2024"));
    grid = OpenCalendar();
    QVERIFY(grid != nullptr);
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(edit_->text(), QStringLiteral("28.02.2024"));
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(edit_->text(), QStringLiteral("01.03.2024"));
    QTRY_VERIFY(edit_->Calendar() == nullptr);
}

void DatumEditTest::CalendarEscapeAndClickElsewhereChangeNothing() {
    edit_->setText(QStringLiteral("15.06.2010"));
    QSignalSpy changed(edit_, &QLineEdit::textChanged);
    QTableView* grid = OpenCalendar();
    QVERIFY(grid != nullptr);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Escape);
    QTRY_VERIFY(edit_->Calendar() == nullptr);

    grid = OpenCalendar();
    QVERIFY(grid != nullptr);
    QTest::keyClick(grid, Qt::Key_Down);
    // Through the window system, as a real click comes, so the pop-up sees it first.
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {},
                      other_->mapTo(window_, other_->rect().center()));
    QTRY_VERIFY(edit_->Calendar() == nullptr);
    QCOMPARE(edit_->text(), QStringLiteral("15.06.2010"));
    QCOMPARE(changed.count(), 0);
}

} // namespace mvr::gui

QTEST_MAIN(mvr::gui::DatumEditTest)
#include "DatumEditTest.moc"
