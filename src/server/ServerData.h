#pragma once

// What the price server answers from: the tables of a data folder with their
// lookups, the search, the catalogue contents and the bars of an instrument.
// The queries are plain questions with plain answers; how an answer travels
// is for the request handlers. All queries may be called from many threads at
// once: the tables never change after opening, and the bars are read on
// first use through a thread-safe bounded cache.

#include "server/BarStore.h"
#include "server/DataError.h"
#include "server/InstrumentSearch.h"
#include "server/PriceBars.h"
#include "server/ServerModel.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mvr {

struct AccountAnswer {
    // The result code of the login or account check: the account's positive
    // number when it is valid, its state's code otherwise, -2 for an unknown
    // account or a wrong password.
    std::int32_t result = -2;
    // Set whenever account and password match, also for accounts that are not
    // valid (the message state brings its text).
    const ServerAccount* account = nullptr;
};

enum class BarStatus {
    Ok,
    UnknownInstrument,
    InvalidInterval, // an intraday interval below one minute
    DataError,       // the bar file is broken; `error` says how
};

template <class Bar>
struct BarAnswer {
    BarStatus status = BarStatus::Ok;
    int decimals = 0; // the instrument's decimal places; prices are units of the last one
    std::vector<Bar> bars;
    std::string error;
};

class CServerData {
public:
    // Reads and checks the tables of `folder`; nothing (with the error) when
    // the folder is wrong. `warnings` receives what is odd but usable.
    static std::unique_ptr<CServerData> Open(const std::string& folder, DataError* error,
                                             std::vector<std::string>* warnings = nullptr);

    CServerData(const CServerData&) = delete;
    CServerData& operator=(const CServerData&) = delete;

    const std::string& Folder() const { return folder_; }
    const ServerTables& Tables() const { return tables_; }
    const ServerSettings& Settings() const { return tables_.settings; }

    AccountAnswer Login(std::string_view account, std::string_view password) const;
    AccountAnswer CheckAccount(std::string_view account, std::string_view password) const;
    // The valid account whose account check result or login number this is.
    const ServerAccount* AccountByCheckNumber(std::int32_t checkNumber) const;
    const ServerAccount* AccountByLoginNumber(std::int32_t loginNumber) const;

    const ServerInstrument* InstrumentBySinCode(std::int32_t sinCode) const;
    // Exact text, letter case included.
    const ServerInstrument* InstrumentBySymbol(std::string_view symbol) const;
    // By the instrument's own legacy number or a further translation.
    const ServerInstrument* InstrumentByLegacyNumber(std::int32_t legacyNumber) const;

    const Catalogue* FindCatalogue(std::int32_t number) const;
    // The members in list order, repeats included.
    std::vector<const ServerInstrument*> CatalogueMembers(const Catalogue& catalogue) const;

    SearchResult Search(const SearchQuery& query) const;

    // Daily bars from firstDay to lastDay (day numbers, both included).
    BarAnswer<DailyBar> DailyBars(std::int32_t sinCode, std::int32_t firstDay,
                                  std::int32_t lastDay) const;
    // The 1-minute bars of the days firstDay to lastDay, aggregated to bars of
    // `intervalMinutes` on the grid of the instrument's exchange session.
    BarAnswer<IntradayBar> IntradayBars(std::int32_t sinCode, std::int32_t firstDay,
                                        std::int32_t lastDay, int intervalMinutes) const;

    // No bar after this day number is served from now on.
    void ServeBarsUntil(std::int32_t lastDay) { lastServedDay_ = lastDay; }

    CacheStatistics BarCacheStatistics() const { return bars_.Statistics(); }

private:
    CServerData(std::string folder, ServerTables tables);

    AccountAnswer Authenticate(std::string_view account, std::string_view password,
                               bool login) const;
    template <class Bar>
    BarAnswer<Bar> Series(BarKind kind, std::int32_t sinCode,
                          std::shared_ptr<const BarSeries>* series) const;

    std::string folder_;
    ServerTables tables_;
    std::unordered_map<std::string_view, const ServerAccount*> accounts_;
    std::unordered_map<std::int32_t, const ServerAccount*> byCheckNumber_;
    std::unordered_map<std::int32_t, const ServerAccount*> byLoginNumber_;
    std::unordered_map<std::int32_t, const ServerInstrument*> bySinCode_;
    std::unordered_map<std::string_view, const ServerInstrument*> bySymbol_;
    std::unordered_map<std::int32_t, const ServerInstrument*> byLegacyNumber_;
    std::unordered_map<std::int32_t, const Catalogue*> catalogues_;
    std::unordered_map<std::int32_t, std::int32_t> sessionStarts_; // exchange -> seconds
    CInstrumentSearch search_;
    mutable CBarStore bars_;
    std::int32_t lastServedDay_ = std::numeric_limits<std::int32_t>::max();
};

} // namespace mvr
