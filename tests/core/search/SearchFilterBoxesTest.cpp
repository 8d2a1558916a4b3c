#include "core/search/SearchFilterBoxes.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

ReferenceTables Tables() {
    ReferenceTables tables;
    tables.securityTypes[7] = {7, "Warrant"};
    tables.securityTypes[2] = {2, "aktie"};
    tables.securityTypes[4] = {4, "Bond"};
    tables.exchanges[30] = {30, "Xetra", false};
    tables.exchanges[10] = {10, "Amsterdam", true};
    tables.searchKinds = {{"Name", 2}, {"ISIN", 1}};
    return tables;
}

TEST(SearchFilterBoxesTest, TheAllEntryStaysOnTopOfTheNamesSortedWithoutRegardToCase) {
    const std::vector<BoxEntry> types = SecurityTypeBoxEntries(Tables());
    const std::vector<BoxEntry> expected = {
        {"All securities types", 0}, {"aktie", 2}, {"Bond", 4}, {"Warrant", 7}};
    EXPECT_EQ(types, expected);
    const std::vector<BoxEntry> exchanges = ExchangeBoxEntries(Tables());
    const std::vector<BoxEntry> expectedExchanges = {
        {"All exchanges", 0}, {"Amsterdam", 10}, {"Xetra", 30}};
    EXPECT_EQ(exchanges, expectedExchanges);
}

TEST(SearchFilterBoxesTest, SearchKindsKeepTheServersOrderAndCodes) {
    const std::vector<BoxEntry> expected = {{"Name", 2}, {"ISIN", 1}};
    EXPECT_EQ(SearchKindBoxEntries(Tables()), expected);
    EXPECT_EQ(SecurityTypeBoxEntries(ReferenceTables{}).size(), 1u);
}

} // namespace
} // namespace mvr
