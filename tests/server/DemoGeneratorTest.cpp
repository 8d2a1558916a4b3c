#include "server/DemoGenerator.h"

#include "core/formats/DayNumber.h"
#include "server/DataFolderCheck.h"
#include "server/DemoRandom.h"
#include "server/FieldText.h"
#include "server/Isin.h"
#include "server/MinuteBarAggregation.h"
#include "server/ServerData.h"
#include "support/TempDir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <span>

namespace mvr {
namespace {

using test::TempDir;

DemoOptions Options(std::int32_t instruments, std::int32_t years, std::uint64_t seed = 7) {
    DemoOptions options;
    options.instruments = instruments;
    options.years = years;
    options.seed = seed;
    options.lastDay = *ParseIsoDate("2025-06-13");
    return options;
}

// Every file of a folder by its relative path.
std::map<std::string, std::vector<std::uint8_t>> FolderContents(const std::string& folder) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[std::filesystem::relative(entry.path(), folder).generic_string()] =
                test::ReadBytes(entry.path().string());
        }
    }
    return files;
}

std::uint64_t Fingerprint(const std::map<std::string, std::vector<std::uint8_t>>& files) {
    std::uint64_t hash = 0xCBF29CE484222325ULL; // FNV-1a
    auto add = [&](std::uint8_t byte) { hash = (hash ^ byte) * 0x100000001B3ULL; };
    for (const auto& [name, bytes] : files) {
        for (char c : name) {
            add(static_cast<std::uint8_t>(c));
        }
        for (std::uint8_t byte : bytes) {
            add(byte);
        }
    }
    return hash;
}

TEST(DemoRandomTest, SequencesDependOnlyOnSeedAndStream) {
    CDemoRandom a(5);
    CDemoRandom b(5);
    CDemoRandom c(6);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const std::uint64_t value = a.Next();
        EXPECT_EQ(value, b.Next());
        differs = differs || value != c.Next();
    }
    EXPECT_TRUE(differs);
    EXPECT_NE(CDemoRandom::Stream(5, 1).Next(), CDemoRandom::Stream(5, 2).Next());
    EXPECT_EQ(CDemoRandom::Stream(5, 1).Next(), CDemoRandom::Stream(5, 1).Next());
}

TEST(DemoRandomTest, RangesAreInclusiveAndFullyCovered) {
    CDemoRandom random(1);
    std::set<std::int64_t> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::int64_t value = random.Between(-3, 3);
        ASSERT_GE(value, -3);
        ASSERT_LE(value, 3);
        seen.insert(value);
        ASSERT_LT(random.Below(7), 7u);
        const std::int64_t noise = random.Noise(100);
        ASSERT_LE(std::abs(noise), 4 * 87);
    }
    EXPECT_EQ(seen.size(), 7u);
}

TEST(DemoCalendarTest, BusinessDaysSkipWeekendsAndHolidays) {
    const auto days = DemoBusinessDays(*ParseIsoDate("2024-12-23"), *ParseIsoDate("2025-01-03"));
    std::vector<std::string> texts;
    for (std::int32_t day : days) {
        texts.push_back(FormatIsoDate(day));
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"2024-12-23", "2024-12-24", "2024-12-27", "2024-12-30",
                                        "2024-12-31", "2025-01-02", "2025-01-03"}));
}

TEST(DemoGeneratorTest, TheSameOptionsWriteTheSameBytes) {
    TempDir first;
    TempDir second;
    TempDir otherSeed;
    DemoSummary summary;
    std::string error;
    ASSERT_TRUE(CDemoGenerator(Options(120, 2)).Write(first.Path(), &summary, &error)) << error;
    ASSERT_TRUE(CDemoGenerator(Options(120, 2)).Write(second.Path(), &summary, &error)) << error;
    ASSERT_TRUE(CDemoGenerator(Options(120, 2, 8)).Write(otherSeed.Path(), &summary, &error));
    const auto files = FolderContents(first.Path());
    // One daily file per instrument: the 120 and the dual listing's two.
    EXPECT_EQ(files.size(), 13u + 122u + summary.intradayInstruments);
    EXPECT_TRUE(files == FolderContents(second.Path()));
    EXPECT_FALSE(files.at("instruments.csv") ==
                 FolderContents(otherSeed.Path()).at("instruments.csv"));
}

// Pins the demo data itself: the generator uses integer arithmetic only, so
// this holds on every platform. Change it only when the data is meant to change.
TEST(DemoGeneratorTest, AFixedSeedGivesAFixedDataSet) {
    TempDir folder;
    DemoSummary summary;
    std::string error;
    DemoOptions options = Options(100, 1, 1);
    options.lastDay = *ParseIsoDate("2024-12-31");
    ASSERT_TRUE(CDemoGenerator(options).Write(folder.Path(), &summary, &error)) << error;
    EXPECT_EQ(Fingerprint(FolderContents(folder.Path())), 0xE462B3C8499F4F02ULL);
}

