// The main window's commands on the session, driven with scripted answers
// against the reference server, with the files and the configuration checked
// afterwards.

#include "core/app/MainWindowCommands.h"

#include "AppFixtures.h"
#include "core/app/DirectoryEditor.h"
#include "core/app/MainWindowReactions.h"
#include "core/app/Session.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/net/InstrumentRecord.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/FileSystem.h"
#include "core/platform/TextUtil.h"
#include "server/TestPriceServer.h"
#include "support/CalendarDay.h"
#include "support/RecordingListObserver.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::CScriptedInteraction;
using test::MakeIndex;
using test::Record;

constexpr std::int32_t kBigCatalogue = 50;

using test::Day;

// The small tables and a catalogue of 120 entries: 100 instruments, then 10
// repeats of their numbers and 10 new numbers whose symbols repeat (as a
// directory stores them: in their first 8 characters).
ServerTables TablesWithBigCatalogue() {
    ServerTables tables = test::SmallTables();
    Catalogue big{kBigCatalogue, "BIG", "Hundred", {}};
    for (int i = 0; i < 110; ++i) {
        ServerInstrument instrument;
        instrument.sinCode = 3000 + i;
        instrument.securityType = 1;
        instrument.exchange = 1;
        instrument.symbol = "SYMBOL" + std::to_string(i % 100 / 10) + std::to_string(i % 10) +
                            (i >= 100 ? "X" : "");
        instrument.name = "Company " + std::to_string(i);
        instrument.currency = "EUR";
        tables.instruments.push_back(instrument);
    }
    for (int i = 0; i < 100; ++i) {
        big.members.push_back(3000 + i);
        if (i % 10 == 0) {
            big.members.push_back(3000 + i / 10); // the same number again
            big.members.push_back(3100 + i / 10); // the symbol of C<i/10> again
        }
    }
    tables.catalogues.push_back(big);
    return tables;
}

WATCH Instrument(std::int32_t sinCode, const std::string& symbol, const std::string& name) {
    WATCH record;
    record.sinCode = sinCode;
    record.symbol = symbol;
    record.name = name;
    return record;
}

class MainWindowCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.BecomeServer();
        session.User().account = "valid1";
        session.User().password = "pw";
    }

    // Takes the editor's values as they are given here (the editor's own
    // checks are left to the editor tests unless a test runs them).
    void ExpectEditorReturning(const DirectoryEditorValues& accepted) {
        user.ExpectDirectoryEditor([accepted](DirectoryEditorValues& values) {
            values = accepted;
            return true;
        });
    }

    DirectoryEditorValues NewDirectory(const std::string& path, int formatType,
                                       std::int32_t catalogueId = 0) const {
        DirectoryEditorValues values;
        values.path = WithTrailingSeparator(path);
        values.formatType = formatType;
        values.startDate = Day(2, 1, 2023);
        values.catalogueId = catalogueId;
        values.catalogueName = catalogueId ? "Hundred" : "";
        return values;
    }

    void AddDirectoryAndShow(const std::string& path, int formatType, int symbols) {
        MakeIndex(path, formatType, symbols);
        session.Directories().push_back(Record(path, formatType));
        session.RefillDirectoryList();
        const auto index = static_cast<std::int32_t>(session.Directories().size()) - 1;
        ASSERT_TRUE(session.DirectoryList().SelectDirectory(index));
        ASSERT_TRUE(session.OpenCurrentDirectory(index));
    }

    std::string DataFilePath(const ExportSymbolInfo& symbol) const {
        CExportDataFile file;
        file.BuildFileName(session.CurrentIndex().Path(), symbol,
                           session.CurrentIndex().FormatType());
        return file.FilePath();
    }

    // Writes a data file for each symbol of the current index.
    void WriteDataFiles() {
        for (const ExportSymbolInfo& symbol : session.CurrentIndex().Symbols()) {
            test::WriteBytes(DataFilePath(symbol), {'x', '\n'});
        }
    }

    // The configuration as the next run finds it.
    struct Stored {
        std::vector<MVRKrsExportInfo> directories;
        std::vector<CMVRDirListInfo> lists;
        ExportUserInfo user;
        WindowLayout layout;

        const std::vector<MVRKrsExportInfo>& Directories() const { return directories; }
        const std::vector<CMVRDirListInfo>& Lists() const { return lists; }
        const ExportUserInfo& User() const { return user; }
        const WindowLayout& Layout() const { return layout; }
    };
    Stored Reloaded() const {
        CMVRKrsExpSession loaded;
        EXPECT_TRUE(loaded.LoadConfig());
        return {loaded.Directories(), loaded.Lists(), loaded.User(), loaded.Layout()};
    }

    test::TempDir config;
    test::ScopedEnvironment environment{kConfigFolderVariable, config.Path()};
    test::TempDir data;
    test::TestPriceServer server{TablesWithBigCatalogue()};
    CMVRKrsExpSession session;
    CScriptedInteraction user;
    CMainWindowCommands commands{session, user};
};

