#pragma once

// Export directories on disk for the tests of the main window's logic.

#include "core/config/ExportInfo.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"

#include <gtest/gtest.h>
#include <string>

namespace mvr::test {

// Creates the folder with an index of the format holding `count` symbols.
inline void MakeIndex(const std::string& path, int formatType, int count) {
    ASSERT_TRUE(CreateFolders(path));
    CExportDirectory directory(formatType);
    ASSERT_TRUE(directory.Create(path, 0.0, formatType));
    for (int i = 0; i < count; ++i) {
        ExportSymbolInfo symbol;
        symbol.symbol = "S" + std::to_string(i);
        symbol.name = "Symbol " + std::to_string(i);
        symbol.sinCode = 1000 + i;
        ASSERT_TRUE(directory.AddSymbol(symbol));
    }
    ASSERT_TRUE(directory.Save());
    CExportDirectory check(formatType);
    ASSERT_TRUE(check.Open(path, formatType));
    ASSERT_EQ(check.SymbolCount(), static_cast<std::size_t>(count));
}

inline MVRKrsExportInfo Record(const std::string& path, int formatType,
                               const std::string& catalogue = "", std::int32_t catalogueId = 0) {
    MVRKrsExportInfo record;
    record.path = WithTrailingSeparator(path);
    record.formatType = formatType;
    record.catalogueName = catalogue;
    record.catalogueId = catalogueId;
    return record;
}

} // namespace mvr::test
