#include "core/net/SymbolLookup.h"

#include "core/formats/ExportDirectory.h"
#include "core/net/InstrumentRecord.h"
#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/ServerRequest.h"

#include <string>
#include <vector>

namespace mvr {

namespace {

// A string needs its characters, the terminator and one byte more of room.
bool FitsInBlock(const CDataOutputStream& out, const std::string& text) {
    return static_cast<std::int64_t>(out.Position()) + static_cast<std::int64_t>(text.size()) + 1 <
           CDataStream::kCapacity;
}

void SendSymbols(CSearchRequest& request, const std::vector<ExportSymbolInfo>& symbols) {
    request.Out().writeLong(static_cast<std::int32_t>(symbols.size()));
    request.writeData();
    for (const ExportSymbolInfo& symbol : symbols) {
        // Symbols are short; the room test only matters for a symbol text that
        // is longer in memory than any index keeps it.
        if (!FitsInBlock(request.Out(), symbol.symbol)) {
            request.writeBlock();
        }
        request.Out().writeString(symbol.symbol);
        if (request.Out().ShouldSend()) {
            request.writeBlock();
        }
    }
    request.writeBlock();
}

} // namespace

bool LookupSInCodes(CExportDirectory& directory, const RunFlag& run) {
    std::vector<ExportSymbolInfo>& symbols = directory.Symbols();
    if (symbols.empty()) {
        return true;
    }
    try {
        CWinSocket socket;
        CSearchRequest request;
        request.Open(socket, run);
        request.writeHeader(kRequestSymbolLookup, LoginNumber());
        SendSymbols(request, symbols);
        request.readBlock();
        std::vector<WATCH> records;
        request.ReadSection([&](CDataInputStream& in) {
            WATCH record;
            if (ReadInstrumentRecord(record, in)) {
                records.push_back(std::move(record));
            }
        });
        std::string text;
        if (!request.SectionResult(text)) {
            return false;
        }
        for (std::size_t i = 0; i < records.size() && i < symbols.size(); ++i) {
            symbols[i].sinCode = records[i].sinCode;
        }
        return true;
    } catch (const CIOException&) {
        return false;
    }
}

} // namespace mvr