TEST_F(MainWindowCommandsTest, AddingAPathThatDiffersOnlyInLetterCaseAddsNothing) {
    const std::string kurse = WithTrailingSeparator(data.File("Kurse"));
    AddDirectoryAndShow(kurse, kFormatAsciiComma, 2);
    ExpectEditorReturning(NewDirectory(ToUpperAscii(kurse), kFormatMetaStock));
    ASSERT_TRUE(commands.AddDirectory());
    ASSERT_EQ(session.Directories().size(), 1u);
    EXPECT_EQ(session.Directories()[0].path, kurse);
    EXPECT_EQ(session.Directories()[0].formatType, kFormatAsciiComma);
    // The directory of that path is the one selected and shown.
    EXPECT_EQ(session.DirectoryList().SelectedDirectories(), std::vector<std::int32_t>{0});
    EXPECT_EQ(session.SymbolList().RowCount(), 2u);
}

TEST_F(MainWindowCommandsTest, ANewFolderIsCreatedAfterTheQuestionAndGetsAnEmptyIndex) {
    const std::string folder = data.File("new") + kPathSeparator + "sub";
    user.ExpectDirectoryEditor([&](DirectoryEditorValues& values) {
        DirectoryEditorEntries entries;
        entries.pathText = folder;
        entries.formatType = kFormatMetaStock;
        entries.dateText = "15.03.2024";
        entries.intervalText = "10";
        const auto accepted = AcceptDirectoryEditor(entries, user);
        if (accepted) {
            values = *accepted;
        }
        return accepted.has_value();
    });
    user.ExpectQuestion("The directory " + folder + " does not exist. Create it?",
                        MessageIcon::Question, true);
    ASSERT_TRUE(commands.AddDirectory());

    const Stored stored = Reloaded();
    ASSERT_EQ(stored.Directories().size(), 1u);
    const MVRKrsExportInfo& record = stored.Directories()[0];
    EXPECT_EQ(record.path, WithTrailingSeparator(folder));
    EXPECT_EQ(record.formatType, kFormatMetaStock);
    EXPECT_EQ(record.startDate, DayNumberToPlainOleDate(Day(15, 3, 2024)));
    EXPECT_EQ(record.interval, 10);
    CExportDirectory index(kFormatMetaStock);
    EXPECT_TRUE(index.Open(folder, kFormatMetaStock));
    EXPECT_EQ(index.SymbolCount(), 0u);
    EXPECT_EQ(session.CurrentDirectory(), 0);
}

TEST_F(MainWindowCommandsTest, AFolderOfAnotherFormatIsRefusedWithTheFoundFormatsName) {
    const std::string folder = data.File("ms");
    MakeIndex(folder, kFormatMetaStock, 1);
    user.ExpectDirectoryEditor([&](DirectoryEditorValues&) {
        DirectoryEditorEntries entries;
        entries.pathText = folder;
        entries.formatType = kFormatAsciiComma;
        entries.dateText = "15.03.2024";
        // The editor stays open after the message; the user then cancels it.
        return AcceptDirectoryEditor(entries, user).has_value();
    });
    user.ExpectMessage("The existing ASCII - Master contains a different Format (MetaStock)!\n"
                       "Choose a different Directory or Format!",
                       MessageIcon::Exclamation);
    EXPECT_FALSE(commands.AddDirectory());
    EXPECT_TRUE(session.Directories().empty());
}

