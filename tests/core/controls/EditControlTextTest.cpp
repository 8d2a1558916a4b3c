#include "core/controls/EditControlText.h"

#include "core/formats/DayNumber.h"
#include "support/CalendarDay.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using test::Day;

constexpr int kUp = -1; // the spin's up arrow
constexpr int kDown = 1;

TEST(EditControlTextTest, DateStepsAcrossMonthAndYearEndsAndEmptiesWhatIsNoDate) {
    const std::int32_t today = Day(9, 12, 2026);
    EXPECT_EQ(DateFieldStep("", kUp, 1, today), "09.12.2026");
    EXPECT_EQ(DateFieldStep("09.12.2026", kUp, 1, today), "10.12.2026");
    EXPECT_EQ(DateFieldStep("31.01.2024", kUp, 1, today), "01.02.2024");
    EXPECT_EQ(DateFieldStep("28.02.2024", kUp, 1, today), "29.02.2024");
    EXPECT_EQ(DateFieldStep("01.03.2023", kDown, 1, today), "28.02.2023");
    EXPECT_EQ(DateFieldStep("31.12.2025", kUp, 1, today), "01.01.2026");
    EXPECT_EQ(DateFieldStep("01.01.2026", kDown, 1, today), "31.12.2025");
    EXPECT_EQ(DateFieldStep("01.01.2026", kUp, 7, today), "08.01.2026");
    EXPECT_EQ(DateFieldStep("7.3.05", kUp, 1, today), "08.03.2005");
    for (const char* noDate : {"abc", "31.02.2005", "07032005"}) {
        EXPECT_EQ(DateFieldStep(noDate, kUp, 1, today), "") << noDate;
        EXPECT_EQ(DateFieldStep(noDate, kDown, 1, today), "") << noDate;
    }
    // A step before the first day empties the field instead of wrapping.
    EXPECT_EQ(DateFieldStep("01.01.2000", kDown, 1000000, today), "");
}

TEST(EditControlTextTest, DateTypedWithoutFullStopsIsCompletedOnLeaving) {
    EXPECT_EQ(DateFieldOnLeave("07032005"), "07.03.2005");
    EXPECT_EQ(DateFieldOnLeave("070305"), "07.03.05");
    EXPECT_EQ(DateFieldOnLeave("31022005"), "31022005"); // no such day
    EXPECT_EQ(DateFieldOnLeave("310205"), "310205");
    EXPECT_EQ(DateFieldOnLeave("7.3.05"), "7.3.05");
    EXPECT_EQ(DateFieldOnLeave("0703200"), "0703200");
    EXPECT_EQ(DateFieldOnLeave(""), "");
    EXPECT_EQ(DateFieldOnLeave("ab03cd05"), "ab03cd05");
}

TEST(EditControlTextTest, CalendarWeekdayCountsFromSunday) {
    EXPECT_EQ(CalendarWeekday(Day(9, 12, 2026)), 3); // a Wednesday
    EXPECT_EQ(CalendarWeekday(Day(6, 12, 2026)), 0);
    EXPECT_EQ(CalendarWeekday(Day(12, 12, 2026)), 6);
    EXPECT_EQ(CalendarWeekday(1), 6);
}

TEST(EditControlTextTest, CalendarChoiceReadsBackAsTheSameDay) {
    EXPECT_EQ(CalendarChoiceText(DATUM{7, 3, 2005}), "07.03.2005");
    EXPECT_EQ(CalendarChoiceText(DATUM{31, 12, 9999}), "31.12.9999");
    // The year keeps all its digits, so the field reads back the day picked.
    EXPECT_EQ(CalendarChoiceText(DATUM{1, 1, 100}), "01.01.100");
    for (const DATUM date : {DATUM{29, 2, 2024}, DATUM{1, 1, 100}, DATUM{15, 6, 1650}}) {
        std::int32_t day = 0;
        ASSERT_TRUE(ParseDateText(CalendarChoiceText(date).c_str(), &day));
        EXPECT_EQ(day, DatumToDayNumber(date));
    }
}

