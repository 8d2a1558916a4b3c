#include "server/DemoGenerator.h"

#include "core/formats/DayNumber.h"
#include "server/DataFolderWriter.h"
#include "server/DemoNames.h"
#include "server/Isin.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

namespace mvr {

namespace {

enum SecurityType : std::int32_t {
    kShares = 1,
    kBonds = 2,
    kFunds = 3,
    kIndices = 4,
    kWarrants = 5,
    kCurrencies = 6,
    kCertificates = 7,
};

struct DemoExchange {
    std::int32_t number;
    std::string_view name;
    bool flag;
    std::int32_t open; // session, seconds of the day
    std::int32_t close;
    std::string_view country; // ISIN prefix of its home market
    std::string_view currency;
};

constexpr std::int32_t Hours(int hours, int minutes = 0) {
    return hours * 3600 + minutes * 60;
}

// Names of several forms: a short code, blanks and a long name; one word;
// one word followed by blanks only.
constexpr std::array<DemoExchange, 9> kExchanges = {{
    {1, "XETR Xetra", true, Hours(9), Hours(17, 30), "DE", "EUR"},
    {2, "FRA   Frankfurt Stock Exchange", false, Hours(8), Hours(22), "DE", "EUR"},
    {3, "NYSE New York Stock Exchange", true, Hours(9, 30), Hours(16), "US", "USD"},
    {4, "NASDAQ", true, Hours(9, 30), Hours(16), "US", "USD"},
    {5, "LSE London Stock Exchange", false, Hours(8), Hours(16, 30), "GB", "GBP"},
    {6, "SWX SIX Swiss Exchange", false, Hours(9), Hours(17, 30), "CH", "CHF"},
    {7, "EPA Euronext Paris", false, Hours(9), Hours(17, 30), "FR", "EUR"},
    {8, "FX Foreign Exchange", true, Hours(0), Hours(24), "", ""},
    {9, "OTC  ", false, Hours(9), Hours(17), "DE", "EUR"},
}};
constexpr std::int32_t kFrankfurt = 2;
constexpr std::int32_t kLondon = 5;
constexpr std::int32_t kForeignExchange = 8;
constexpr std::int32_t kOverTheCounter = 9;

// Exchange numbers of shares, each as often as it is likely.
constexpr std::array<std::int32_t, 20> kShareExchanges = {1, 1, 1, 1, 1, 1, 2, 2, 3, 3,
                                                          3, 3, 4, 4, 4, 5, 5, 6, 7, 9};
constexpr std::array<std::int32_t, 5> kIndexExchanges = {1, 3, 5, 6, 7};
constexpr std::array<std::string_view, 7> kForeignCountries = {"NL", "DE", "US", "GB",
                                                               "CH", "FR", "AT"};

struct CurrencyPair {
    std::string_view base;
    std::string_view quote;
    int decimals;
    std::int32_t startUnits;
};

constexpr std::array<CurrencyPair, 12> kCurrencyPairs = {{
    {"EUR", "USD", 4, 10850},
    {"EUR", "GBP", 4, 8600},
    {"EUR", "CHF", 4, 9700},
    {"EUR", "JPY", 2, 15800},
    {"GBP", "USD", 4, 12600},
    {"USD", "CHF", 4, 8900},
    {"USD", "JPY", 2, 14900},
    {"AUD", "USD", 4, 6600},
    {"USD", "CAD", 4, 13600},
    {"NZD", "USD", 4, 6100},
    {"EUR", "SEK", 4, 114000},
    {"EUR", "NOK", 4, 115000},
}};

std::string_view CurrencyName(std::string_view code) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kNames = {{
        {"EUR", "Euro"},
        {"USD", "US Dollar"},
        {"GBP", "British Pound"},
        {"CHF", "Swiss Franc"},
        {"JPY", "Japanese Yen"},
        {"AUD", "Australian Dollar"},
        {"CAD", "Canadian Dollar"},
        {"NZD", "New Zealand Dollar"},
        {"SEK", "Swedish Krona"},
        {"NOK", "Norwegian Krone"},
    }};
    for (const auto& [candidate, name] : kNames) {
        if (candidate == code) {
            return name;
        }
    }
    return code;
}

const DemoExchange& ExchangeOf(std::int32_t number) {
    return kExchanges[static_cast<std::size_t>(number - 1)];
}

std::int32_t PowerOfTen(std::int64_t exponent) {
    std::int32_t value = 1;
    while (exponent-- > 0) {
        value *= 10;
    }
    return value;
}

// A volume of one to nine times a power of ten in [low, high].
std::int32_t RandomVolume(CDemoRandom& random, int low, int high) {
    return static_cast<std::int32_t>(random.Between(1, 9)) * PowerOfTen(random.Between(low, high));
}

std::int32_t PickSecurityType(CDemoRandom& random, bool currencyLeft) {
    const int roll = static_cast<int>(random.Below(100));
    if (roll < 70) {
        return kShares;
    }
    if (roll < 78) {
        return kFunds;
    }
    if (roll < 85) {
        return kBonds;
    }
    if (roll < 88) {
        return kIndices;
    }
    if (roll < 93) {
        return kWarrants;
    }
    if (roll < 98) {
        return kCertificates;
    }
    return currencyLeft ? kCurrencies : kShares;
}

// Walk parameters per security type (and decimal places): ranges of the start
// price in units, the daily deviation and drift in millionths, and the powers
// of ten of the volume (none when volumeLow is -1). Prices start near typical levels.
struct WalkRanges {
    std::int32_t type;
    int decimals;
    std::int64_t startLow, startHigh;
    std::int64_t volatilityLow, volatilityHigh;
    std::int64_t driftLow, driftHigh;
    int volumeLow, volumeHigh;
};

constexpr std::array<WalkRanges, 8> kWalkRanges = {{
    {kShares, 2, 500, 30000, 12000, 30000, -300, 600, 3, 6},
    {kShares, 3, 5000, 300000, 12000, 30000, -300, 600, 3, 6},
    {kShares, 0, 200, 5000, 12000, 30000, -300, 600, 3, 6},
    {kBonds, 3, 95000, 105000, 1500, 4000, -20, 20, 1, 3},
    {kFunds, 2, 2000, 20000, 6000, 12000, -100, 300, 2, 4},
    {kIndices, 2, 100000, 1000000, 8000, 14000, -100, 400, -1, -1},
    {kWarrants, 3, 100, 9000, 30000, 60000, -1500, 500, 3, 5},
    {kCertificates, 2, 1000, 15000, 6000, 15000, -200, 300, 2, 4},
}};

DemoPricePlan PlanFor(std::int32_t type, int* decimals, CDemoRandom& random) {
    if (type == kShares) {
        *decimals = random.Percent(5) ? 3 : random.Percent(3) ? 0 : 2;
    }
    const WalkRanges* ranges = &kWalkRanges.back();
    for (const WalkRanges& candidate : kWalkRanges) {
        if (candidate.type == type && (type != kShares || candidate.decimals == *decimals)) {
            ranges = &candidate;
            break;
        }
    }
    *decimals = ranges->decimals;
    DemoPricePlan plan;
    plan.startUnits =
        static_cast<std::int32_t>(random.Between(ranges->startLow, ranges->startHigh));
    plan.volatilityPpm =
        static_cast<std::int32_t>(random.Between(ranges->volatilityLow, ranges->volatilityHigh));
    plan.driftPpm = static_cast<std::int32_t>(random.Between(ranges->driftLow, ranges->driftHigh));
    if (ranges->volumeLow >= 0) {
        plan.baseVolume = RandomVolume(random, ranges->volumeLow, ranges->volumeHigh);
    }
    plan.splitsWhenExpensive = type == kShares;
    return plan;
}

std::string NameOf(std::int32_t type, std::string_view stem, int sector, std::string_view country,
                   int lastYear, CDemoRandom& random) {
    switch (type) {
    case kShares:
        return MakeDemoShareName(stem, static_cast<DemoSector>(sector), country, random);
    case kFunds:
        return MakeDemoFundName(stem, random);
    case kBonds:
        return MakeDemoBondName(stem, lastYear, random);
    case kIndices:
        return MakeDemoIndexName(stem, random);
    case kWarrants:
        return MakeDemoWarrantName(stem, random);
    default:
        return MakeDemoCertificateName(stem, random);
    }
}

// A later listing for some instruments, and a trading halt or a split for some shares.
void ScheduleEvents(std::int32_t type, std::size_t dayCount, DemoPricePlan* plan,
                    CDemoRandom& random) {
    const bool listedLater = type != kIndices && type != kCurrencies;
    if (listedLater && dayCount > 260 && random.Percent(20)) {
        plan->firstDayIndex = static_cast<std::size_t>(random.Below(dayCount - 130));
    }
    const std::size_t first = plan->firstDayIndex;
    if (type == kShares && first + 100 < dayCount && random.Percent(4)) {
        plan->haltStart =
            first + 20 + static_cast<std::size_t>(random.Below(dayCount - first - 100));
        plan->haltLength = static_cast<std::size_t>(random.Between(5, 40));
    }
    if (type == kShares && first + 2 < dayCount && random.Percent(8)) {
        static constexpr std::array<int, 5> kRatios = {2, 2, 3, 4, 10};
        plan->splits.push_back(
            DemoSplit{first + 1 + static_cast<std::size_t>(random.Below(dayCount - first - 1)),
                      random.Pick(std::span<const int>(kRatios))});
    }
}

std::string MakeIsin(std::string_view country, CDemoRandom& random) {
    std::string isin(country);
    if (country == "DE") {
        isin += "000"; // German ISINs carry the six-character national number
    }
    while (isin.size() < 11) {
        isin += static_cast<char>('0' + random.Below(10));
    }
    return isin + *IsinCheckDigit(isin);
}

std::int32_t YearsBefore(std::int32_t day, std::int32_t years) {
    DATUM date = DayNumberToDatum(day);
    date.year = static_cast<std::uint16_t>(date.year - years);
    if (date.month == 2 && date.day == 29 && !IsLeapYear(date.year)) {
        date.day = 28;
    }
    return DatumToDayNumber(date);
}

// Keeps texts unique: the first free one of the candidates `make(attempt)`
// gives, else what `fallback()` gives, which must be free by construction.
template <class Make, class Fallback>
std::string FirstFree(std::set<std::string>& taken, int attempts, Make make, Fallback fallback) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        std::string candidate = make(attempt);
        if (!candidate.empty() && taken.insert(candidate).second) {
            return candidate;
        }
    }
    std::string last = fallback();
    taken.insert(last);
    return last;
}

} // namespace

