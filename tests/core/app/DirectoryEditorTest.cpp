#include "core/app/DirectoryEditor.h"

#include "AppFixtures.h"
#include "core/formats/DayNumber.h"
#include "support/CalendarDay.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

namespace mvr {
namespace {

using test::CScriptedInteraction;
using test::MakeIndex;
using test::TempDir;

using test::Day;

TEST(DirectoryEditorOfferTest, FormatsAreOfferedSortedByNameAndIntervalsInOrder) {
    const auto choices = EditorFormatChoices();
    std::vector<std::string> names;
    for (const auto& choice : choices) {
        names.push_back(choice.name);
    }
    // The intraday formats come after the daily ones.
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Ascii: Comma Delimited", "Ascii: Comma Delimited (YYYYMMDD)",
                         "Ascii: Excel Format (YY-MM-DD 0,00)",
                         "Ascii: Excel Format (YY/MM/DD 0.00)", "Ascii: Tab Delimited", "Hermes",
                         "MetaStock", "Ascii: Comma Delimited Intraday", "Metastock intra day"}));
    EXPECT_EQ(choices.front().formatType, kFormatAsciiComma);
    EXPECT_EQ(choices.back().formatType, kFormatMetaStockIntraday);

    const auto intervals = OfferedIntervals();
    EXPECT_EQ(std::vector<std::int32_t>(intervals.begin(), intervals.end()),
              (std::vector<std::int32_t>{1, 2, 3, 5, 10, 12, 15, 30, 60, 120}));
    EXPECT_TRUE(ShowsIntervalBox(kFormatMetaStockIntraday));
    EXPECT_TRUE(ShowsIntervalBox(kFormatAsciiIntraday));
    EXPECT_FALSE(ShowsIntervalBox(kFormatMetaStock));
}

TEST(DirectoryEditorOfferTest, TheProposedStartIsNewYearOfTheYearAYearAgo) {
    EXPECT_EQ(ProposedStartDate(Day(15, 3, 2024)), Day(1, 1, 2023));
    EXPECT_EQ(ProposedStartDate(Day(31, 12, 2024)), Day(1, 1, 2024)); // 2024 has 366 days
    EXPECT_EQ(ProposedStartDate(Day(30, 12, 2024)), Day(1, 1, 2023));
    EXPECT_EQ(ProposedStartDate(Day(1, 1, 2025)), Day(1, 1, 2024));
    // Before the calendar starts: 1 January of year 0.
    EXPECT_EQ(ProposedStartDate(100), Day(1, 1, 0));
}

TEST(DirectoryEditorOfferTest, ANewDirectoryOpensWithTheFirstFormatAndAProposedDate) {
    DirectoryEditorValues values;
    const auto opening = OpenDirectoryEditor(values, Day(15, 3, 2024));
    EXPECT_FALSE(opening.pathAndFormatFixed);
    EXPECT_EQ(opening.formatType, kFormatAsciiComma);
    EXPECT_EQ(opening.dateText, "01.01.2023");
    EXPECT_EQ(opening.intervalText, "10");
    EXPECT_FALSE(opening.intervalShown);
    EXPECT_EQ(opening.previousCatalogueId, 0);
}

TEST(DirectoryEditorOfferTest, AnExistingDirectoryOpensWithItsOwnValues) {
    DirectoryEditorValues values;
    values.existing = true;
    values.path = "/k/intraday/";
    values.formatType = kFormatMetaStockIntraday;
    values.startDate = Day(2, 1, 2020);
    values.catalogueId = 17;
    values.interval = 5;
    const auto opening = OpenDirectoryEditor(values, Day(15, 3, 2024));
    EXPECT_TRUE(opening.pathAndFormatFixed);
    EXPECT_EQ(opening.formatType, kFormatMetaStockIntraday);
    EXPECT_EQ(opening.dateText, "02.01.2020");
    EXPECT_EQ(opening.intervalText, "5");
    EXPECT_TRUE(opening.intervalShown);
    EXPECT_EQ(opening.previousCatalogueId, 17);

    values.startDate = DAY_NUMBER_INVALID; // proposed like no date
    EXPECT_EQ(OpenDirectoryEditor(values, Day(15, 3, 2024)).dateText, "01.01.2023");
}