TEST_F(MainWindowCommandsTest, ALinkedCatalogueReplacesWhateverTheFolderListed) {
    const std::string folder = data.File("linked");
    MakeIndex(folder, kFormatAsciiComma, 5);
    ExpectEditorReturning(NewDirectory(folder, kFormatAsciiComma, kBigCatalogue));
    // The ten whose stored symbol repeats an earlier one's are named, not added.
    std::string refused;
    for (int i = 0; i < 10; ++i) {
        const std::string symbol = "SYMBOL0" + std::to_string(i);
        refused += (i ? "\n" : "") + symbol + "X (Company 10" + std::to_string(i) + ", 310" +
                   std::to_string(i) + ") not added to " + WithTrailingSeparator(folder) +
                   ": its price file would be that of " + symbol;
    }
    user.ExpectMessage(refused);
    ASSERT_TRUE(commands.AddDirectory());

    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(folder, kFormatAsciiComma));
    ASSERT_EQ(index.SymbolCount(), 100u);
    const double start = DayNumberToPlainOleDate(Day(2, 1, 2023));
    for (std::size_t i = 0; i < index.SymbolCount(); ++i) {
        const ExportSymbolInfo& symbol = index.GetSymbol(i);
        ASSERT_EQ(symbol.sinCode, 3000 + static_cast<std::int32_t>(i));
        EXPECT_EQ(symbol.symbol, "SYMBOL" + std::to_string(i / 10) + std::to_string(i % 10));
        EXPECT_EQ(symbol.firstDate, start);
        EXPECT_EQ(symbol.lastDate, start);
        EXPECT_EQ(symbol.interval, MVRKrsExportInfo::kDefaultInterval);
        CExportDataFile file;
        EXPECT_TRUE(file.Read(folder, symbol, kFormatAsciiComma)) << symbol.symbol;
        EXPECT_TRUE(file.History().empty());
    }
    EXPECT_EQ(index.FindSymbol("S0"), -1);
    const Stored stored = Reloaded();
    ASSERT_EQ(stored.Directories().size(), 1u);
    EXPECT_EQ(stored.Directories()[0].catalogueId, kBigCatalogue);
}

TEST_F(MainWindowCommandsTest, AnEmptyOrUnknownCatalogueLeavesTheFolderAsItWas) {
    const std::string folder = data.File("empty");
    MakeIndex(folder, kFormatAsciiComma, 3);
    ExpectEditorReturning(NewDirectory(folder, kFormatAsciiComma, 3)); // catalogue 3 is empty
    ASSERT_TRUE(commands.AddDirectory());
    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(folder, kFormatAsciiComma));
    EXPECT_EQ(index.SymbolCount(), 3u);
    EXPECT_EQ(session.Directories().size(), 1u);
}

TEST_F(MainWindowCommandsTest, AFailedLoginAbandonsTheCommandWithTheServersText) {
    session.User().account = "message";
    user.ExpectMessage("Please call us, today");
    EXPECT_FALSE(commands.AddDirectory());
    EXPECT_TRUE(session.Directories().empty());
}

TEST_F(MainWindowCommandsTest, RemovingTwoDirectoriesAsksWithTheirNumber) {
    AddDirectoryAndShow(data.File("a"), kFormatAsciiComma, 3);
    AddDirectoryAndShow(data.File("b"), kFormatAsciiComma, 0);
    CMVRDirListInfo list;
    list.name = "Both";
    list.paths = {session.Directories()[0].path, session.Directories()[1].path};
    session.Lists() = {list};
    ASSERT_TRUE(session.OpenCurrentDirectory(0));
    session.DirectoryList().Selection().Select(0);
    session.DirectoryList().Selection().Select(1);
    session.SymbolList().Selection().Select(1);

    user.ExpectQuestion("Are you sure you want to remove 2 directories from the kavolo?",
                        MessageIcon::Question, false);
    EXPECT_FALSE(commands.RemoveSelectedDirectories());
    EXPECT_EQ(session.Directories().size(), 2u);
    // Shown again all the same: the symbol rows lost their selection.
    EXPECT_EQ(session.SymbolList().RowCount(), 3u);
    EXPECT_EQ(session.SymbolList().GetSelectedCount(), 0u);

    user.ExpectQuestion("Are you sure you want to remove 2 directories from the kavolo?",
                        MessageIcon::Question, true);
    EXPECT_TRUE(commands.RemoveSelectedDirectories());
    EXPECT_TRUE(session.Directories().empty());
    EXPECT_EQ(session.DirectoryList().RowCount(), 0u);
    const Stored stored = Reloaded();
    EXPECT_TRUE(stored.Directories().empty());
    ASSERT_EQ(stored.Lists().size(), 1u);
    EXPECT_TRUE(stored.Lists()[0].paths.empty());
}