TEST(EditControlTextTest, WholeNumberStepTakesEveryDigitAndSaturates) {
    EXPECT_EQ(WholeNumberFieldStep("1.234", kUp, 1.0f), "1235");
    EXPECT_EQ(WholeNumberFieldStep("", kUp, 1.0f), "0");
    EXPECT_EQ(WholeNumberFieldStep(" \t-5", kUp, 1.0f), "-4");
    EXPECT_EQ(WholeNumberFieldStep("10", kDown, 2.5f), "8");
    EXPECT_EQ(WholeNumberFieldStep("abc", kUp, 1.0f), "1");
    EXPECT_EQ(WholeNumberFieldStep("9223372036854775807", kUp, 1.0f), "9223372036854775807");
    EXPECT_EQ(WholeNumberFieldStep("-99999999999999999999", kDown, 1.0f), "-9223372036854775808");
}

TEST(EditControlTextTest, DecimalStepAndValue) {
    EXPECT_EQ(DecimalFieldStep("1", kUp, 0.1f), "1.1");
    EXPECT_EQ(DecimalFieldStep("1", kDown, 0.1f), "0.9");
    EXPECT_EQ(DecimalFieldStep("1,5", kUp, 0.1f), "1.6");
    EXPECT_EQ(DecimalFieldStep("", kUp, 0.1f), "0");
    EXPECT_EQ(DecimalControlValue("2,5"), 2.5);
    EXPECT_EQ(DecimalControlValue("1,5,5"), 1.5);
    EXPECT_EQ(DecimalControlValue("abc"), 0.0);
    EXPECT_EQ(DecimalControlValue(""), 0.0);
    EXPECT_EQ(DecimalControlValue(" 0.5kg"), 0.5);
    std::string text = "2,5";
    EXPECT_EQ(TakeDecimalValue(text), 2.5);
    EXPECT_EQ(text, "2.5");
}

TEST(EditControlTextTest, FileFilterOfAnExtensionReadsAsTwoChoices) {
    const std::string filter = FileFieldFilter("txt");
    EXPECT_EQ(filter, "Files (*.txt)|*.txt;|All files (*.*)|*.*||");
    const std::vector<FileFilterChoice> choices = FileFilterChoices(filter);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].description, "Files (*.txt)");
    EXPECT_EQ(choices[0].patterns, std::vector<std::string>{"*.txt"});
    EXPECT_EQ(choices[1].description, "All files (*.*)");
    EXPECT_EQ(choices[1].patterns, std::vector<std::string>{"*.*"});
    // Descriptions that already name their patterns are shown unchanged.
    EXPECT_EQ(FileFilterName(choices[0]), "Files (*.txt)");
    EXPECT_EQ(FileFilterName(choices[1]), "All files (*.*)");
}

TEST(EditControlTextTest, FileFilterChoicesStopAtTheEndMarkOrAMissingPattern) {
    const auto several = FileFilterChoices("Price files|*.prn;*.csv|Texts (*.txt)|*.txt");
    ASSERT_EQ(several.size(), 2u);
    EXPECT_EQ(several[0].patterns, (std::vector<std::string>{"*.prn", "*.csv"}));
    EXPECT_EQ(FileFilterName(several[0]), "Price files (*.prn *.csv)");
    EXPECT_EQ(several[1].patterns, std::vector<std::string>{"*.txt"});
    EXPECT_EQ(FileFilterChoices("Files|*.a||Hidden|*.b||").size(), 1u);
    EXPECT_TRUE(FileFilterChoices("").empty());
    EXPECT_TRUE(FileFilterChoices("Files|;|").empty());
    // An empty extension still gives a filter the dialog can show.
    EXPECT_EQ(FileFilterName(FileFilterChoices(FileFieldFilter(""))[0]), "Files (*.)");
}

} // namespace
} // namespace mvr