TEST(DirectoryEditorOfferTest, IntervalTextsBelowOneOrBeyondSixteenBitsGiveTen) {
    EXPECT_EQ(ParseIntervalText("15"), 15);
    EXPECT_EQ(ParseIntervalText(" 60 "), 60);
    EXPECT_EQ(ParseIntervalText("+2"), 2);
    EXPECT_EQ(ParseIntervalText("30min"), 30);
    EXPECT_EQ(ParseIntervalText("65535"), 65535);
    EXPECT_EQ(ParseIntervalText("0"), 10);
    EXPECT_EQ(ParseIntervalText("-5"), 10);
    EXPECT_EQ(ParseIntervalText(""), 10);
    EXPECT_EQ(ParseIntervalText("abc"), 10);
    EXPECT_EQ(ParseIntervalText("65536"), 10);
    EXPECT_EQ(ParseIntervalText("99999999999999999999"), 10);
}

class DirectoryEditorTest : public ::testing::Test {
protected:
    std::string Folder(const std::string& name) const { return dir.File(name); }

    DirectoryEditorEntries NewEntries(const std::string& path, int formatType) const {
        DirectoryEditorEntries entries;
        entries.pathText = path;
        entries.formatType = formatType;
        entries.dateText = "01.01.2023";
        entries.intervalText = "10";
        return entries;
    }

    std::string CreateQuestion(const std::string& path) const {
        return "The directory " + path + " does not exist. Create it?";
    }

    TempDir dir;
    CScriptedInteraction user;
};

TEST_F(DirectoryEditorTest, TheInformationLineNamesFormatCountAndPlural) {
    MakeIndex(Folder("ms12"), kFormatMetaStock, 12);
    MakeIndex(Folder("ms1"), kFormatMetaStock, 1);
    const auto twelve = InspectEnteredFolder(Folder("ms12"));
    EXPECT_EQ(twelve.informationLine, "Directory contains format 'MetaStock' with 12 symbols.");
    EXPECT_EQ(twelve.formatType, kFormatMetaStock);
    EXPECT_EQ(InspectEnteredFolder(Folder("ms1")).informationLine,
              "Directory contains format 'MetaStock' with 1 symbol.");
    MakeIndex(Folder("none"), kFormatAsciiTab, 0);
    EXPECT_EQ(InspectEnteredFolder(Folder("none")).informationLine,
              "Directory contains format 'Ascii: Tab Delimited' with 0 symbols.");
}

TEST_F(DirectoryEditorTest, TheInformationLineIsEmptyWithoutAnIndexOrForAPathWithSeparator) {
    ASSERT_TRUE(CreateFolders(Folder("empty")));
    MakeIndex(Folder("ms"), kFormatMetaStock, 2);
    EXPECT_EQ(InspectEnteredFolder(Folder("empty")).informationLine, "");
    EXPECT_FALSE(InspectEnteredFolder(Folder("empty")).formatType.has_value());
    EXPECT_EQ(InspectEnteredFolder(Folder("missing")).informationLine, "");
    // A text ending in a separator names no entry yet: the user is still typing.
    EXPECT_EQ(InspectEnteredFolder(Folder("ms") + kPathSeparator).informationLine, "");
}

TEST_F(DirectoryEditorTest, TheFoundFormatPreselectsTheFirstOfferedNameBeginningWithIt) {
    MakeIndex(Folder("long"), kFormatAsciiCommaLongYear, 1);
    MakeIndex(Folder("comma"), kFormatAsciiComma, 1);
    MakeIndex(Folder("intraday"), kFormatAsciiIntraday, 1);
    EXPECT_EQ(InspectEnteredFolder(Folder("long")).formatType, kFormatAsciiCommaLongYear);
    EXPECT_EQ(InspectEnteredFolder(Folder("comma")).formatType, kFormatAsciiComma);
    const auto intraday = InspectEnteredFolder(Folder("intraday"));
    EXPECT_EQ(intraday.informationLine,
              "Directory contains format 'Ascii: Comma Delimited Intraday' with 1 symbol.");
    EXPECT_EQ(intraday.formatType, kFormatAsciiIntraday);
}

