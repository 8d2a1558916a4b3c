// A catalogue that lists one share twice (on Xetra and in Frankfurt) whose
// symbols agree in the 8 characters a directory stores: the second listing
// must never get a price file, neither when the directory is added nor at
// any update, and an update cut short must not mix the two histories.

#include "BatchToolFixture.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/Paths.h"
#include "server/DemoGenerator.h"

#include <cmath>
#include <set>

namespace mvr {
namespace {

using test::ToolRun;

const std::string kFirst(kDemoDualListingSymbols[0]);
const std::string kSecond(kDemoDualListingSymbols[1]);

// The two listings' bars as the fixture's demo data holds them.
struct Listings {
    Listings() {
        DemoOptions options; // as the fixture writes them
        options.instruments = DemoOptions::kMinInstruments;
        options.years = 2;
        options.lastDay = TodayDayNumber();
        const CDemoGenerator generator(options);
        const auto& instruments = generator.Tables().instruments;
        for (std::size_t i = 0; i < instruments.size(); ++i) {
            if (instruments[i].symbol == kFirst || instruments[i].symbol == kSecond) {
                const double unit = std::pow(10.0, -instruments[i].decimals);
                std::map<std::int32_t, double>& closes =
                    instruments[i].symbol == kFirst ? first : second;
                for (const DailyBar& bar : generator.History(i).daily) {
                    closes[bar.day] = bar.close * unit;
                }
            }
        }
    }
    std::map<std::int32_t, double> first;
    std::map<std::int32_t, double> second;
};

bool SameClose(double stored, double served) {
    // ASCII files may hold fewer decimals than the server gives.
    return std::abs(stored - served) <= std::max(0.006, served * 1e-4);
}

class DualListingTest : public test::BatchToolFixture {
protected:
    std::string AddDirectory(const std::string& name, int formatType) {
        const ToolRun added = RunTool({"--add-directory", Folder(name), std::to_string(formatType),
                                       std::to_string(kDemoDualListingCatalogue)});
        EXPECT_EQ(added.exitCode, 0) << added.err;
        return added.out + added.err;
    }

    // The directory lists the first listing alone, one price file holds
    // its bars and nothing but its bars, and no other price file exists.
    // The number of bars stored.
    std::size_t ExpectOnlyTheFirstListing(const std::string& name, int formatType) {
        const std::string folder = Folder(name) + "/";
        CExportDirectory index(formatType);
        EXPECT_TRUE(index.Open(folder, formatType)) << index.Problem();
        if (index.SymbolCount() != 1) {
            ADD_FAILURE() << name << " lists " << index.SymbolCount() << " symbols";
            return 0;
        }
        EXPECT_EQ(index.GetSymbol(0).symbol, kFirst);
        CExportDataFile file;
        file.BuildFileName(folder, index.GetSymbol(0), formatType);
        const std::set<std::string> expected = {
            formatType == kFormatMetaStock ? "EMASTER" : "mvrexp.mas",
            formatType == kFormatMetaStock ? "MASTER" : "", file.FilePath().substr(folder.size())};
        for (const auto& [fileName, bytes] : test::FolderContents(folder)) {
            EXPECT_TRUE(expected.contains(fileName)) << name << ": " << fileName;
        }
        if (!file.Read(folder, index.GetSymbol(0), formatType)) {
            return 0; // MetaStock keeps no file while there are no bars
        }
        std::size_t mismatches = 0;
        for (const PERIODE& bar : file.History()) {
            const auto served = listings_.first.find(bar.dayNumber);
            if (served == listings_.first.end() || !SameClose(bar.close, served->second)) {
                ++mismatches;
            }
        }
        EXPECT_EQ(mismatches, 0u) << name << ": bars that are not " << kFirst << "'s";
        return file.History().size();
    }