TEST(DemoGeneratorTest, RefusesAFolderThatIsNotEmpty) {
    TempDir folder;
    test::WriteBytes(folder.File("mine.txt"), {1, 2, 3});
    DemoSummary summary;
    std::string error;
    EXPECT_FALSE(CDemoGenerator(Options(100, 1)).Write(folder.Path(), &summary, &error));
    EXPECT_NE(error.find("is not empty"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(folder.File("mine.txt")), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(DemoGeneratorTest, TheWrittenFolderChecksCleanAndReadsBackAsGenerated) {
    TempDir folder;
    const CDemoGenerator generator(Options(150, 2));
    DemoSummary summary;
    std::string error;
    ASSERT_TRUE(generator.Write(folder.Path(), &summary, &error)) << error;
    const DataFolderReport report = CheckDataFolder(folder.Path());
    ASSERT_FALSE(report.error) << report.error->Text();
    EXPECT_TRUE(report.warnings.empty());
    EXPECT_EQ(report.tables, generator.Tables());
    EXPECT_EQ(report.daily.files, 152u);
    EXPECT_EQ(report.daily.bars, summary.dailyBars);
    EXPECT_EQ(report.intraday.files, summary.intradayInstruments);
    EXPECT_EQ(report.intraday.bars, summary.minuteBars);
    EXPECT_EQ(report.daily.lastDay, *ParseIsoDate("2025-06-13"));

    DataError openError;
    const auto data = CServerData::Open(folder.Path(), &openError);
    ASSERT_TRUE(data) << openError.Text();
    const AccountAnswer demo = data->Login(kDemoAccount, kDemoPassword);
    EXPECT_GE(demo.result, 1);
    EXPECT_GE(data->CheckAccount(kDemoAccount, kDemoPassword).result, 1);
}

TEST(DemoGeneratorTest, InstrumentsHaveUniqueShortSymbolsAndValidIsins) {
    const CDemoGenerator generator(Options(3000, 1));
    const ServerTables& tables = generator.Tables();
    std::set<std::string> symbols;
    std::set<std::string> names;
    std::set<std::int32_t> sinCodes;
    std::set<std::int32_t> types;
    std::set<std::int32_t> exchanges;
    std::set<int> decimals;
    // The dual listing at the end is made long on purpose.
    ASSERT_EQ(tables.instruments.size(), 3002u);
    for (const ServerInstrument& instrument :
         std::span(tables.instruments).first(tables.instruments.size() - 2)) {
        EXPECT_TRUE(symbols.insert(instrument.symbol).second) << instrument.symbol;
        EXPECT_TRUE(names.insert(instrument.name).second) << instrument.name;
        EXPECT_TRUE(sinCodes.insert(instrument.sinCode).second);
        EXPECT_GE(instrument.symbol.size(), 1u);
        EXPECT_LE(instrument.symbol.size(), 8u) << instrument.symbol;
        for (char c : instrument.symbol) {
            EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) << instrument.symbol;
        }
        EXPECT_LE(instrument.name.size(), kMaxInstrumentNameChars);
        const bool currency = instrument.securityType == 6;
        EXPECT_EQ(instrument.isin.empty(), currency) << instrument.name;
        if (!currency) {
            EXPECT_TRUE(IsValidIsin(instrument.isin)) << instrument.isin;
        }
        types.insert(instrument.securityType);
        exchanges.insert(instrument.exchange);
        decimals.insert(instrument.decimals);
    }
    EXPECT_EQ(types.size(), tables.securityTypes.size());
    EXPECT_EQ(exchanges.size(), tables.exchanges.size());
    EXPECT_GE(decimals.size(), 4u);
    EXPECT_GE(tables.legacyTranslations.size(), 30u);
}

TEST(DemoGeneratorTest, CataloguesAccountsAndTree) {
    const CDemoGenerator generator(Options(100, 1));
    const ServerTables& tables = generator.Tables();
    ASSERT_GE(tables.catalogues.size(), 5u);
    const Catalogue& hundred = tables.catalogues[0];
    EXPECT_EQ(hundred.members.size(), 100u);
    EXPECT_EQ(std::set<std::int32_t>(hundred.members.begin(), hundred.members.end()).size(), 100u);
    const Catalogue& watch = tables.catalogues[4];
    EXPECT_EQ(watch.members.size(), 120u);
    EXPECT_EQ(std::set<std::int32_t>(watch.members.begin(), watch.members.end()).size(), 100u);
    const Catalogue& all = tables.catalogues[7];
    EXPECT_EQ(all.number, 8);
    EXPECT_EQ(all.members.size(), tables.instruments.size());

    std::set<AccountState> states;
    for (const ServerAccount& account : tables.accounts) {
        states.insert(account.state);
    }
    EXPECT_EQ(states.size(), 6u);

    std::set<std::int32_t> groups;
    for (const CatalogueGroup& group : tables.catalogueGroups) {
        groups.insert(group.id);
    }
    std::set<std::int32_t> shown;
    for (const CatalogueTreeEntry& entry : tables.catalogueTree) {
        EXPECT_TRUE(entry.parent == kTreeTop || groups.contains(entry.parent));
        if (entry.kind == 1) {
            shown.insert(entry.id);
        }
    }
    EXPECT_EQ(shown.size(), tables.catalogues.size());
}

// One share on two exchanges whose symbols agree in the 8 characters an
// export directory keeps: its two listings come last, with prices of their
// own, and join no catalogue but their own and the one of all instruments.
TEST(DemoGeneratorTest, ADualListingWhoseSymbolsShareTheirStoredForm) {
    const CDemoGenerator generator(Options(100, 1));
    const ServerTables& tables = generator.Tables();
    ASSERT_EQ(tables.instruments.size(), 102u);
    const ServerInstrument& xetra = tables.instruments[100];
    const ServerInstrument& frankfurt = tables.instruments[101];
    EXPECT_EQ(xetra.symbol, kDemoDualListingSymbols[0]);
    EXPECT_EQ(frankfurt.symbol, kDemoDualListingSymbols[1]);
    EXPECT_EQ(xetra.symbol.size(), 8u);
    EXPECT_EQ(frankfurt.symbol.substr(0, 8), xetra.symbol);
    EXPECT_EQ(xetra.isin, frankfurt.isin);
    EXPECT_NE(xetra.exchange, frankfurt.exchange);
    EXPECT_NE(generator.History(100).daily, generator.History(101).daily);

    for (const Catalogue& catalogue : tables.catalogues) {
        const bool holdsPair = std::find(catalogue.members.begin(), catalogue.members.end(),
                                         xetra.sinCode) != catalogue.members.end();
        EXPECT_EQ(holdsPair, catalogue.number == 8 || catalogue.number == kDemoDualListingCatalogue)
            << catalogue.number;
    }
    const Catalogue& dual = tables.catalogues.back();
    EXPECT_EQ(dual.number, kDemoDualListingCatalogue);
    EXPECT_EQ(dual.members, (std::vector<std::int32_t>{xetra.sinCode, frankfurt.sinCode}));
}

TEST(DemoGeneratorTest, HistoriesAreSoundWithSplitsGapsAndMatchingMinuteBars) {
    const CDemoGenerator generator(Options(400, 3));
    const ServerTables& tables = generator.Tables();
    const auto& days = generator.BusinessDays();
    const std::set<std::int32_t> businessDays(days.begin(), days.end());
    const std::set<std::int32_t> minuteDays(days.end() - kDemoMinuteDays, days.end());
    int splits = 0;
    int halts = 0;
    int overnightGaps = 0;
    std::size_t withMinutes = 0;
    for (std::size_t i = 0; i < tables.instruments.size(); ++i) {
        const ServerInstrument& instrument = tables.instruments[i];
        const DemoHistory history = generator.History(i);
        ASSERT_FALSE(history.daily.empty());
        EXPECT_EQ(history.daily.back().day, days.back());
        const bool noVolume = instrument.securityType == 4 || instrument.securityType == 6;
        for (std::size_t b = 0; b < history.daily.size(); ++b) {
            const DailyBar& bar = history.daily[b];
            ASSERT_TRUE(HasSoundPrices(bar)) << instrument.symbol << " " << FormatIsoDate(bar.day);
            ASSERT_TRUE(businessDays.contains(bar.day));
            ASSERT_GE(bar.volume, 0);
            EXPECT_EQ(bar.volume == 0, noVolume) << instrument.symbol;
            if (b == 0) {
                continue;
            }
            const DailyBar& before = history.daily[b - 1];
            ASSERT_LT(before.day, bar.day);
            splits += bar.open * 10 < before.close * 6 && instrument.securityType == 1;
            halts += bar.day - before.day > 10;
            overnightGaps += std::abs(bar.open - before.close) * 100 > before.close * 4;
        }
        if (history.minutes.empty()) {
            continue;
        }
        ++withMinutes;
        std::set<std::int32_t> daysWithMinutes;
        for (const IntradayBar& minute : history.minutes) {
            ASSERT_TRUE(HasSoundPrices(minute));
            daysWithMinutes.insert(minute.day);
        }
        EXPECT_EQ(daysWithMinutes, minuteDays);
        // The daily bar of a day with minutes is made of them.
        const auto dayBars = AggregateMinuteBars(history.minutes, kMaxIntervalMinutes, 0);
        ASSERT_EQ(dayBars.size(), kDemoMinuteDays);
        for (std::size_t d = 0; d < kDemoMinuteDays; ++d) {
            const DailyBar& daily = history.daily[history.daily.size() - kDemoMinuteDays + d];
            const IntradayBar& made = dayBars[d];
            EXPECT_EQ((DailyBar{made.day, made.open, made.high, made.low, made.close, made.volume}),
                      daily);
        }
    }
    EXPECT_EQ(withMinutes, 40u);
    EXPECT_GT(splits, 3);
    EXPECT_GT(halts, 3);
    EXPECT_GT(overnightGaps, 50);
}

} // namespace
} // namespace mvr
