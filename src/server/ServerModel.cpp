#include "server/ServerModel.h"

#include <array>
#include <utility>

namespace mvr {

namespace {

constexpr std::array<std::pair<AccountState, std::string_view>, 6> kAccountStateNames = {{
    {AccountState::Valid, "valid"},
    {AccountState::Blocked, "blocked"},
    {AccountState::Invalid, "invalid"},
    {AccountState::ServerMessage, "message"},
    {AccountState::RealtimeUnavailable, "realtime-unavailable"},
    {AccountState::DatabaseError, "database-error"},
}};

constexpr std::array<std::pair<SearchMatch, std::string_view>, 3> kSearchMatchNames = {{
    {SearchMatch::Exact, "exact"},
    {SearchMatch::Prefix, "prefix"},
    {SearchMatch::Contains, "contains"},
}};

constexpr std::array<std::pair<std::uint8_t, std::string_view>, 3> kSearchFieldNames = {{
    {kSearchSymbol, "symbol"},
    {kSearchName, "name"},
    {kSearchIsin, "isin"},
}};

template <class Value, std::size_t N>
std::string_view NameIn(const std::array<std::pair<Value, std::string_view>, N>& names,
                        Value value) {
    for (const auto& [candidate, name] : names) {
        if (candidate == value) {
            return name;
        }
    }
    return {};
}

template <class Value, std::size_t N>
std::optional<Value> ValueIn(const std::array<std::pair<Value, std::string_view>, N>& names,
                             std::string_view name) {
    for (const auto& [value, candidate] : names) {
        if (candidate == name) {
            return value;
        }
    }
    return std::nullopt;
}

} // namespace

std::int32_t ResultCodeOf(AccountState state) {
    switch (state) {
    case AccountState::Valid:
        return 1;
    case AccountState::Blocked:
        return -19;
    case AccountState::Invalid:
        return -2;
    case AccountState::ServerMessage:
        return -20;
    case AccountState::RealtimeUnavailable:
        return -21;
    case AccountState::DatabaseError:
        return -1;
    }
    return -2;
}

std::string_view AccountStateName(AccountState state) {
    return NameIn(kAccountStateNames, state);
}

std::optional<AccountState> AccountStateFromName(std::string_view name) {
    return ValueIn(kAccountStateNames, name);
}

std::string_view SearchMatchName(SearchMatch match) {
    return NameIn(kSearchMatchNames, match);
}

std::optional<SearchMatch> SearchMatchFromName(std::string_view name) {
    return ValueIn(kSearchMatchNames, name);
}

std::string SearchFieldsText(std::uint8_t fields) {
    std::string text;
    for (const auto& [bit, name] : kSearchFieldNames) {
        if ((fields & bit) != 0) {
            text += text.empty() ? "" : "+";
            text += name;
        }
    }
    return text;
}

std::optional<std::uint8_t> SearchFieldsFromText(std::string_view text) {
    std::uint8_t fields = 0;
    while (true) {
        const std::size_t plus = text.find('+');
        const auto bit = ValueIn(kSearchFieldNames, text.substr(0, plus));
        if (!bit || (fields & *bit) != 0) {
            return std::nullopt;
        }
        fields = static_cast<std::uint8_t>(fields | *bit);
        if (plus == std::string_view::npos) {
            return fields;
        }
        text.remove_prefix(plus + 1);
    }
}

} // namespace mvr
