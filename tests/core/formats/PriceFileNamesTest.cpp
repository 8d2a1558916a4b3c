// Which symbols of a directory would share a price file, by format.

#include "core/formats/PriceFileNames.h"

#include "core/formats/FormatCatalogue.h"

#include <gtest/gtest.h>
#include <optional>

namespace mvr {
namespace {

ExportSymbolInfo Symbol(const std::string& text, std::uint16_t interval = 0) {
    ExportSymbolInfo symbol;
    symbol.symbol = text;
    symbol.interval = interval;
    return symbol;
}

std::optional<std::string> HolderIn(int formatType, const std::vector<ExportSymbolInfo>& listed,
                                    const ExportSymbolInfo& candidate) {
    const CPriceFileNames names(formatType, listed);
    const std::string* holder = names.HolderOf(candidate);
    return holder ? std::optional<std::string>(*holder) : std::nullopt;
}

TEST(PriceFileNamesTest, NamesBuiltFromTheSymbolClashWithoutRegardToCase) {
    const std::vector<ExportSymbolInfo> listed = {Symbol("SAP"), Symbol("ALV")};
    for (const int type :
         {kFormatAsciiComma, kFormatAsciiTab, kFormatAsciiIntraday, kFormatHermes}) {
        EXPECT_EQ(HolderIn(type, listed, Symbol("sap")), "SAP") << type;
        EXPECT_EQ(HolderIn(type, listed, Symbol("SAP1")), std::nullopt) << type;
    }
}

TEST(PriceFileNamesTest, NumberedMetaStockFilesClashOnlyByTheExactSymbolText) {
    ExportSymbolInfo listed = Symbol("SAP");
    listed.fileNumber = 1;
    ExportSymbolInfo same = Symbol("SAP");
    same.fileNumber = 2; // another file, but found again as the first through its text
    EXPECT_EQ(HolderIn(kFormatMetaStock, {listed}, same), "SAP");
    EXPECT_EQ(HolderIn(kFormatMetaStock, {listed}, Symbol("sap")), std::nullopt);
}

TEST(PriceFileNamesTest, MarketMakerNamesDependOnTheInterval) {
    const std::vector<ExportSymbolInfo> listed = {Symbol("SAP", 'D')};
    EXPECT_EQ(HolderIn(1, listed, Symbol("sap", 'd')), "SAP");
    EXPECT_EQ(HolderIn(1, listed, Symbol("SAP", 'W')), std::nullopt);
}

TEST(PriceFileNamesTest, TheFirstHolderKeepsItsFileAndAddedSymbolsCount) {
    // Two symbols that already share a file: the first is named as the holder.
    CPriceFileNames names(kFormatAsciiComma,
                          std::vector<ExportSymbolInfo>{Symbol("abc"), Symbol("ABC")});
    ASSERT_NE(names.HolderOf(Symbol("Abc")), nullptr);
    EXPECT_EQ(*names.HolderOf(Symbol("Abc")), "abc");
    EXPECT_EQ(names.HolderOf(Symbol("NEW")), nullptr);
    names.Add(Symbol("NEW"));
    ASSERT_NE(names.HolderOf(Symbol("new")), nullptr);
    EXPECT_EQ(*names.HolderOf(Symbol("new")), "NEW");
}

TEST(PriceFileNamesTest, TheRefusedSymbolIsNamedWithItsInstrumentAndTheHolder) {
    EXPECT_EQ(RefusedSymbolText({"MVRDUAL1F", "Dual (Frankfurt)", 100123, "MVRDUAL1", "/d/"}),
              "MVRDUAL1F (Dual (Frankfurt), 100123) not added to /d/: its price file would be "
              "that of MVRDUAL1");
    EXPECT_EQ(RefusedSymbolText({"sap", "", 7, "SAP", "/d/"}),
              "sap (7) not added to /d/: its price file would be that of SAP");
}

} // namespace
} // namespace mvr