TEST_F(MainWindowCommandsTest, RemovingOneDirectoryNamesItsPath) {
    AddDirectoryAndShow(data.File("a"), kFormatAsciiComma, 0);
    const std::string path = session.Directories()[0].path;
    user.ExpectQuestion("Are you sure you want to remove directory:\n" + path +
                            "\nfrom the kavolo?",
                        MessageIcon::Question, true);
    EXPECT_TRUE(commands.RemoveSelectedDirectories());
    EXPECT_TRUE(session.Directories().empty());
    // Without a selected row nothing is asked.
    EXPECT_FALSE(commands.RemoveSelectedDirectories());
}

TEST_F(MainWindowCommandsTest, EditingWithETakesTheIntervalAndADoubleClickDoesNot) {
    AddDirectoryAndShow(data.File("ms"), kFormatAsciiComma, 1);
    session.Directories()[0].interval = 15;
    session.Directories()[0].startDate = DayNumberToPlainOleDate(Day(1, 1, 2020));

    user.ExpectDirectoryEditor([](DirectoryEditorValues& values) {
        EXPECT_TRUE(values.existing);
        EXPECT_EQ(values.interval, 15);
        EXPECT_EQ(values.startDate, Day(1, 1, 2020));
        values.interval = 60;
        values.startDate = Day(31, 12, 2024);
        return true;
    });
    ASSERT_TRUE(commands.EditSelectedDirectory());
    EXPECT_EQ(session.Directories()[0].interval, 60);
    EXPECT_EQ(session.Directories()[0].startDate, DayNumberToPlainOleDate(Day(31, 12, 2024)));
    // The edited directory's index carries the new start date.
    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(data.File("ms"), kFormatAsciiComma));
    EXPECT_EQ(index.StartDate(), DayNumberToPlainOleDate(Day(31, 12, 2024)));

    user.ExpectDirectoryEditor([](DirectoryEditorValues& values) {
        EXPECT_EQ(values.interval, MVRKrsExportInfo::kDefaultInterval);
        values.interval = 5;
        values.catalogueId = 2;
        values.catalogueName = "Repeats";
        return true;
    });
    ASSERT_TRUE(commands.EditDirectoryOfRow(0));
    EXPECT_EQ(session.Directories()[0].interval, 60);
    EXPECT_EQ(session.Directories()[0].catalogueId, 2);
    EXPECT_EQ(Reloaded().Directories()[0].catalogueName, "Repeats");
    // The catalogue is read at the next update, not now.
    EXPECT_EQ(session.CurrentIndex().SymbolCount(), 1u);
}

TEST_F(MainWindowCommandsTest, ADirectoryWithoutStartDateLetsTheEditorProposeOne) {
    AddDirectoryAndShow(data.File("a"), kFormatAsciiComma, 0);
    session.Directories()[0].startDate = 0.0;
    user.ExpectDirectoryEditor([](DirectoryEditorValues& values) {
        EXPECT_EQ(values.startDate, 0);
        EXPECT_EQ(OpenDirectoryEditor(values, Day(15, 3, 2024)).dateText, "01.01.2023");
        return false;
    });
    EXPECT_FALSE(commands.EditSelectedDirectory());
}

TEST_F(MainWindowCommandsTest, AnsweringNoToTheCatalogueQuestionKeepsTheSettings) {
    AddDirectoryAndShow(data.File("a"), kFormatAsciiComma, 2);
    user.ExpectDirectoryEditor([&](DirectoryEditorValues& values) {
        DirectoryEditorEntries entries;
        entries.existing = true;
        entries.pathText = values.path;
        entries.formatType = values.formatType;
        entries.catalogueId = 1;
        entries.catalogueName = "All instruments";
        entries.previousCatalogueId = values.catalogueId;
        return AcceptDirectoryEditor(entries, user).has_value();
    });
    user.ExpectQuestion("The existing symbols in the directory will be replaced by the content of "
                        "the catalog 'All instruments'!",
                        MessageIcon::Question, false);
    EXPECT_FALSE(commands.EditSelectedDirectory());
    EXPECT_EQ(session.Directories()[0].catalogueId, 0);
}

