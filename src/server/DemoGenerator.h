#pragma once

// The demo data set of the price server: reference tables, accounts in every
// state, a catalogue tree, any number of made-up instruments with daily
// histories over any number of years and 1-minute bars for the last days of
// some of them. The same options give the same folder byte for byte on every
// platform: everything comes from integer random streams of the seed, one
// stream per instrument, so the histories can be made in parallel.

#include "server/DemoPriceWalk.h"
#include "server/ServerModel.h"

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

struct DemoOptions {
    static constexpr std::int32_t kMinInstruments = 100; // the largest catalogue has 100
    static constexpr std::int32_t kMaxInstruments = 100000;
    static constexpr std::int32_t kDefaultInstruments = 500;
    static constexpr std::int32_t kMinYears = 1;
    static constexpr std::int32_t kMaxYears = 100;
    static constexpr std::int32_t kDefaultYears = 10;
    static constexpr std::uint64_t kDefaultSeed = 1;

    std::int32_t instruments = kDefaultInstruments;
    std::int32_t years = kDefaultYears;
    std::uint64_t seed = kDefaultSeed;
    std::int32_t lastDay = 0; // day number of the last day with prices
};

// The account that the demo documents for logging in.
inline constexpr std::string_view kDemoAccount = "DEMO";
inline constexpr std::string_view kDemoPassword = "DEMO";
// A share listed twice, on Xetra and in Frankfurt, at the end of the
// instruments, and the catalogue of just these two. The symbols agree in the
// 8 characters that an export directory stores.
inline constexpr std::array<std::string_view, 2> kDemoDualListingSymbols = {"MVRDUAL1",
                                                                            "MVRDUAL1F"};
inline constexpr std::int32_t kDemoDualListingCatalogue = 9;
// Business days with 1-minute bars at the end of the histories.
inline constexpr std::size_t kDemoMinuteDays = 5;

struct DemoSummary {
    std::size_t instruments = 0;
    std::uint64_t dailyBars = 0;
    std::size_t intradayInstruments = 0;
    std::uint64_t minuteBars = 0;
};

class CDemoGenerator {
public:
    // Options within the limits above; lastDay must be set.
    explicit CDemoGenerator(const DemoOptions& options);

    const ServerTables& Tables() const { return tables_; }
    const std::vector<std::int32_t>& BusinessDays() const { return days_; }

    // The history of the instrument at `index` of the instruments table.
    DemoHistory History(std::size_t index) const;

    // Writes the whole data set into `folder`, which must be missing or empty.
    [[nodiscard]] bool Write(const std::string& folder, DemoSummary* summary, std::string* error) const;

private:
    void BuildReferenceTables();
    void BuildInstruments();
    void BuildCatalogues();
    void AddDualListing(CDemoRandom& random, std::int32_t lastSinCode,
                        std::set<std::string>& isins);

    DemoOptions options_;
    std::vector<std::int32_t> days_;
    ServerTables tables_;
    std::vector<DemoPricePlan> plans_; // per instrument
    std::vector<int> sectors_;         // per instrument; -1 when not a share
};

} // namespace mvr