CDemoGenerator::CDemoGenerator(const DemoOptions& options)
    : options_(options),
      days_(DemoBusinessDays(YearsBefore(options.lastDay, options.years) + 1, options.lastDay)) {
    BuildReferenceTables();
    BuildInstruments();
    BuildCatalogues();
}

void CDemoGenerator::BuildReferenceTables() {
    tables_.settings = ServerSettings{};
    ClientInformation& info = tables_.clientInfo;
    info.message = "Welcome to the Marvane Kavolo demo price server.\n"
                   "All prices are made up.";
    info.infoAddress = "https://www.example.com/marvane-kavolo/update";
    info.linkCaption = "What's new";

    auto account = [&](std::string_view name, std::string_view password, AccountState state) {
        ServerAccount a;
        a.account = name;
        a.password = password;
        a.state = state;
        if (state == AccountState::Valid) {
            const auto n = static_cast<std::int32_t>(tables_.accounts.size());
            a.loginResult = 1 + n;
            a.checkResult = 1001 + n;
            a.loginNumber = 5001 + n;
        }
        tables_.accounts.push_back(a);
        return &tables_.accounts.back();
    };
    account(kDemoAccount, kDemoPassword, AccountState::Valid);
    account("TRADER", "SECRET", AccountState::Valid)->flagWord = 0x20000;
    account("BLOCKED", "DEMO", AccountState::Blocked);
    account("INVALID", "DEMO", AccountState::Invalid);
    account("MESSAGE", "DEMO", AccountState::ServerMessage)->message =
        "Your subscription has ended. Please renew it to go on downloading prices.";
    account("NOREALTIME", "DEMO", AccountState::RealtimeUnavailable);
    account("DBERROR", "DEMO", AccountState::DatabaseError);

    tables_.securityTypes = {{kShares, "Shares"},
                             {kBonds, "Bonds"},
                             {kFunds, "Funds"},
                             {kIndices, "Indices"},
                             {kWarrants, "Warrants"},
                             {kCurrencies, "Currencies"},
                             {kCertificates, "Certificates"}};
    tables_.countries = {{276, "Germany"},     {840, "United States"}, {826, "United Kingdom"},
                         {756, "Switzerland"}, {250, "France"},        {528, "Netherlands"},
                         {40, "Austria"},      {380, "Italy"},         {724, "Spain"},
                         {392, "Japan"}};
    for (const DemoExchange& exchange : kExchanges) {
        tables_.exchanges.push_back(ServerExchange{exchange.number, std::string(exchange.name),
                                                   exchange.flag, exchange.open});
    }
    tables_.searchKinds = {
        {1, "Name", kSearchName, SearchMatch::Contains},
        {2, "Symbol", kSearchSymbol, SearchMatch::Prefix},
        {3, "ISIN", kSearchIsin, SearchMatch::Prefix},
        {4, "Name, symbol or ISIN", kSearchSymbol | kSearchName | kSearchIsin,
         SearchMatch::Contains},
    };
}