TEST_F(MainWindowCommandsTest, DeletingSymbolsFindsThemByNumberElseByTextAndDeletesTheirFiles) {
    const std::string folder = data.File("del");
    AddDirectoryAndShow(folder, kFormatAsciiComma, 0);
    CExportDirectory& index = session.CurrentIndex();
    // Two symbols without a server number: the second must be found by its text.
    for (const auto& [code, text] : std::vector<std::pair<std::int32_t, std::string>>{
             {0, "NONE1"}, {0, "NONE2"}, {77, "SEVEN"}, {78, "EIGHT"}}) {
        ExportSymbolInfo symbol;
        symbol.symbol = text;
        symbol.name = "Name " + text;
        symbol.sinCode = code;
        // AddSymbol takes one symbol per number; 0 is added directly.
        if (code == 0) {
            index.Symbols().push_back(symbol);
        } else {
            ASSERT_TRUE(index.AddSymbol(symbol));
        }
    }
    ASSERT_TRUE(index.Save());
    ASSERT_TRUE(session.OpenCurrentDirectory(0));
    WriteDataFiles();
    session.SymbolList().SortByColumn(
        CExpSymbolListModel::kColumnSymbol); // EIGHT NONE1 NONE2 SEVEN
    session.SymbolList().Selection().Select(2);
    session.SymbolList().Selection().Select(3);
    const ExportSymbolInfo none2 = *session.SymbolList().SymbolOfRow(2);
    const ExportSymbolInfo seven = *session.SymbolList().SymbolOfRow(3);
    ASSERT_EQ(none2.symbol, "NONE2");

    user.ExpectQuestion("Are you sure you want to remove 2 symbols?", MessageIcon::Question, true);
    ASSERT_TRUE(commands.DeleteSelectedSymbols());
    EXPECT_FALSE(EntryExists(DataFilePath(none2)));
    EXPECT_FALSE(EntryExists(DataFilePath(seven)));
    CExportDirectory saved(kFormatAsciiComma);
    ASSERT_TRUE(saved.Open(folder, kFormatAsciiComma));
    ASSERT_EQ(saved.SymbolCount(), 2u);
    EXPECT_EQ(saved.GetSymbol(0).symbol, "NONE1");
    EXPECT_EQ(saved.GetSymbol(1).symbol, "EIGHT");
    EXPECT_TRUE(EntryExists(DataFilePath(saved.GetSymbol(0))));
    EXPECT_EQ(session.SymbolList().RowCount(), 2u);
    EXPECT_EQ(session.DirectoryList().RowSymbolCount(0), 2);
}

TEST_F(MainWindowCommandsTest, NoToTheSymbolQuestionDeletesNothingButRedisplays) {
    AddDirectoryAndShow(data.File("keep"), kFormatAsciiComma, 2);
    WriteDataFiles();
    session.SymbolList().Selection().Select(1);
    const ExportSymbolInfo symbol = *session.SymbolList().SymbolOfRow(1);
    user.ExpectQuestion("Are you sure you want to remove '" + symbol.name + "'?",
                        MessageIcon::Question, false);
    EXPECT_FALSE(commands.DeleteSelectedSymbols());
    EXPECT_TRUE(EntryExists(DataFilePath(symbol)));
    EXPECT_EQ(session.CurrentIndex().SymbolCount(), 2u);
    EXPECT_EQ(session.SymbolList().GetSelectedCount(), 0u);
}

TEST_F(MainWindowCommandsTest, ChosenInstrumentsAreSkippedByNumberThenByTextAndTheRestAdded) {
    const std::string folder = data.File("search");
    AddDirectoryAndShow(folder, kFormatAsciiComma, 2); // S0 (1000), S1 (1001)
    session.Directories()[0].interval = 30;
    session.CurrentIndex().SetStartDate(DayNumberToPlainOleDate(Day(1, 6, 2022)));
    session.Layout().searchSplitterPosition = 111;

    user.ExpectInstrumentChoice([](SearchDialogState& state, std::vector<WATCH>& chosen) {
        EXPECT_EQ(state.splitterPosition, 111);
        state.splitterPosition = 222;
        state.sortColumn = 2;
        state.sortFlag = 1;
        chosen = {Instrument(1000, "OTHER", "Same number"), Instrument(5, "S1", "Same symbol"),
                  Instrument(6, "LONGSYMBOLX", "New long"), Instrument(7, "NEW", "New")};
        return true;
    });
    user.ExpectMessage("S1 (Same symbol, 5) not added to " + WithTrailingSeparator(folder) +
                       ": its price file would be that of S1");
    EXPECT_EQ(commands.AddChosenInstruments(), 2u);

    CExportDirectory saved(kFormatAsciiComma);
    ASSERT_TRUE(saved.Open(folder, kFormatAsciiComma));
    ASSERT_EQ(saved.SymbolCount(), 4u);
    const ExportSymbolInfo& added = saved.GetSymbol(2);
    EXPECT_EQ(added.symbol, "LONGSYMB");
    EXPECT_EQ(added.name, "New long");
    EXPECT_EQ(added.sinCode, 6);
    EXPECT_EQ(added.firstDate, DayNumberToPlainOleDate(Day(1, 6, 2022)));
    EXPECT_EQ(added.lastDate, 0.0);
    EXPECT_EQ(added.interval, 30);
    EXPECT_EQ(added.fieldCount, 7);
    EXPECT_EQ(saved.GetSymbol(3).symbol, "NEW");
    EXPECT_TRUE(EntryExists(DataFilePath(added)));
    EXPECT_EQ(session.SymbolList().RowCount(), 4u);
    EXPECT_EQ(session.DirectoryList().RowSymbolCount(0), 4);

    const Stored stored = Reloaded();
    EXPECT_EQ(stored.Layout().searchSplitterPosition, 222);
    EXPECT_EQ(stored.User().searchSortColumn, 2);
    EXPECT_EQ(stored.User().searchSortFlag, 1);
}

