#include "server/ServerData.h"

#include "server/DataFolderReader.h"
#include "server/MinuteBarAggregation.h"

#include <algorithm>

namespace mvr {

namespace {

template <class Map, class Key>
auto FindIn(const Map& map, const Key& key) -> typename Map::mapped_type {
    const auto it = map.find(key);
    return it == map.end() ? nullptr : it->second;
}

// The bars of [firstDay, lastDay] in a series sorted by day.
template <class Bar>
std::span<const Bar> DayRange(const std::vector<Bar>& bars, std::int32_t firstDay,
                              std::int32_t lastDay) {
    const auto first =
        std::lower_bound(bars.begin(), bars.end(), firstDay,
                         [](const Bar& bar, std::int32_t day) { return bar.day < day; });
    const auto last = std::upper_bound(
        first, bars.end(), lastDay, [](std::int32_t day, const Bar& bar) { return day < bar.day; });
    return {first, last};
}

} // namespace

std::unique_ptr<CServerData> CServerData::Open(const std::string& folder, DataError* error,
                                               std::vector<std::string>* warnings) {
    CDataFolderReader reader(folder);
    auto tables = reader.ReadTables();
    if (warnings != nullptr) {
        *warnings = reader.Warnings();
    }
    if (!tables) {
        *error = reader.Error();
        return nullptr;
    }
    return std::unique_ptr<CServerData>(new CServerData(folder, std::move(*tables)));
}

CServerData::CServerData(std::string folder, ServerTables tables)
    : folder_(std::move(folder)), tables_(std::move(tables)),
      search_(tables_.instruments, tables_.searchKinds, tables_.settings.searchHitLimit),
      bars_(folder_, static_cast<std::size_t>(tables_.settings.barCacheMegabytes) << 20) {
    for (const ServerAccount& account : tables_.accounts) {
        accounts_.emplace(account.account, &account);
        if (account.state == AccountState::Valid) {
            byCheckNumber_.emplace(account.checkResult, &account);
            byLoginNumber_.emplace(account.loginNumber, &account);
        }
    }
    for (const ServerInstrument& instrument : tables_.instruments) {
        bySinCode_.emplace(instrument.sinCode, &instrument);
        bySymbol_.emplace(instrument.symbol, &instrument);
        if (instrument.legacyNumber != 0) {
            byLegacyNumber_.emplace(instrument.legacyNumber, &instrument);
        }
    }
    for (const LegacyTranslation& translation : tables_.legacyTranslations) {
        if (const ServerInstrument* instrument = FindIn(bySinCode_, translation.sinCode)) {
            byLegacyNumber_.emplace(translation.legacyNumber, instrument);
        }
    }
    for (const Catalogue& catalogue : tables_.catalogues) {
        catalogues_.emplace(catalogue.number, &catalogue);
    }
    for (const ServerExchange& exchange : tables_.exchanges) {
        sessionStarts_.emplace(exchange.number, exchange.sessionStart);
    }
}

AccountAnswer CServerData::Authenticate(std::string_view account, std::string_view password,
                                        bool login) const {
    AccountAnswer answer;
    const ServerAccount* match = FindIn(accounts_, account);
    if (match == nullptr || match->password != password) {
        return answer;
    }
    answer.account = match;
    if (match->state != AccountState::Valid) {
        answer.result = ResultCodeOf(match->state);
    } else {
        answer.result = login ? match->loginResult : match->checkResult;
    }
    return answer;
}

AccountAnswer CServerData::Login(std::string_view account, std::string_view password) const {
    return Authenticate(account, password, true);
}

AccountAnswer CServerData::CheckAccount(std::string_view account, std::string_view password) const {
    return Authenticate(account, password, false);
}

const ServerAccount* CServerData::AccountByCheckNumber(std::int32_t checkNumber) const {
    return FindIn(byCheckNumber_, checkNumber);
}

const ServerAccount* CServerData::AccountByLoginNumber(std::int32_t loginNumber) const {
    return FindIn(byLoginNumber_, loginNumber);
}

const ServerInstrument* CServerData::InstrumentBySinCode(std::int32_t sinCode) const {
    return FindIn(bySinCode_, sinCode);
}

const ServerInstrument* CServerData::InstrumentBySymbol(std::string_view symbol) const {
    return FindIn(bySymbol_, symbol);
}

const ServerInstrument* CServerData::InstrumentByLegacyNumber(std::int32_t legacyNumber) const {
    return FindIn(byLegacyNumber_, legacyNumber);
}

const Catalogue* CServerData::FindCatalogue(std::int32_t number) const {
    return FindIn(catalogues_, number);
}

std::vector<const ServerInstrument*>
CServerData::CatalogueMembers(const Catalogue& catalogue) const {
    std::vector<const ServerInstrument*> members;
    members.reserve(catalogue.members.size());
    for (std::int32_t sinCode : catalogue.members) {
        if (const ServerInstrument* instrument = InstrumentBySinCode(sinCode)) {
            members.push_back(instrument);
        }
    }
    return members;
}

SearchResult CServerData::Search(const SearchQuery& query) const {
    return search_.Run(query);
}

template <class Bar>
BarAnswer<Bar> CServerData::Series(BarKind kind, std::int32_t sinCode,
                                   std::shared_ptr<const BarSeries>* series) const {
    BarAnswer<Bar> answer;
    const ServerInstrument* instrument = InstrumentBySinCode(sinCode);
    if (instrument == nullptr) {
        answer.status = BarStatus::UnknownInstrument;
        return answer;
    }
    answer.decimals = instrument->decimals;
    *series = bars_.Get(kind, sinCode, instrument->decimals);
    if ((*series)->error) {
        answer.status = BarStatus::DataError;
        answer.error = (*series)->error->Text();
    }
    return answer;
}

BarAnswer<DailyBar> CServerData::DailyBars(std::int32_t sinCode, std::int32_t firstDay,
                                           std::int32_t lastDay) const {
    std::shared_ptr<const BarSeries> series;
    BarAnswer<DailyBar> answer = Series<DailyBar>(BarKind::Daily, sinCode, &series);
    if (answer.status == BarStatus::Ok) {
        const auto range = DayRange(series->daily, firstDay, std::min(lastDay, lastServedDay_));
        answer.bars.assign(range.begin(), range.end());
    }
    return answer;
}

BarAnswer<IntradayBar> CServerData::IntradayBars(std::int32_t sinCode, std::int32_t firstDay,
                                                 std::int32_t lastDay, int intervalMinutes) const {
    if (intervalMinutes < 1) {
        BarAnswer<IntradayBar> answer;
        answer.status = BarStatus::InvalidInterval;
        return answer;
    }
    std::shared_ptr<const BarSeries> series;
    BarAnswer<IntradayBar> answer = Series<IntradayBar>(BarKind::Intraday, sinCode, &series);
    if (answer.status == BarStatus::Ok) {
        const std::int32_t exchange = InstrumentBySinCode(sinCode)->exchange;
        const auto session = sessionStarts_.find(exchange);
        answer.bars = AggregateMinuteBars(
            DayRange(series->minutes, firstDay, std::min(lastDay, lastServedDay_)), intervalMinutes,
            session == sessionStarts_.end() ? 0 : session->second);
    }
    return answer;
}

} // namespace mvr