void CDemoGenerator::BuildInstruments() {
    CDemoRandom random = CDemoRandom::Stream(options_.seed, 0);
    const std::size_t dayCount = days_.size();
    const int lastYear = DayNumberToDatum(options_.lastDay).year;
    std::set<std::string> names;
    std::set<std::string> symbols;
    std::set<std::string> isins;
    std::size_t currencyPairs = 0;
    std::size_t minuteInstruments = 0;
    std::int32_t sinCode = 100000;
    const auto count = static_cast<std::size_t>(options_.instruments);
    for (std::size_t index = 0; index < count; ++index) {
        const std::int32_t type = PickSecurityType(random, currencyPairs < kCurrencyPairs.size());
        ServerInstrument instrument;
        sinCode += static_cast<std::int32_t>(random.Between(1, 9));
        instrument.sinCode = sinCode;
        instrument.securityType = type;
        // Most instruments were known to the predecessor, under numbers of its own.
        if (random.Percent(85)) {
            instrument.legacyNumber =
                200000 + static_cast<std::int32_t>(index * 5 + random.Below(5));
        }
        DemoPricePlan plan;
        int sector = -1;
        if (type == kCurrencies) {
            const CurrencyPair& pair = kCurrencyPairs[currencyPairs++];
            instrument.exchange = kForeignExchange;
            const std::string symbol = std::string(pair.base) + std::string(pair.quote);
            instrument.symbol = FirstFree(
                symbols, 1, [&](int) { return symbol; }, [&] { return symbol + "X"; });
            instrument.name = std::string(CurrencyName(pair.base)) + " / " +
                              std::string(CurrencyName(pair.quote));
            instrument.currency = pair.quote;
            instrument.decimals = pair.decimals;
            plan.startUnits = pair.startUnits;
            plan.volatilityPpm = static_cast<std::int32_t>(random.Between(3000, 7000));
            plan.driftPpm = static_cast<std::int32_t>(random.Between(-50, 50));
        } else {
            plan = PlanFor(type, &instrument.decimals, random);
            instrument.exchange =
                type == kShares    ? random.Pick(std::span<const std::int32_t>(kShareExchanges))
                : type == kIndices ? random.Pick(std::span<const std::int32_t>(kIndexExchanges))
                : type == kBonds   ? (random.Percent(50) ? kFrankfurt : kLondon)
                : type == kFunds   ? kFrankfurt
                                   : (random.Percent(70) ? kFrankfurt : kOverTheCounter);
            const DemoExchange& exchange = ExchangeOf(instrument.exchange);
            std::string country(exchange.country);
            if (type == kShares && random.Percent(10)) {
                country = random.Pick(std::span<const std::string_view>(kForeignCountries));
            }
            instrument.currency = exchange.currency;
            sector = static_cast<int>(random.Below(kDemoSectorCount));
            std::string stem;
            instrument.name = FirstFree(
                names, 50,
                [&](int) {
                    stem = MakeDemoStem(random);
                    return NameOf(type, stem, sector, country, lastYear, random);
                },
                [&] { return stem + " Holding " + std::to_string(index); });
            static constexpr char kKindLetters[] = {0, 0, 'B', 'F', 'X', 'W', 0, 'C'};
            instrument.symbol = FirstFree(
                symbols, 1000,
                [&](int attempt) {
                    return DemoSymbolCandidate(stem, kKindLetters[type], attempt, random);
                },
                [&] { return "S" + std::to_string(index); });
            instrument.isin = FirstFree(
                isins, 1000, [&](int) { return MakeIsin(country, random); },
                [] { return std::string(); });
            if (type != kShares) {
                sector = -1;
            }
        }
        const DemoExchange& exchange = ExchangeOf(instrument.exchange);
        plan.sessionOpen = exchange.open;
        plan.sessionClose = exchange.close;
        ScheduleEvents(type, dayCount, &plan, random);
        if (index % 10 == 0 && minuteInstruments < 200 && dayCount >= kDemoMinuteDays) {
            plan.minuteBarsFrom = dayCount - kDemoMinuteDays;
            ++minuteInstruments;
        }
        tables_.instruments.push_back(std::move(instrument));
        plans_.push_back(std::move(plan));
        sectors_.push_back(sector);
    }
    // Further old numbers that stand for instruments of today (merged or renamed ones).
    const std::size_t translations = std::max<std::size_t>(5, count / 100);
    for (std::size_t k = 0; k < translations; ++k) {
        tables_.legacyTranslations.push_back(
            LegacyTranslation{900000 + static_cast<std::int32_t>(k * 3 + random.Below(3)),
                              tables_.instruments[random.Below(count)].sinCode});
    }
    AddDualListing(random, sinCode, isins);
}

