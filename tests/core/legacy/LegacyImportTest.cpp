// The import of a predecessor installation built by the legacy test builders,
// run against the reference price server.

#include "core/app/LegacyImportCommand.h"
#include "core/app/Session.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDirectory.h"
#include "core/legacy/ImportLog.h"
#include "core/legacy/LegacyInitialFolder.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/OleDate.h"
#include "core/platform/Paths.h"
#include "LegacyFileBuilder.h"
#include "server/RequestDispatcher.h"
#include "server/TestPriceServer.h"
#include "support/ScriptedInteraction.h"
#include "support/SmallFileSystem.h"
#include "support/Sweep.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::BuildKvloDat;
using test::BuildKvloSdb;
using test::BuildMasterKvl;
using test::KvloSdbSpec;
using test::LegacyFormatSpec;
using test::ReadBytes;
using test::WriteBytes;

test::LegacyDirectorySpec Dir(std::string path) {
    return {std::move(path), {}};
}

std::string AsText(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class LegacyImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.BecomeServer();
        session.User().account = "valid1";
        session.User().password = "pw";
        CMVRDirListInfo daily;
        daily.name = "DAILY";
        session.Lists() = {daily};
        session.User().activeListEntry = 1;

        ASSERT_TRUE(CreateFolders(ascii));
        WriteBytes(ascii + "master.kvl",
                   BuildMasterKvl(kFormatAsciiComma, {{"SAPX", "Sapex", 'D', 0, 1050105, 0, 0, 1},
                                                      {"APLX", "Applex", 'D', 0, 990105, 0, 0, 2},
                                                      {"ZERO", "Unknown"},
                                                      {"LOW", "Numberless"},
                                                      {"UNTR", "Untranslated"}}));
        ASSERT_TRUE(CreateFolders(hermes));
        WriteBytes(WithTrailingSeparator(hermes) + "ABC.ASC", {});
        WriteBytes(WithTrailingSeparator(hermes) + "DEF.ASC", {});
        ASSERT_TRUE(CreateFolders(metaStock));
        CExportDirectory index(kFormatMetaStock);
        ASSERT_TRUE(index.Create(metaStock, 0.0, kFormatMetaStock));
        ExportSymbolInfo symbol;
        symbol.symbol = "MS1";
        symbol.firstDate = 40100.0;
        ASSERT_TRUE(index.AddSymbol(symbol));
        ASSERT_TRUE(index.Save());

        WriteInstallation(Formats());
        KvloSdbSpec table;
        table.symbols = {{501, "SAPX"}, {9001, "APLX"}, {0, "LOW"}, {777, "UNTR"}, {504, "ABC"}};
        table.table1Count = 2;
        table.table4Count = 1;
        table.spareCapacity = 3;
        WriteBytes(install.File("kvlo.sdb"), BuildKvloSdb(table));
    }

    std::vector<LegacyFormatSpec> Formats() const {
        LegacyFormatSpec asciiFormat{"ASC", "Ascii", kFormatAsciiComma, {}, {}};
        asciiFormat.lists = {{"Daily", {Dir(ascii), Dir(missingInList)}}};
        asciiFormat.directories = {Dir(ascii), Dir(gone)}; // ascii ends in a separator
        LegacyFormatSpec hermesFormat{"HER", "Hermes", kFormatHermes, {}, {Dir(hermes)}};
        LegacyFormatSpec metaStockFormat{
            "MS",
            "MetaStock",
            kFormatMetaStock,
            {},
            {Dir(WithoutTrailingSeparator(metaStock)), Dir(metaStock)}};
        LegacyFormatSpec odd{"ODD", "Odd", 99, {{"Odd", {}}}, {Dir(ascii)}};
        return {asciiFormat, hermesFormat, metaStockFormat, odd};
    }

    void WriteInstallation(const std::vector<LegacyFormatSpec>& formats) {
        WriteBytes(install.File("kvlo.dat"), BuildKvloDat(formats));
    }

    std::string LogPath() const { return config.File(kImportLogFileName); }

    void ExpectRun() {
        user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
        user.ExpectOpenDocument(LogPath());
    }

    std::string Header() const {
        return "=============== Kavolo Import (" + FormatDayNumber(TodayDayNumber()) +
               ") =============\r\nCollecting Symbols to Translate\r\n";
    }

    test::TestPriceServer server;
    test::TempDir config;
    test::ScopedEnvironment environment{kConfigFolderVariable, config.Path()};
    test::TempDir install;
    test::TempDir data;
    const std::string ascii = WithTrailingSeparator(data.File("ascii"));
    const std::string hermes = data.File("hermes");
    const std::string metaStock = WithTrailingSeparator(data.File("ms"));
    const std::string gone = data.File("gone");
    const std::string missingInList = data.File("missing");
    CMVRKrsExpSession session;
    test::CScriptedInteraction user;
};