    Listings listings_;
};

TEST_F(DualListingTest, TheSecondListingGetsNoPriceFileAndEveryRunNamesIt) {
    // The listings really differ, so that a file holding the other's bars shows.
    std::size_t differentCloses = 0;
    for (const auto& [day, close] : listings_.first) {
        const auto other = listings_.second.find(day);
        differentCloses += other != listings_.second.end() && !SameClose(close, other->second);
    }
    ASSERT_GT(differentCloses, listings_.first.size() / 2);

    ServeOptions older = test::TestServeOptions();
    older.dataUntilDay = TodayDayNumber() - 30;
    StartServer(older);
    ASSERT_EQ(
        RunTool({"--set-account", std::string(kDemoAccount), std::string(kDemoPassword)}).exitCode,
        0);
    EXPECT_NE(AddDirectory("ascii", kFormatAsciiComma).find(kSecond + " ("), std::string::npos);
    EXPECT_NE(AddDirectory("ms", kFormatMetaStock).find(kSecond + " ("), std::string::npos);
    ExpectOnlyTheFirstListing("ascii", kFormatAsciiComma);

    const ToolRun first = RunTool({"-updateall"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_NE(first.out.find("  Symbols requested:      2\n"), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("  Symbols not added:      2\n"), std::string::npos) << first.out;
    for (const std::string& folder :
         {WithTrailingSeparator(Folder("ascii")), WithTrailingSeparator(Folder("ms"))}) {
        const std::string line = kSecond + " (Marvane Dual Listing AG (Frankfurt), ";
        const std::string why =
            ") not added to " + folder + ": its price file would be that of " + kFirst;
        const auto at = first.out.find(line);
        ASSERT_NE(at, std::string::npos) << first.out;
        EXPECT_NE(first.out.find(why, at), std::string::npos) << first.out;
        EXPECT_NE(first.err.find(why), std::string::npos) << first.err;
    }
    const std::size_t asciiBars = ExpectOnlyTheFirstListing("ascii", kFormatAsciiComma);
    const std::size_t msBars = ExpectOnlyTheFirstListing("ms", kFormatMetaStock);
    EXPECT_GT(asciiBars, 200u);
    EXPECT_EQ(msBars, asciiBars);

    StartServer();
    const ToolRun second = RunTool({"-updateall"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.out.find("  Bars changed:           0\n"), std::string::npos) << second.out;
    EXPECT_EQ(second.out.find("  Bars added:             0\n"), std::string::npos) << second.out;
    EXPECT_NE(second.out.find("  Symbols not added:      2\n"), std::string::npos) << second.out;
    EXPECT_GT(ExpectOnlyTheFirstListing("ascii", kFormatAsciiComma), asciiBars);
    EXPECT_GT(ExpectOnlyTheFirstListing("ms", kFormatMetaStock), msBars);
}

TEST_F(DualListingTest, AnUpdateCutShortMixesNoHistories) {
    ServeOptions older = test::TestServeOptions();
    older.dataUntilDay = TodayDayNumber() - 200;
    StartServer(older);
    Configure({{Folder("ascii"), std::to_string(kFormatAsciiComma),
                std::to_string(kDemoDualListingCatalogue)},
               {Folder("ms"), std::to_string(kFormatMetaStock),
                std::to_string(kDemoDualListingCatalogue)}});
    ASSERT_EQ(RunTool({"-updateall"}).exitCode, 0);

    // The answer to the price request breaks off in the middle of its bars.
    ServeOptions cut = test::TestServeOptions();
    cut.faults.closeAfterBytes = 1500;
    StartServer(cut);
    const ToolRun broken = RunTool({"-updateall"});
    EXPECT_EQ(broken.exitCode, 7) << broken.err;
    EXPECT_NE(broken.err.find("Loading Data ..."), std::string::npos) << broken.err;
    ExpectOnlyTheFirstListing("ascii", kFormatAsciiComma);
    ExpectOnlyTheFirstListing("ms", kFormatMetaStock);

    StartServer();
    ASSERT_EQ(RunTool({"-updateall"}).exitCode, 0);
    EXPECT_GT(ExpectOnlyTheFirstListing("ascii", kFormatAsciiComma), 400u);
    EXPECT_GT(ExpectOnlyTheFirstListing("ms", kFormatMetaStock), 400u);
}

} // namespace
} // namespace mvr