void CDemoGenerator::AddDualListing(CDemoRandom& random, std::int32_t lastSinCode,
                                    std::set<std::string>& isins) {
    // One share on Xetra and in Frankfurt. A directory stores 8 characters of
    // a symbol, so both listings would have one price file there: clients
    // must take the first and leave the second out.
    const std::string isin = FirstFree(
        isins, 1000, [&](int) { return MakeIsin("DE", random); }, [] { return std::string(); });
    const std::array<std::pair<std::int32_t, std::string_view>, 2> listings = {{
        {1, kDemoDualListingSymbols[0]},
        {kFrankfurt, kDemoDualListingSymbols[1]},
    }};
    for (const auto& [exchangeNumber, symbol] : listings) {
        ServerInstrument instrument;
        instrument.sinCode = ++lastSinCode;
        instrument.securityType = kShares;
        instrument.exchange = exchangeNumber;
        instrument.symbol = symbol;
        instrument.isin = isin;
        instrument.name = exchangeNumber == kFrankfurt ? "Marvane Dual Listing AG (Frankfurt)"
                                                       : "Marvane Dual Listing AG";
        const DemoExchange& exchange = ExchangeOf(exchangeNumber);
        instrument.currency = exchange.currency;
        // Prices of its own for each listing, so that a file holding the other's shows.
        DemoPricePlan plan = PlanFor(kShares, &instrument.decimals, random);
        plan.sessionOpen = exchange.open;
        plan.sessionClose = exchange.close;
        tables_.instruments.push_back(std::move(instrument));
        plans_.push_back(std::move(plan));
        sectors_.push_back(-1); // in no sector catalogue
    }
}