TEST_F(LegacyImportTest, TakesOverListsAndDirectoriesAndLogsEveryStep) {
    ExpectRun();
    const double before = CurrentUtcOleDate();
    ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Imported);
    const double after = CurrentUtcOleDate();

    const std::string asciiTest = WithoutTrailingSeparator(ascii);
    const std::string msTest = WithoutTrailingSeparator(metaStock);
    EXPECT_EQ(AsText(ReadBytes(LogPath())), Header() +
                                                "    Format 'Ascii: Comma Delimited'\r\n"
                                                "Non existing Directory found in List 'Daily' (" +
                                                missingInList +
                                                ")\r\n"
                                                "    Format 'Hermes'\r\n"
                                                "    Format 'MetaStock'\r\n"
                                                "    Format 'unknown format type 99'\r\n"
                                                "Sending 4 Sincodes to server\r\n"
                                                "processing result list\r\n"
                                                "import '" +
                                                asciiTest +
                                                "' 'Ascii: Comma Delimited'\r\n"
                                                " - SInCode Zero ZERO \r\n"
                                                " - SInCode Zero LOW \r\n"
                                                " - Symbol UNTR not translated\r\n"
                                                "import '" +
                                                gone +
                                                "' 'Ascii: Comma Delimited'\r\n"
                                                " - Directory not found'\r\n"
                                                "import '" +
                                                hermes +
                                                "' 'Hermes'\r\n"
                                                " - SInCode Zero DEF \r\n"
                                                " import '" +
                                                msTest +
                                                "' 'MetaStock'\r\n"
                                                " import '" +
                                                msTest +
                                                "' 'MetaStock'\r\n"
                                                " - Directory (Metastock) already active\r\n");

    ASSERT_EQ(session.Lists().size(), 3u);
    EXPECT_EQ(session.Lists()[1].name, "Daily");
    EXPECT_EQ(session.Lists()[1].kind, kFormatAsciiComma);
    EXPECT_EQ(session.Lists()[1].paths, std::vector<std::string>{ascii});
    EXPECT_EQ(session.Lists()[2].name, "Odd");
    EXPECT_TRUE(session.Lists()[2].paths.empty());

    const auto& directories = session.Directories();
    ASSERT_EQ(directories.size(), 3u);
    EXPECT_EQ(directories[0].path, ascii);
    EXPECT_EQ(directories[0].formatType, kFormatAsciiComma);
    EXPECT_EQ(directories[0].interval, 10);
    // APLX's 5 January 1999 is the earliest first date taken over.
    EXPECT_EQ(directories[0].startDate, DayNumberToPlainOleDate(DatumToDayNumber({5, 1, 1999})));
    EXPECT_EQ(directories[1].path, WithTrailingSeparator(hermes));
    EXPECT_EQ(directories[1].formatType, kFormatHermes);
    EXPECT_EQ(directories[1].startDate, 0.0);
    EXPECT_EQ(directories[2].path, metaStock);
    EXPECT_EQ(directories[2].formatType, kFormatMetaStock);
    EXPECT_EQ(directories[2].startDate, 40100.0);

    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(ascii, kFormatAsciiComma));
    ASSERT_EQ(index.SymbolCount(), 2u);
    EXPECT_EQ(index.GetSymbol(0).symbol, "SAPX");
    EXPECT_EQ(index.GetSymbol(0).sinCode, 1001);
    EXPECT_EQ(index.GetSymbol(1).sinCode, 1002);
    EXPECT_GE(index.StartDate(), before - 300.0);
    EXPECT_LE(index.StartDate(), after - 300.0);

    // Stored, and shown with no active list.
    EXPECT_EQ(session.User().activeListEntry, 0);
    EXPECT_FALSE(session.DirectoryList().CheckBoxesShown());
    EXPECT_EQ(session.DirectoryList().RowCount(), 3u);
    CMVRKrsExpSession stored;
    ASSERT_TRUE(stored.LoadConfig());
    EXPECT_EQ(stored.Directories(), session.Directories());
    EXPECT_EQ(stored.Lists(), session.Lists());
}

