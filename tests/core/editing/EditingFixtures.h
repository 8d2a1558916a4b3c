#pragma once

// Export directories with price files on disk for the tests of the local
// data editing.

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/FileSystem.h"
#include "support/CalendarDay.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr::test {

inline PERIODE Bar(std::int32_t dayNumber, float close, std::int32_t volume,
                   std::int32_t secondsOfDay = 0) {
    PERIODE bar;
    bar.dayNumber = dayNumber;
    bar.secondsOfDay = secondsOfDay;
    bar.open = close - 1.0f;
    bar.high = close + 1.0f;
    bar.low = close - 2.0f;
    bar.close = close;
    bar.volume = volume;
    return bar;
}

struct SymbolOnDisk {
    SymbolOnDisk(std::string symbolText, std::int32_t number, PriceHistory history,
                 std::string nameText = "")
        : symbol(std::move(symbolText)), sinCode(number), bars(std::move(history)),
          name(std::move(nameText)) {}

    std::string symbol;
    std::int32_t sinCode = 0; // 0: a number of its own that the server does not know
    PriceHistory bars;
    std::string name; // empty: the symbol and " Holding"
};

// A folder with an index of the format and one price file per symbol.
inline void MakeDirectory(const std::string& path, int formatType,
                          const std::vector<SymbolOnDisk>& symbols) {
    ASSERT_TRUE(CreateFolders(path));
    CExportDirectory directory(formatType);
    ASSERT_TRUE(directory.Create(path, 0.0, formatType));
    std::int32_t placeholder = 900000;
    for (const SymbolOnDisk& wanted : symbols) {
        ExportSymbolInfo symbol;
        symbol.symbol = wanted.symbol;
        symbol.name = wanted.name.empty() ? wanted.symbol + " Holding" : wanted.name;
        // MetaStock keeps no numbers, but AddSymbol tells symbols apart by them.
        symbol.sinCode = wanted.sinCode != 0 ? wanted.sinCode : ++placeholder;
        ASSERT_TRUE(directory.AddSymbol(symbol));
        CExportDataFile file;
        file.BuildFileName(path, symbol, formatType);
        file.History() = wanted.bars;
        ASSERT_TRUE(file.Write(true)) << wanted.symbol;
        ExportSymbolInfo& entry = directory.GetSymbol(directory.SymbolCount() - 1);
        entry.firstDate = file.GetFirstDate();
        entry.lastDate = file.GetLastDate();
    }
    ASSERT_TRUE(directory.Save());
}

// The symbol's records as its directory holds them now; empty when the
// directory does not list it.
inline PriceHistory RecordsOf(const std::string& path, int formatType, const std::string& symbol) {
    CExportDirectory directory(formatType);
    directory.Open(path, formatType);
    const int at = directory.FindSymbol(symbol);
    if (at < 0) {
        return {};
    }
    CExportDataFile file;
    file.Read(path, directory.GetSymbol(static_cast<std::size_t>(at)), formatType);
    return file.History();
}

// Closes and volumes, the values that survive every format's rounding.
inline std::vector<std::pair<float, std::int32_t>> ClosesAndVolumes(const PriceHistory& bars) {
    std::vector<std::pair<float, std::int32_t>> values;
    for (const PERIODE& bar : bars) {
        values.emplace_back(bar.close, bar.volume);
    }
    return values;
}

} // namespace mvr::test