// A view of a long list keeps its place: the new symbols arrive as inserted
// rows at their sorted places, not as a new list.
TEST_F(MainWindowCommandsTest, ChosenInstrumentsReachTheSymbolListAsInsertedRows) {
    AddDirectoryAndShow(data.File("rows"), kFormatAsciiComma, 2); // S0, S1
    CExpSymbolListModel& list = session.SymbolList();
    list.SortByColumn(CExpSymbolListModel::kColumnSymbol);
    list.Selection().Select(0);
    test::RecordingListObserver observer;
    observer.probe = [&list] {
        std::string text;
        for (std::size_t row = 0; row < list.RowCount(); ++row) {
            text += list.CellText(row, CExpSymbolListModel::kColumnSymbol) + " ";
        }
        return text + "sel " + std::to_string(list.GetSelectedCount());
    };
    list.SetObserver(&observer);
    user.ExpectInstrumentChoice([](SearchDialogState&, std::vector<WATCH>& chosen) {
        chosen = {Instrument(7, "A", "First"), Instrument(8, "T", "Last")};
        return true;
    });
    EXPECT_EQ(commands.AddChosenInstruments(), 2u);
    EXPECT_EQ(observer.Take(), (std::vector<std::string>{
                                   "about to insert 0-0 | S0 S1 sel 1",
                                   "inserted 0-0 | A S0 S1 sel 1",
                                   "about to insert 3-3 | A S0 S1 sel 1",
                                   "inserted 3-3 | A S0 S1 T sel 1",
                                   "selection | A S0 S1 T sel 0",
                               }));
    list.SetObserver(nullptr);
}

// sap.prn and SAP.prn are one file on Windows (and to our own file lookup).
TEST_F(MainWindowCommandsTest, AChosenInstrumentWhosePriceFileDiffersInCaseOnlyIsRefused) {
    const std::string folder = data.File("case");
    AddDirectoryAndShow(folder, kFormatAsciiComma, 2); // S0 (1000), S1 (1001)
    WriteDataFiles();
    const std::string s0 = DataFilePath(session.CurrentIndex().GetSymbol(0));
    user.ExpectInstrumentChoice([](SearchDialogState&, std::vector<WATCH>& chosen) {
        chosen = {Instrument(8, "s0", "Lower case"), Instrument(9, "s0", "Again"),
                  Instrument(10, "S2", "New")};
        return true;
    });
    user.ExpectMessage("s0 (Lower case, 8) not added to " + WithTrailingSeparator(folder) +
                       ": its price file would be that of S0\n"
                       "s0 (Again, 9) not added to " +
                       WithTrailingSeparator(folder) + ": its price file would be that of S0");
    EXPECT_EQ(commands.AddChosenInstruments(), 1u);
    CExportDirectory saved(kFormatAsciiComma);
    ASSERT_TRUE(saved.Open(folder, kFormatAsciiComma));
    ASSERT_EQ(saved.SymbolCount(), 3u);
    EXPECT_EQ(saved.GetSymbol(2).symbol, "S2");
    EXPECT_EQ(test::ReadBytes(s0), (std::vector<std::uint8_t>{'x', '\n'}));
}

TEST_F(MainWindowCommandsTest, ALinkedDirectoryTakesNoChosenInstruments) {
    AddDirectoryAndShow(data.File("linked"), kFormatAsciiComma, 0);
    session.Directories()[0].catalogueId = 1;
    EXPECT_EQ(commands.AddChosenInstruments(), 0u);
}