// sapx.prn would be SAPX.prn on Windows: the second instrument is left out.
TEST_F(LegacyImportTest, AnEntryWhosePriceFileWouldBeAnothersIsLoggedAndLeftOut) {
    WriteBytes(ascii + "master.kvl",
               BuildMasterKvl(kFormatAsciiComma, {{"SAPX", "Sapex", 'D', 0, 1050105, 0, 0, 1},
                                                  {"sapx", "Lower", 'D', 0, 1050105, 0, 0, 2}}));
    WriteBytes(ascii + "SAPX.prn", {'1', '\n'});
    KvloSdbSpec table;
    table.symbols = {{501, "SAPX"}, {504, "sapx"}, {504, "ABC"}};
    table.table1Count = 2;
    table.table4Count = 1;
    WriteBytes(install.File("kvlo.sdb"), BuildKvloSdb(table));
    ExpectRun();
    ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Imported);

    const std::string log = AsText(ReadBytes(LogPath()));
    EXPECT_NE(log.find("import '" + WithoutTrailingSeparator(ascii) +
                       "' 'Ascii: Comma Delimited'\r\n"
                       " - Symbol sapx not added: its price file would be that of SAPX\r\n"),
              std::string::npos)
        << log;
    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(ascii, kFormatAsciiComma));
    ASSERT_EQ(index.SymbolCount(), 1u);
    EXPECT_EQ(index.GetSymbol(0).sinCode, 1001);
    EXPECT_EQ(ReadBytes(ascii + "SAPX.prn"), (std::vector<std::uint8_t>{'1', '\n'}));
}

TEST_F(LegacyImportTest, ASecondRunTakesOverNothingNewAndAppendsItsOwnBlock) {
    ExpectRun();
    ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Imported);
    const std::string first = AsText(ReadBytes(LogPath()));
    const auto directories = session.Directories();
    const auto lists = session.Lists();
    ExpectRun();
    ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Imported);
    EXPECT_EQ(session.Directories(), directories);
    EXPECT_EQ(session.Lists(), lists);

    const std::string asciiTest = WithoutTrailingSeparator(ascii);
    const std::string msTest = WithoutTrailingSeparator(metaStock);
    EXPECT_EQ(AsText(ReadBytes(LogPath())), first + Header() +
                                                "    Format 'Ascii: Comma Delimited'\r\n"
                                                "    Format 'Hermes'\r\n"
                                                "    Format 'MetaStock'\r\n"
                                                "    Format 'unknown format type 99'\r\n"
                                                "Sending 4 Sincodes to server\r\n"
                                                "processing result list\r\n"
                                                "import '" +
                                                asciiTest +
                                                "' 'Ascii: Comma Delimited'\r\n"
                                                " - Directory already active\r\n"
                                                "import '" +
                                                gone +
                                                "' 'Ascii: Comma Delimited'\r\n"
                                                " - Directory not found'\r\n"
                                                "import '" +
                                                hermes +
                                                "' 'Hermes'\r\n"
                                                " - Directory already active\r\n"
                                                " import '" +
                                                msTest +
                                                "' 'MetaStock'\r\n"
                                                " - Directory (Metastock) already active\r\n"
                                                " import '" +
                                                msTest +
                                                "' 'MetaStock'\r\n"
                                                " - Directory (Metastock) already active\r\n");
}

TEST_F(LegacyImportTest, WithoutAValidAccountNothingIsTranslatedOrSent) {
    session.User().account = "invalid";
    ExpectRun();
    ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Imported);
    const std::string log = AsText(ReadBytes(LogPath()));
    EXPECT_EQ(log.find("Sending"), std::string::npos);
    EXPECT_NE(log.find(" - Symbol SAPX not translated\r\n - Symbol APLX not translated\r\n"),
              std::string::npos);
    CExportDirectory index(kFormatAsciiComma);
    ASSERT_TRUE(index.Open(ascii, kFormatAsciiComma));
    EXPECT_EQ(index.SymbolCount(), 0u);
    EXPECT_EQ(session.Directories()[0].startDate, 0.0);
}