void CDemoGenerator::BuildCatalogues() {
    CDemoRandom random = CDemoRandom::Stream(options_.seed, 1);
    const auto& instruments = tables_.instruments;
    // The dual listing at the end joins only its own catalogue and the one of all.
    const auto generated = static_cast<std::size_t>(options_.instruments);
    auto collect = [&](auto wanted, std::size_t limit, std::size_t end) {
        std::vector<std::int32_t> members;
        for (std::size_t i = 0; i < end && members.size() < limit; ++i) {
            if (wanted(i)) {
                members.push_back(instruments[i].sinCode);
            }
        }
        return members;
    };
    auto isShare = [&](std::size_t i) { return instruments[i].securityType == kShares; };
    auto inSector = [&](DemoSector sector) {
        return [&, sector](std::size_t i) { return sectors_[i] == static_cast<int>(sector); };
    };

    // The hundred: shares first, filled up with other instruments when there are too few.
    std::vector<std::int32_t> hundred = collect(isShare, 100, generated);
    for (std::size_t i = 0; i < generated && hundred.size() < 100; ++i) {
        if (!isShare(i)) {
            hundred.push_back(instruments[i].sinCode);
        }
    }
    // A watch list of 120 entries: 100 instruments spread over the table, 20 of them twice.
    std::vector<std::int32_t> watch;
    for (std::size_t k = 0; k < 100; ++k) {
        watch.push_back(instruments[k * generated / 100].sinCode);
        if (k % 5 == 4) {
            watch.push_back(watch[random.Below(watch.size())]);
        }
    }
    tables_.catalogues = {
        {1, "MVR100", "Marvane 100", hundred},
        {2, "MVRTECH", "Marvane Technology",
         collect(inSector(DemoSector::Technology), 200, generated)},
        {3, "MVRFIN", "Marvane Financials",
         collect(inSector(DemoSector::Financials), 200, generated)},
        {4, "MVRUS", "Marvane United States",
         collect(
             [&](std::size_t i) {
                 return isShare(i) && ExchangeOf(instruments[i].exchange).country == "US";
             },
             200, generated)},
        {5, "WATCH120", "Watch list with repeats", watch},
        {6, "INTRADAY", "Instruments with intraday prices",
         collect([&](std::size_t i) { return plans_[i].minuteBarsFrom < days_.size(); }, 1000,
                 generated)},
        {7, "MVRIDX", "Indices and currencies",
         collect(
             [&](std::size_t i) {
                 return instruments[i].securityType == kIndices ||
                        instruments[i].securityType == kCurrencies;
             },
             1000, generated)},
        {8, "MVRALL", "All instruments",
         collect([](std::size_t) { return true; }, SIZE_MAX, instruments.size())},
        {kDemoDualListingCatalogue,
         "MVRDUAL",
         "Dual listing",
         {instruments[generated].sinCode, instruments[generated + 1].sinCode}},
    };
    tables_.catalogueGroups = {{10, "Indices"},
                               {20, "Sectors"},
                               {30, "Countries"},
                               {31, "United States"},
                               {40, "Watch lists"}};
    tables_.catalogueTree = {{10, kTreeTop, 0, 0}, {1, 10, 1, 0},
                             {7, 10, 1, 0},        {20, kTreeTop, 0, 0},
                             {2, 20, 1, 0},        {3, 20, 1, 0},
                             {30, kTreeTop, 0, 0}, {31, 30, 0, 0},
                             {4, 31, 1, 0},        {40, kTreeTop, 0, 0},
                             {5, 40, 1, 0},        {6, 40, 1, 0},
                             {8, 40, 1, 0},        {kDemoDualListingCatalogue, 40, 1, 0}};
}