TEST_F(DirectoryEditorTest, AMetaStockFolderOfIntradaySeriesIsProposedAsIntradayAndAccepted) {
    MakeIndex(Folder("msi"), kFormatMetaStockIntraday, 2);
    MakeIndex(Folder("ms"), kFormatMetaStock, 2);
    MakeIndex(Folder("ms0"), kFormatMetaStock, 0);
    const auto intraday = InspectEnteredFolder(Folder("msi"));
    EXPECT_EQ(intraday.informationLine,
              "Directory contains format 'Metastock intra day' with 2 symbols.");
    EXPECT_EQ(intraday.formatType, kFormatMetaStockIntraday);
    EXPECT_EQ(InspectEnteredFolder(Folder("ms")).formatType, kFormatMetaStock);
    EXPECT_EQ(InspectEnteredFolder(Folder("ms0")).formatType, kFormatMetaStock);

    // Both MetaStock formats use the same index: either may take the folder.
    for (const char* folder : {"msi", "ms"}) {
        const auto values =
            AcceptDirectoryEditor(NewEntries(Folder(folder), kFormatMetaStockIntraday), user);
        ASSERT_TRUE(values.has_value()) << folder;
        EXPECT_EQ(values->formatType, kFormatMetaStockIntraday);
    }
}

TEST_F(DirectoryEditorTest, AnEmptyExistingFolderIsTakenWithoutAnyQuestion) {
    ASSERT_TRUE(CreateFolders(Folder("empty")));
    auto entries = NewEntries(Folder("empty"), kFormatMetaStock);
    entries.dateText = "05.06.07";
    entries.intervalText = "0";
    entries.catalogueId = 9; // nothing to replace in a folder without an index
    entries.catalogueName = "Indices/DAX";
    const auto values = AcceptDirectoryEditor(entries, user);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->path, Folder("empty") + kPathSeparator);
    EXPECT_EQ(values->formatType, kFormatMetaStock);
    EXPECT_EQ(values->startDate, Day(5, 6, 2007));
    EXPECT_EQ(values->interval, 10);
    EXPECT_EQ(values->catalogueId, 9);
    EXPECT_EQ(values->catalogueName, "Indices/DAX");
}

TEST_F(DirectoryEditorTest, APathEndingInASeparatorAsksToCreateEvenAnExistingFolder) {
    ASSERT_TRUE(CreateFolders(Folder("kurse")));
    const std::string withSeparator = Folder("kurse") + kPathSeparator;
    user.ExpectQuestion(CreateQuestion(withSeparator), MessageIcon::Question, false);
    EXPECT_FALSE(AcceptDirectoryEditor(NewEntries(withSeparator, kFormatAsciiComma), user));

    user.ExpectQuestion(CreateQuestion(withSeparator), MessageIcon::Question, true);
    const auto values = AcceptDirectoryEditor(NewEntries(withSeparator, kFormatAsciiComma), user);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->path, withSeparator);
}

TEST_F(DirectoryEditorTest, AMissingFolderIsCreatedWithItsParentsOnlyAfterYes) {
    const std::string nested = Folder("a") + kPathSeparator + "b";
    user.ExpectQuestion(CreateQuestion(nested), MessageIcon::Question, false);
    EXPECT_FALSE(AcceptDirectoryEditor(NewEntries(nested, kFormatAsciiComma), user));
    EXPECT_FALSE(EntryExists(Folder("a")));

    user.ExpectQuestion(CreateQuestion(nested), MessageIcon::Question, true);
    EXPECT_TRUE(AcceptDirectoryEditor(NewEntries(nested, kFormatAsciiComma), user));
    EXPECT_TRUE(IsDirectory(nested));
}

TEST_F(DirectoryEditorTest, AFolderThatCannotBeCreatedIsReported) {
    test::WriteBytes(Folder("file"), {1, 2, 3});
    const std::string below = Folder("file") + kPathSeparator + "sub";
    user.ExpectQuestion(CreateQuestion(below), MessageIcon::Question, true)
        .ExpectMessage("Error creating Dir!");
    EXPECT_FALSE(AcceptDirectoryEditor(NewEntries(below, kFormatAsciiComma), user));
}