TEST_F(LegacyImportTest, FailuresBeforeTheLogLeaveEverythingAsItWas) {
    const auto directories = session.Directories();
    const auto lists = session.Lists();
    auto unchanged = [&] {
        EXPECT_EQ(session.Directories(), directories);
        EXPECT_EQ(session.Lists(), lists);
        EXPECT_EQ(session.User().activeListEntry, 1);
        EXPECT_FALSE(EntryExists(LogPath()));
        EXPECT_FALSE(EntryExists(config.File("MVRExpDir.cfg")));
    };
    user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", std::nullopt);
    EXPECT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Cancelled);
    unchanged();

    const ByteBuffer formats = ReadBytes(install.File("kvlo.dat"));
    const ByteBuffer table = ReadBytes(install.File("kvlo.sdb"));
    // Cut inside the second format record, then inside the symbol table.
    WriteBytes(install.File("kvlo.dat"), ByteBuffer(formats.begin(), formats.end() - 300));
    user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
    user.ExpectMessage(kFormatsFileReadError);
    EXPECT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::FormatsFileDamaged);
    unchanged();

    WriteBytes(install.File("kvlo.dat"), formats);
    WriteBytes(install.File("kvlo.sdb"), ByteBuffer(table.begin(), table.end() - 150));
    user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
    EXPECT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::SymbolTableDamaged);
    unchanged();

    RemoveFile(install.File("kvlo.sdb"));
    user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
    user.ExpectMessage(kSymbolTableOpenError);
    EXPECT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::SymbolTableMissing);
    RemoveFile(install.File("kvlo.dat"));
    user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
    user.ExpectMessage(kFormatsFileOpenError);
    EXPECT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::FormatsFileMissing);
    unchanged();
}

TEST_F(LegacyImportTest, RegisteredPathsAreActiveOnlyForFoldersThatExistOrAreAscii) {
    // Registered by hand, with other letter case and without the separator.
    MVRKrsExportInfo goneAscii;
    goneAscii.path = WithTrailingSeparator(gone);
    goneAscii.formatType = kFormatAsciiComma;
    MVRKrsExportInfo asciiAgain;
    asciiAgain.path = WithoutTrailingSeparator(ascii);
    asciiAgain.formatType = kFormatAsciiTab;
    session.Directories() = {goneAscii, asciiAgain};
    std::vector<LegacyFormatSpec> formats = Formats();
    formats[2].directories.push_back(Dir(gone));
    WriteInstallation(formats);
    ExpectRun();
    ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Imported);
    const std::string log = AsText(ReadBytes(LogPath()));
    EXPECT_NE(log.find("import '" + WithoutTrailingSeparator(ascii) +
                       "' 'Ascii: Comma Delimited'\r\n - Directory already active\r\n"
                       "import '" +
                       gone +
                       "' 'Ascii: Comma Delimited'\r\n"
                       " - Directory already active\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(
        log.find(" import '" + gone + "' 'MetaStock'\r\n - Directory (Metastock) not found\r\n"),
        std::string::npos)
        << log;
    EXPECT_EQ(session.Directories().size(), 4u); // the Hermes and the MetaStock folder
}

TEST_F(LegacyImportTest, ACommunicationFailureIsLoggedAndLeavesTheNumbersUntranslated) {
    test::TestPriceServer failing(
        test::SmallTables(), test::TestServeOptions(), [](CRequestDispatcher& dispatcher) {
            // Closes without an answer.
            dispatcher.Register(130, 2, HeaderNumber::CheckNumber, [](CRequestContext&) {});
        });
    failing.BecomeServer();
    ExpectRun();
    ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Imported);
    const std::string log = AsText(ReadBytes(LogPath()));
    const auto error = log.find("Sending 4 Sincodes to server\r\n-- error ");
    ASSERT_NE(error, std::string::npos) << log;
    EXPECT_NE(log.find(" \r\nprocessing result list\r\n", error), std::string::npos) << log;
    EXPECT_NE(log.find(" - Symbol SAPX not translated\r\n"), std::string::npos) << log;
    EXPECT_EQ(session.Directories()[0].startDate, 0.0);
}

TEST_F(LegacyImportTest, ACancelWhileTheServerIsSilentTakesOverNothing) {
    ServeOptions silent = test::TestServeOptions();
    silent.faults.blockDelay = std::chrono::seconds(20);
    test::TestPriceServer silentServer(test::SmallTables(), silent);
    silentServer.BecomeServer();
    user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
    user.CancelNetworkWorkAfter(std::chrono::milliseconds(200));
    const auto directories = session.Directories();
    const auto FoldersContents = [this] {
        return std::vector{test::FolderContents(ascii), test::FolderContents(hermes),
                           test::FolderContents(metaStock)};
    };
    const auto before = FoldersContents();

    EXPECT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Cancelled);
    EXPECT_LT(user.LongestNetworkWork(), std::chrono::milliseconds(1200));
    EXPECT_EQ(session.Directories(), directories);
    EXPECT_EQ(session.Lists().size(), 1u);
    // No new index in a folder the cancelled run would have taken over.
    EXPECT_EQ(FoldersContents(), before);
    EXPECT_TRUE(ListFileNames(config.Path()).empty());
}