DemoHistory CDemoGenerator::History(std::size_t index) const {
    CDemoRandom random = CDemoRandom::Stream(options_.seed, 100 + index);
    return GenerateDemoHistory(plans_[index], days_, random);
}

bool CDemoGenerator::Write(const std::string& folder, DemoSummary* summary,
                           std::string* error) const {
    std::error_code ec;
    if (std::filesystem::exists(folder, ec) && !std::filesystem::is_empty(folder, ec)) {
        *error = folder + " is not empty; choose a new folder or empty it first";
        return false;
    }
    const CDataFolderWriter writer(folder);
    std::string failed;
    if (!writer.WriteTables(tables_, &failed)) {
        *error = "cannot write " + failed;
        return false;
    }
    std::atomic<std::size_t> next{0};
    std::atomic<std::uint64_t> dailyBars{0};
    std::atomic<std::uint64_t> minuteBars{0};
    std::atomic<std::size_t> minuteInstruments{0};
    std::atomic<bool> stop{false};
    std::mutex errorMutex;
    auto work = [&] {
        for (std::size_t i = next++; i < tables_.instruments.size() && !stop; i = next++) {
            const ServerInstrument& instrument = tables_.instruments[i];
            const DemoHistory history = History(i);
            bool written =
                writer.WriteDailyBars(instrument.sinCode, instrument.decimals, history.daily);
            if (written && !history.minutes.empty()) {
                written = writer.WriteIntradayBars(instrument.sinCode, instrument.decimals,
                                                   history.minutes);
                ++minuteInstruments;
            }
            if (!written) {
                std::lock_guard lock(errorMutex);
                if (!stop.exchange(true)) {
                    *error = "cannot write the bars of " + std::to_string(instrument.sinCode) +
                             " in " + folder;
                }
                return;
            }
            dailyBars += history.daily.size();
            minuteBars += history.minutes.size();
        }
    };
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<std::jthread> workers;
    for (unsigned t = 1; t < threads; ++t) {
        workers.emplace_back(work);
    }
    work();
    workers.clear(); // joins
    if (stop) {
        return false;
    }
    *summary = DemoSummary{tables_.instruments.size(), dailyBars, minuteInstruments, minuteBars};
    return true;
}

} // namespace mvr