TEST_F(MainWindowCommandsTest, AListIsAddedAndBecomesActiveThenRemovedAfterTheQuestion) {
    AddDirectoryAndShow(data.File("a"), kFormatAsciiComma, 0);
    user.ExpectListName("Stocks");
    ASSERT_TRUE(commands.AddList());
    EXPECT_EQ(session.User().activeListEntry, 1);
    EXPECT_TRUE(session.DirectoryList().CheckBoxesShown());
    EXPECT_FALSE(session.DirectoryList().IsChecked(0));

    ASSERT_TRUE(session.SetMembership(0, session.Directories()[0].path, true));
    CMainWindowReactions(session).ChooseListEntry(1);
    EXPECT_TRUE(session.DirectoryList().IsChecked(0));

    user.ExpectQuestion("Remove list 'Stocks'?", MessageIcon::None, false);
    EXPECT_FALSE(commands.RemoveActiveList());
    EXPECT_EQ(session.Lists().size(), 1u);
    user.ExpectQuestion("Remove list 'Stocks'?", MessageIcon::None, true);
    EXPECT_TRUE(commands.RemoveActiveList());
    EXPECT_TRUE(session.Lists().empty());
    EXPECT_EQ(session.User().activeListEntry, 0);
    EXPECT_EQ(session.Directories().size(), 1u);
    const Stored stored = Reloaded();
    EXPECT_TRUE(stored.Lists().empty());
    EXPECT_EQ(stored.User().activeListEntry, 0);
    // With no list active there is nothing to remove.
    EXPECT_FALSE(commands.RemoveActiveList());
}

// Writes below `folder` fail as a full disk would make them fail.
class FailingWritesBelow : public CScopedAtomicWriteInterruption {
public:
    explicit FailingWritesBelow(std::string folder)
        : CScopedAtomicWriteInterruption(
              [folder](const std::string& target) { return !target.starts_with(folder); }) {}
};

TEST_F(MainWindowCommandsTest, AStoreThatFailsIsToldKeepsTheOldFilesAndTheNextStoreWritesAll) {
    AddDirectoryAndShow(data.File("a"), kFormatAsciiComma, 1);
    AddDirectoryAndShow(data.File("b"), kFormatAsciiComma, 1);
    ASSERT_TRUE(session.StoreConfig());
    const auto before = test::FolderContents(config.Path());
    {
        const FailingWritesBelow full(config.Path());
        // "b" is selected: it was shown last.
        user.ExpectQuestion("Are you sure you want to remove directory:\n" +
                                session.Directories()[1].path + "\nfrom the kavolo?",
                            MessageIcon::Question, true);
        user.ExpectMessage(kStoreConfigError);
        EXPECT_TRUE(commands.RemoveSelectedDirectories());
        // Two stores, one message: only the last store of a command is told.
        user.ExpectListName("Stocks");
        user.ExpectMessage(kStoreConfigError);
        EXPECT_TRUE(commands.AddList());
    }
    // Nothing on disk changed, no temporary file is left, and the run goes on.
    EXPECT_EQ(test::FolderContents(config.Path()), before);
    EXPECT_FALSE(session.QuitRequested());
    EXPECT_EQ(session.Directories().size(), 1u);

    // Room again: the next change writes the earlier ones too.
    user.ExpectListName("Bonds");
    ASSERT_TRUE(commands.AddList());
    const Stored stored = Reloaded();
    ASSERT_EQ(stored.Directories().size(), 1u);
    EXPECT_EQ(stored.Directories()[0].path, session.Directories()[0].path);
    ASSERT_EQ(stored.Lists().size(), 2u);
    EXPECT_EQ(stored.Lists()[0].name, "Stocks");
    EXPECT_EQ(stored.Lists()[1].name, "Bonds");
    EXPECT_EQ(stored.User().activeListEntry, 2);
}

