#include "server/SearchRequestHandlers.h"

#include "core/net/ServerRequest.h"
#include "core/net/SymbolSearchRequest.h"
#include "core/platform/TextUtil.h"
#include "server/InstrumentRecordWriter.h"
#include "server/RequestBody.h"

#include <unordered_set>
#include <vector>

namespace mvr {

namespace {

// The client sends symbol texts of its directories in buffers of this size.
constexpr std::size_t kLookupSymbolSize = 260;

// A block whose content the client reads and drops: here the number of
// records that follow.
void WriteCountBlock(CRequestContext& request, std::size_t count) {
    request.Out().writeLong(static_cast<std::int32_t>(count));
    request.Connection().writeBlock();
}

std::int32_t SectionMarkerOf(SearchOutcome outcome) {
    switch (outcome) {
    case SearchOutcome::Complete:
        return 0;
    case SearchOutcome::TooManyHits:
        return kSectionTooManyResults;
    case SearchOutcome::UnknownSearchKind:
        return kSectionDatabaseError;
    }
    return kSectionDatabaseError;
}

std::string SearchResultText(const SearchResult& result) {
    switch (result.outcome) {
    case SearchOutcome::Complete:
        return "hits=" + std::to_string(result.hits.size());
    case SearchOutcome::TooManyHits:
        return "too-many,hits=" + std::to_string(result.hits.size());
    case SearchOutcome::UnknownSearchKind:
        return "unknown-search-kind";
    }
    return {};
}

} // namespace

void AnswerSymbolSearch(CRequestContext& request) {
    request.Connection().readData();
    CDataInputStream& in = request.In();
    RequirePayload(in, 5, "search body");
    SearchQuery query;
    query.kindCode = in.readByte();
    query.securityType = in.readShort();
    query.exchange = in.readShort();
    query.text = in.readString(kSearchTextSize);
    RequireWithinPayload(in, "search body");
    const SearchResult result = request.Data().Search(query);
    request.WriteRecords(result.hits);
    request.EndSection(SectionMarkerOf(result.outcome));
    request.SetResult(SearchResultText(result));
}

void AnswerSymbolLookup(CRequestContext& request) {
    request.Connection().readData();
    const std::int32_t count = ReadCount(request.In(), kMaxLookupSymbols, "lookup body");
    // One answer per symbol, in order; a symbol the server does not know
    // gets a record without an instrument number.
    std::vector<std::string> unknownSymbols;
    std::vector<const ServerInstrument*> found; // null: the next of the unknown symbols
    found.reserve(static_cast<std::size_t>(count));
    ReadCountedItems(
        request.Connection(), count,
        [&](CDataInputStream& in) {
            const std::string symbol = in.readString(kLookupSymbolSize);
            const ServerInstrument* instrument = request.Data().InstrumentBySymbol(symbol);
            found.push_back(instrument);
            if (instrument == nullptr) {
                unknownSymbols.push_back(Truncated(symbol, watch::kSymbolSize - 1));
            }
        },
        "lookup body");
    WriteCountBlock(request, found.size());
    std::size_t nextUnknown = 0;
    request.WriteRecords(found.size(), [&](std::size_t i) {
        if (found[i] != nullptr) {
            return InstrumentRecordOf(*found[i]);
        }
        WATCH record;
        record.symbol = unknownSymbols[nextUnknown++];
        return record;
    });
    request.EndSection();
    request.SetResult("symbols=" + std::to_string(found.size()) +
                      ",known=" + std::to_string(found.size() - unknownSymbols.size()));
}

void AnswerTranslation(CRequestContext& request) {
    request.Connection().readData();
    const std::int32_t count = ReadCount(request.In(), kMaxTranslationNumbers, "translation body");
    std::vector<const ServerInstrument*> translated;
    std::unordered_set<std::int32_t> seen;
    std::vector<std::int32_t> numbers;
    ReadCountedItems(
        request.Connection(), count,
        [&](CDataInputStream& in) {
            RequirePayload(in, 4, "translation body");
            const std::int32_t number = in.readLong();
            const ServerInstrument* instrument = request.Data().InstrumentByLegacyNumber(number);
            // Each number is answered once, however often it was sent.
            if (instrument != nullptr && seen.insert(number).second) {
                translated.push_back(instrument);
                numbers.push_back(number);
            }
        },
        "translation body");
    WriteCountBlock(request, translated.size());
    request.WriteRecords(translated.size(), [&](std::size_t i) {
        WATCH record = InstrumentRecordOf(*translated[i]);
        record.legacyNumber = numbers[i];
        return record;
    });
    request.EndSection();
    request.SetResult("numbers=" + std::to_string(count) +
                      ",translated=" + std::to_string(translated.size()));
}

} // namespace mvr
