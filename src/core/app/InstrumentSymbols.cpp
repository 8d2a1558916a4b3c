#include "core/app/InstrumentSymbols.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/net/InstrumentRecord.h"
#include "core/platform/TextUtil.h"

#include <algorithm>

namespace mvr {

namespace {

bool IsListed(const CExportDirectory& directory, std::int32_t sinCode, const std::string& symbol) {
    const auto& symbols = directory.Symbols();
    return std::any_of(symbols.begin(), symbols.end(),
                       [&](const ExportSymbolInfo& s) { return s.sinCode == sinCode; }) ||
           directory.FindSymbol(symbol) >= 0;
}

// Read first: a file left from an earlier symbol of the same name keeps its
// bars instead of being emptied.
void WriteDataFile(CExportDirectory& directory, const ExportSymbolInfo& symbol) {
    CExportDataFile file;
    file.UseFolderListing(&directory.FolderListing());
    file.Read(directory.Path(), symbol, directory.FormatType());
    file.Write(false);
}

} // namespace

std::size_t AddInstrumentSymbols(CExportDirectory& directory, std::span<const WATCH> instruments,
                                 const NewSymbolDates& dates) {
    std::size_t added = 0;
    for (const WATCH& instrument : instruments) {
        const std::string symbolText =
            Truncated(instrument.symbol, ExportSymbolInfo::kMaxSymbolChars);
        if (IsListed(directory, instrument.sinCode, symbolText)) {
            continue;
        }
        ExportSymbolInfo symbol;
        symbol.symbol = symbolText;
        symbol.name = instrument.name;
        symbol.sinCode = instrument.sinCode;
        symbol.firstDate = dates.firstDate;
        symbol.lastDate = dates.lastDate;
        symbol.period = kPeriodDaily;
        symbol.interval = dates.interval;
        symbol.fieldCount = ExportSymbolInfo::kDefaultFieldCount;
        // A full MetaStock directory takes no more symbols.
        if (!directory.AddSymbol(symbol)) {
            break;
        }
        WriteDataFile(directory, symbol);
        ++added;
    }
    return added;
}

} // namespace mvr
