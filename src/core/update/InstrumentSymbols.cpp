#include "core/update/InstrumentSymbols.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/net/InstrumentRecord.h"
#include "core/platform/TextUtil.h"

#include <unordered_set>

namespace mvr {

namespace {

// Read first: a file left from an earlier symbol of the same name keeps its
// bars instead of being emptied.
void WriteDataFile(CExportDirectory& directory, const ExportSymbolInfo& symbol) {
    CExportDataFile file;
    file.UseFolderListing(&directory.FolderListing());
    file.Read(directory.Path(), symbol, directory.FormatType());
    // A file not written now is written by the symbol's first update; a
    // missing price file reads as an empty history meanwhile.
    (void)file.Write(false);
}

} // namespace

AddedInstruments AddInstrumentSymbols(CExportDirectory& directory,
                                      std::span<const WATCH> instruments,
                                      const NewSymbolDates& dates) {
    AddedInstruments result;
    std::unordered_set<std::int32_t> listed;
    for (const ExportSymbolInfo& symbol : directory.Symbols()) {
        listed.insert(symbol.sinCode);
    }
    CPriceFileNames files(directory);
    for (const WATCH& instrument : instruments) {
        // Also a repeat of a refused instrument: it is named once.
        if (!listed.insert(instrument.sinCode).second) {
            continue;
        }
        ExportSymbolInfo symbol;
        symbol.symbol = Truncated(instrument.symbol, ExportSymbolInfo::kMaxSymbolChars);
        symbol.name = instrument.name;
        symbol.sinCode = instrument.sinCode;
        symbol.firstDate = dates.firstDate;
        symbol.lastDate = dates.lastDate;
        symbol.period = kPeriodDaily;
        symbol.interval = dates.interval;
        symbol.fieldCount = ExportSymbolInfo::kDefaultFieldCount;
        if (const std::string* holder = files.HolderOf(symbol)) {
            result.refused.push_back({instrument.symbol, instrument.name, instrument.sinCode,
                                      *holder, directory.Path()});
            continue;
        }
        // A full MetaStock directory takes no more symbols.
        if (!directory.AddSymbol(symbol)) {
            break;
        }
        files.Add(symbol);
        WriteDataFile(directory, symbol);
        ++result.added;
    }
    return result;
}

} // namespace mvr