TEST_F(LegacyImportTest, WithoutAConfigurationFolderNothingIsTakenOver) {
    WriteBytes(config.File("file"), {});
    test::ScopedEnvironment noFolder{kConfigFolderVariable,
                                     config.File("file") + kPathSeparator + "sub"};
    user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
    user.ExpectMessage("Error Store Export Config");
    EXPECT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::ConfigFolderMissing);
    EXPECT_TRUE(session.Directories().empty());
    EXPECT_EQ(session.Lists().size(), 1u);
}

TEST_F(LegacyImportTest, AFullDiskIsNamedInTheLogOrInAMessage) {
    test::SmallFileSystem disk(256 * 1024);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.SkipReason();
    }
    const std::string full = WithTrailingSeparator(disk.File("ascii"));
    ASSERT_TRUE(CreateFolders(full));
    WriteBytes(full + "master.kvl",
               BuildMasterKvl(kFormatAsciiComma, {{"SAPX", "Sapex", 'D', 0, 1050105, 0, 0, 1}}));
    LegacyFormatSpec format{"ASC", "Ascii", kFormatAsciiComma, {}, {Dir(full)}};
    WriteInstallation({format});
    disk.Fill();
    const auto before = test::FolderContents(full);

    // The new index of a folder on a full disk: the log says why it is missing.
    ExpectRun();
    ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Imported);
    const std::string log = AsText(ReadBytes(LogPath()));
    EXPECT_NE(log.find("import '" + WithoutTrailingSeparator(full) +
                       "' 'Ascii: Comma Delimited'\r\n"
                       " - Index could not be written (No space left on device)\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(test::FolderContents(full), before);

    // A log on a full disk cannot be shown: a message names it instead.
    const std::string fullConfig = disk.File("config");
    ASSERT_TRUE(CreateFolders(fullConfig));
    const test::ScopedEnvironment configOnTheFullDisk{kConfigFolderVariable, fullConfig};
    user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
    user.ExpectMessage("The import log " + JoinPath(fullConfig, kImportLogFileName) +
                           " could not be written (No space left on device).",
                       MessageIcon::Exclamation);
    user.ExpectMessage(kStoreConfigError);
    ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::Imported);
    EXPECT_EQ(user.Pending(), 0u);
}

TEST_F(LegacyImportTest, FilesCutAnywhereNeverLeaveAHalfImportedConfiguration) {
    const ByteBuffer formats = ReadBytes(install.File("kvlo.dat"));
    const ByteBuffer table = ReadBytes(install.File("kvlo.sdb"));
    const auto lists = session.Lists();
    for (const std::size_t cut : test::SweepPoints(formats.size())) {
        WriteBytes(install.File("kvlo.dat"), ByteBuffer(formats.begin(), formats.begin() + cut));
        user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
        user.ExpectMessage(kFormatsFileReadError);
        ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::FormatsFileDamaged)
            << cut;
    }
    WriteBytes(install.File("kvlo.dat"), formats);
    for (const std::size_t cut : test::SweepPoints(table.size(), 100)) {
        WriteBytes(install.File("kvlo.sdb"), ByteBuffer(table.begin(), table.begin() + cut));
        user.ExpectFolderBrowser(kSelectLegacyFolderTitle, "", install.Path());
        ASSERT_EQ(ImportLegacyInstallation(session, user), LegacyImportOutcome::SymbolTableDamaged)
            << cut;
    }
    EXPECT_TRUE(session.Directories().empty());
    EXPECT_EQ(session.Lists(), lists);
    EXPECT_FALSE(EntryExists(LogPath()));
    EXPECT_FALSE(EntryExists(ascii + "mvrexp.mas"));
}

TEST(LegacyInitialFolderTest, TheUninstallersFolderWithoutItsArguments) {
    EXPECT_EQ(ProgramOfUninstallString("C:\\KVLO\\unins000.exe /silent"), "C:\\KVLO\\unins000.exe");
    EXPECT_FALSE(ProgramOfUninstallString("\"C:\\Program Files\\KVLO\\unins000.exe\""));
    EXPECT_FALSE(ProgramOfUninstallString(""));
    EXPECT_FALSE(ProgramOfUninstallString(" /x"));
    EXPECT_EQ(FolderOfProgramPath("C:\\Program Files\\KVLO\\unins000.exe"),
              "C:\\Program Files\\KVLO\\");
    EXPECT_EQ(FolderOfProgramPath("D:unins.exe"), "D:");
    EXPECT_FALSE(FolderOfProgramPath("unins.exe"));
#ifndef _WIN32
    EXPECT_EQ(LegacyInitialFolder(), "");
#endif
}

} // namespace
} // namespace mvr
