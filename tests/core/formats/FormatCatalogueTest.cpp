#include "core/formats/FormatCatalogue.h"

#include "core/formats/ExportSymbolInfo.h"
#include "core/formats/Periode.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace mvr {
namespace {

TEST(FormatCatalogueTest, DisplayNamesOfEveryType) {
    const std::vector<std::string> names = {
        "Savant Technical Investor",
        "Market Maker",
        "KoersStrateeg",
        "Compu Trac",
        "MetaStock",
        "Ascii: Comma Delimited",
        "Jaad Koersbase II",
        "The Option Trader",
        "TopVest",
        "Ascii: Tab Delimited",
        "Ascii: Excel Format (YY-MM-DD 0,00)",
        "Ascii: Excel Format (YY/MM/DD 0.00)",
        "Vision",
        "Ascii:",
        "Ascii:",
        "Ascii: Comma Delimited (YYYYMMDD)",
        "Vision 2000",
        "Hermes",
        "Mabel: through definition file download only",
        "Davi-Effect Import-file: through file/definition file download only",
        "Metastock intra day",
        "Ascii: Comma Delimited Intraday",
        "Hermes intra-day: .KBT files",
    };
    for (int type = 0; type <= kLastFormatType; ++type) {
        EXPECT_EQ(FormatDisplayName(type), names[static_cast<std::size_t>(type)]) << type;
        EXPECT_EQ(FindFormatType(type)->type, type);
    }
    for (int type : {-1, 23, kFormatNotSet, kFormatUnrecognised}) {
        EXPECT_EQ(FormatDisplayName(type), "") << type;
        EXPECT_EQ(FindFormatType(type), nullptr);
        EXPECT_EQ(DirectoryIndexOf(type), DirectoryIndex::None);
    }
}

TEST(FormatCatalogueTest, OfferedTypesIndexesAndIntraday) {
    const auto offered = OfferedFormatTypes();
    EXPECT_EQ(std::vector<int>(offered.begin(), offered.end()),
              (std::vector<int>{5, 15, 11, 10, 9, 4, 17, 20, 21}));
    for (int type = 0; type <= kLastFormatType; ++type) {
        EXPECT_EQ(IsIntradayFormat(type), type == 20 || type == 21) << type;
    }
    EXPECT_EQ(DirectoryIndexOf(4), DirectoryIndex::MetaStock);
    EXPECT_EQ(DirectoryIndexOf(20), DirectoryIndex::MetaStock);
    EXPECT_EQ(DirectoryIndexOf(3), DirectoryIndex::None);
    EXPECT_EQ(DirectoryIndexOf(17), DirectoryIndex::HermesScan);
    for (int type : {5, 9, 10, 11, 13, 14, 15, 21}) {
        EXPECT_EQ(DirectoryIndexOf(type), DirectoryIndex::Ascii) << type;
    }
}

TEST(FormatCatalogueTest, DataFileNames) {
    ExportSymbolInfo symbol;
    symbol.symbol = "SAP";
    symbol.interval = 'Q';
    symbol.fileNumber = 255;
    EXPECT_EQ(DataFileName(0, symbol), "SAP.d_95");
    EXPECT_EQ(DataFileName(1, symbol), "SAP.mmQ");
    EXPECT_EQ(DataFileName(7, symbol), "SAP.hdf");
    EXPECT_EQ(DataFileName(8, symbol), "SAP.d_5F");
    EXPECT_EQ(DataFileName(17, symbol), "SAP.asc");
    for (int type : {5, 9, 10, 11, 13, 14, 15, 21}) {
        EXPECT_EQ(DataFileName(type, symbol), "SAP.prn") << type;
    }
    for (int type : {3, 4, 20}) {
        symbol.fileNumber = 255;
        EXPECT_EQ(DataFileName(type, symbol), "F255.DAT");
        symbol.fileNumber = 256;
        EXPECT_EQ(DataFileName(type, symbol), "F256.MWD");
        symbol.fileNumber = 1;
        EXPECT_EQ(DataFileName(type, symbol), "F1.DAT");
    }
    for (int type : {2, 6, 12, 16, 18, 19, 22, 23, -1}) {
        EXPECT_EQ(DataFileName(type, symbol), "") << type;
    }
    // A zero interval byte ends the name as it ends a C text.
    symbol.interval = 0x100;
    EXPECT_EQ(DataFileName(1, symbol), "SAP.mm");
}

TEST(FormatCatalogueTest, SymbolsThatCannotNameAFileSafely) {
    ExportSymbolInfo symbol;
    for (const char* text : {"", ".", "..", "../x", "a/b", "a\\b", "tab\there"}) {
        symbol.symbol = text;
        EXPECT_EQ(DataFileName(5, symbol), "") << text;
        EXPECT_EQ(DataFileName(17, symbol), "") << text;
    }
    symbol.symbol = "BRK.A";
    EXPECT_EQ(DataFileName(5, symbol), "BRK.A.prn");
    symbol.fileNumber = 0;
    EXPECT_EQ(DataFileName(4, symbol), "");
    symbol.fileNumber = -3;
    EXPECT_EQ(DataFileName(4, symbol), "");
    symbol.interval = '/';
    EXPECT_EQ(DataFileName(1, symbol), "");
}

TEST(BarCorrectionTest, FillsMissingPricesAndOrdersTheRange) {
    auto corrected = [](float open, float high, float low, float close) {
        PERIODE bar;
        bar.open = open;
        bar.high = high;
        bar.low = low;
        bar.close = close;
        CorrectBar(bar);
        return std::vector<float>{bar.open, bar.high, bar.low, bar.close};
    };
    EXPECT_EQ(corrected(0, 0, 0, 12.5f), (std::vector<float>{12.5f, 12.5f, 12.5f, 12.5f}));
    EXPECT_EQ(corrected(10, 9, 11, 10), (std::vector<float>{10, 10, 10, 10}));
    // An open below the low lowers the low; an open above the high is cut to the high.
    EXPECT_EQ(corrected(8, 11, 9, 10), (std::vector<float>{8, 11, 8, 10}));
    EXPECT_EQ(corrected(12, 11, 9, 10), (std::vector<float>{11, 11, 9, 10}));
    EXPECT_EQ(corrected(0, 0, 0, 0), (std::vector<float>{0, 0, 0, 0}));
}

TEST(BarCorrectionTest, NumbersFromDamagedFilesStayInRange) {
    EXPECT_EQ(DayNumberOfStoredDate(0.0), 693960);
    EXPECT_EQ(DayNumberOfStoredDate(36526.75), 730486);
    EXPECT_EQ(DayNumberOfStoredDate(1e300), 0);
    EXPECT_EQ(TruncateToInt32(1234.7), 1234);
    EXPECT_EQ(TruncateToInt32(-1234.7), -1234);
    EXPECT_EQ(TruncateToInt32(1e20), 2147483647);
    EXPECT_EQ(TruncateToInt32(-1e20), -2147483647 - 1);
    EXPECT_EQ(TruncateToInt32(std::nan("")), 0);
}

TEST(BarCorrectionTest, BarOleDateCarriesTheTimeOfDay) {
    PERIODE bar;
    EXPECT_EQ(BarOleDate(bar), 0.0);
    bar.dayNumber = 730486;
    EXPECT_EQ(BarOleDate(bar), 36526.0);
    bar.secondsOfDay = 43200;
    EXPECT_EQ(BarOleDate(bar), 36526.5);
}

} // namespace
} // namespace mvr
