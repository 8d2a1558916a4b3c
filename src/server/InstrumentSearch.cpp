#include "server/InstrumentSearch.h"

#include "core/platform/TextUtil.h"

namespace mvr {

CInstrumentSearch::CInstrumentSearch(const std::vector<ServerInstrument>& instruments,
                                     const std::vector<SearchKind>& kinds, std::int32_t hitLimit)
    : kinds_(kinds), hitLimit_(hitLimit) {
    prepared_.reserve(instruments.size());
    for (const ServerInstrument& instrument : instruments) {
        prepared_.push_back(Prepared{&instrument, ToUpperAscii(instrument.symbol),
                                     ToUpperAscii(instrument.name), ToUpperAscii(instrument.isin)});
    }
}

bool CInstrumentSearch::Matches(const std::string& field, const std::string& text,
                                SearchMatch match) {
    switch (match) {
    case SearchMatch::Exact:
        return field == text;
    case SearchMatch::Prefix:
        return field.starts_with(text);
    case SearchMatch::Contains:
        return field.find(text) != std::string::npos;
    }
    return false;
}

SearchResult CInstrumentSearch::Run(const SearchQuery& query) const {
    SearchResult result;
    const SearchKind* kind = nullptr;
    for (const SearchKind& candidate : kinds_) {
        if (candidate.code == query.kindCode) {
            kind = &candidate;
            break;
        }
    }
    if (kind == nullptr) {
        result.outcome = SearchOutcome::UnknownSearchKind;
        return result;
    }
    const std::string text = ToUpperAscii(query.text);
    for (const Prepared& entry : prepared_) {
        const ServerInstrument& instrument = *entry.instrument;
        if ((query.securityType != 0 && instrument.securityType != query.securityType) ||
            (query.exchange != 0 && instrument.exchange != query.exchange)) {
            continue;
        }
        const bool hit =
            text.empty() ||
            ((kind->fields & kSearchSymbol) != 0 && Matches(entry.symbol, text, kind->match)) ||
            ((kind->fields & kSearchName) != 0 && Matches(entry.name, text, kind->match)) ||
            ((kind->fields & kSearchIsin) != 0 && Matches(entry.isin, text, kind->match));
        if (!hit) {
            continue;
        }
        if (static_cast<std::int32_t>(result.hits.size()) == hitLimit_) {
            result.outcome = SearchOutcome::TooManyHits;
            break;
        }
        result.hits.push_back(&instrument);
    }
    return result;
}

} // namespace mvr