TEST_F(MainWindowCommandsTest, EveryCommandThatStoresTellsAFailedStore) {
    AddDirectoryAndShow(data.File("a"), kFormatAsciiComma, 2);
    const FailingWritesBelow full(config.Path());

    // Symbols deleted: the index is saved, the configuration is not.
    WriteDataFiles();
    session.SymbolList().Selection().Select(0);
    const ExportSymbolInfo symbol = *session.SymbolList().SymbolOfRow(0);
    user.ExpectQuestion("Are you sure you want to remove '" + symbol.name + "'?",
                        MessageIcon::Question, true);
    user.ExpectMessage(kStoreConfigError);
    EXPECT_TRUE(commands.DeleteSelectedSymbols());
    EXPECT_FALSE(EntryExists(DataFilePath(symbol)));

    // Also a cancelled question stores (the sort state), and tells.
    session.SymbolList().Selection().Select(0);
    user.ExpectQuestion("Are you sure you want to remove '" +
                            session.SymbolList().SymbolOfRow(0)->name + "'?",
                        MessageIcon::Question, false);
    user.ExpectMessage(kStoreConfigError);
    EXPECT_FALSE(commands.DeleteSelectedSymbols());

    // A directory's settings changed.
    DirectoryEditorValues values = NewDirectory(data.File("a"), kFormatAsciiComma);
    values.existing = true;
    values.interval = 15;
    ExpectEditorReturning(values);
    user.ExpectMessage(kStoreConfigError);
    EXPECT_TRUE(commands.EditSelectedDirectory());
    EXPECT_EQ(session.Directories()[0].interval, 15);

    // The active list removed.
    session.Lists().push_back(CMVRDirListInfo{});
    session.Lists().back().name = "Old";
    session.User().activeListEntry = 1;
    user.ExpectQuestion("Remove list 'Old'?", MessageIcon::None, true);
    user.ExpectMessage(kStoreConfigError);
    EXPECT_TRUE(commands.RemoveActiveList());
    EXPECT_TRUE(session.Lists().empty());
    EXPECT_FALSE(session.QuitRequested());
}

TEST_F(MainWindowCommandsTest, AConfigurationFolderThatCannotBeHadIsToldAndEndsTheRun) {
    // A folder below a regular file cannot be created, not even by root.
    test::WriteBytes(data.File("plain"), {'x'});
    const test::ScopedEnvironment nowhere{kConfigFolderVariable, data.File("plain") + "/cfg"};
    user.ExpectListName("Stocks");
    user.ExpectMessage(kStoreConfigError);
    EXPECT_TRUE(commands.AddList());
    EXPECT_TRUE(session.QuitRequested());
}

TEST_F(MainWindowCommandsTest, SymbolsWhoseIndexCannotBeSavedKeepTheirPriceFiles) {
    const std::string folder = data.File("del");
    AddDirectoryAndShow(folder, kFormatAsciiComma, 3);
    WriteDataFiles();
    const std::vector<ExportSymbolInfo> symbols = session.CurrentIndex().Symbols();
    const auto indexBefore = test::ReadBytes(session.CurrentIndex().Path() + "mvrexp.mas");
    session.SymbolList().Selection().Select(0);
    session.SymbolList().Selection().Select(2);
    {
        const FailingWritesBelow full(session.CurrentIndex().Path());
        user.ExpectQuestion("Are you sure you want to remove 2 symbols?", MessageIcon::Question,
                            true);
        user.ExpectMessage(kSymbolsNotRemovedMessage, MessageIcon::Exclamation);
        EXPECT_TRUE(commands.DeleteSelectedSymbols());
    }
    for (const ExportSymbolInfo& symbol : symbols) {
        EXPECT_TRUE(EntryExists(DataFilePath(symbol))) << symbol.symbol;
    }
    EXPECT_EQ(test::ReadBytes(session.CurrentIndex().Path() + "mvrexp.mas"), indexBefore);
    // The list still shows them, so the user can try again.
    EXPECT_EQ(session.CurrentIndex().SymbolCount(), 3u);
    EXPECT_EQ(session.SymbolList().RowCount(), 3u);

    session.SymbolList().Selection().Select(1);
    const ExportSymbolInfo second = *session.SymbolList().SymbolOfRow(1);
    user.ExpectQuestion("Are you sure you want to remove '" + second.name + "'?",
                        MessageIcon::Question, true);
    EXPECT_TRUE(commands.DeleteSelectedSymbols());
    EXPECT_FALSE(EntryExists(DataFilePath(second)));
    for (const ExportSymbolInfo& symbol : symbols) {
        if (symbol.symbol != second.symbol) {
            EXPECT_TRUE(EntryExists(DataFilePath(symbol))) << symbol.symbol;
        }
    }
    CExportDirectory saved(kFormatAsciiComma);
    ASSERT_TRUE(saved.Open(folder, kFormatAsciiComma));
    EXPECT_EQ(saved.SymbolCount(), 2u);
}

} // namespace
} // namespace mvr