TEST_F(DirectoryEditorTest, APathNamingAFileIsRefused) {
    test::WriteBytes(Folder("file"), {1, 2, 3});
    user.ExpectMessage(Folder("file") + " is a file, not a directory!");
    EXPECT_FALSE(AcceptDirectoryEditor(NewEntries(Folder("file"), kFormatAsciiComma), user));
}

TEST_F(DirectoryEditorTest, APathTooLongForTheRecordIsRefusedBeforeAnythingIsCreated) {
    const std::string path = dir.Path() + std::string(kMaxPathChars - dir.Path().size(), 'x');
    ASSERT_EQ(path.size(), kMaxPathChars); // the separator would not fit
    user.ExpectMessage("The path of the directory is too long!");
    EXPECT_FALSE(AcceptDirectoryEditor(NewEntries(path, kFormatAsciiComma), user));
    EXPECT_FALSE(EntryExists(path));
}

TEST_F(DirectoryEditorTest, AnIndexOfAnotherFormatIsRefusedWithItsName) {
    MakeIndex(Folder("comma"), kFormatAsciiComma, 2);
    user.ExpectMessage("The existing ASCII - Master contains a different Format (Ascii: Comma "
                       "Delimited)!\nChoose a different Directory or Format!",
                       MessageIcon::Exclamation);
    EXPECT_FALSE(AcceptDirectoryEditor(NewEntries(Folder("comma"), kFormatAsciiTab), user));

    MakeIndex(Folder("ms"), kFormatMetaStock, 1);
    user.ExpectMessage("The existing ASCII - Master contains a different Format (MetaStock)!\n"
                       "Choose a different Directory or Format!",
                       MessageIcon::Exclamation);
    EXPECT_FALSE(AcceptDirectoryEditor(NewEntries(Folder("ms"), kFormatAsciiComma), user));
}

TEST_F(DirectoryEditorTest, LinkingAFolderWithAnIndexAsksBeforeItsSymbolsAreReplaced) {
    MakeIndex(Folder("ms"), kFormatMetaStock, 3);
    auto entries = NewEntries(Folder("ms"), kFormatMetaStock);
    entries.catalogueId = 5;
    entries.catalogueName = "Aktien/DAX";
    const std::string question =
        "The existing symbols in the directory will be replaced by the content of the catalog "
        "'Aktien/DAX'!";
    user.ExpectQuestion(question, MessageIcon::Question, false);
    EXPECT_FALSE(AcceptDirectoryEditor(entries, user));
    user.ExpectQuestion(question, MessageIcon::Question, true);
    EXPECT_TRUE(AcceptDirectoryEditor(entries, user));
    // Without a catalogue there is nothing to ask.
    EXPECT_TRUE(AcceptDirectoryEditor(NewEntries(Folder("ms"), kFormatMetaStock), user));
}

TEST_F(DirectoryEditorTest, AnExistingDirectoryAsksOnlyWhenItsLinkChanges) {
    DirectoryEditorEntries entries;
    entries.existing = true;
    entries.pathText = "/nowhere/kurse/"; // existing directories are not checked on disk
    entries.formatType = kFormatMetaStock;
    entries.catalogueId = 5;
    entries.previousCatalogueId = 5;
    entries.catalogueName = "Aktien/DAX";
    entries.dateText = "1.2.";
    entries.intervalText = "15";
    auto values = AcceptDirectoryEditor(entries, user);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->catalogueId, 5);
    EXPECT_EQ(values->path, "/nowhere/kurse/");
    EXPECT_EQ(values->startDate, Day(1, 2, 2000));
    EXPECT_EQ(values->interval, 15);

    entries.catalogueId = 6;
    entries.catalogueName = "Aktien/MDAX";
    user.ExpectQuestion("The existing symbols in the directory will be replaced by the content "
                        "of the catalog 'Aktien/MDAX'!",
                        MessageIcon::Question, true);
    values = AcceptDirectoryEditor(entries, user);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->catalogueId, 6);

    // Removing the link replaces nothing.
    entries.catalogueId = 0;
    entries.dateText = "31.4.2005";
    values = AcceptDirectoryEditor(entries, user);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ(values->catalogueId, 0);
    EXPECT_EQ(values->startDate, 0); // an invalid date is no date
}

} // namespace
} // namespace mvr
