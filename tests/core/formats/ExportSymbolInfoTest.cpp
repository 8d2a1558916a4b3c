#include "core/formats/ExportSymbolInfo.h"

#include "core/platform/Bytes.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

ExportSymbolInfo Sample() {
    ExportSymbolInfo s;
    s.symbol = "SAP";
    s.sinCode = 0x01020304;
    s.name = "SAP SE";
    s.reserved276 = 0x11121314;
    s.firstDate = 36526.0;
    s.lastDate = 38418.5;
    s.period = kPeriodIntraday;
    s.interval = 15;
    s.reserved302 = 0x2122;
    s.fieldCount = 8;
    s.fileNumber = 300;
    s.hasEmaster = 1;
    s.inXmaster = 1;
    s.masterPos = 53;
    s.xmasterPos = -1;
    for (std::size_t i = 0; i < s.masterRecord.size(); ++i) {
        s.masterRecord[i] = static_cast<std::uint8_t>(i + 1);
    }
    for (std::size_t i = 0; i < s.emasterRecord.size(); ++i) {
        s.emasterRecord[i] = static_cast<std::uint8_t>(200 - i);
    }
    for (std::size_t i = 0; i < s.xmasterRecord.size(); ++i) {
        s.xmasterRecord[i] = static_cast<std::uint8_t>(i * 3);
    }
    s.reserved723 = 0x7A;
    s.importedValue = 0xCAFEBABE;
    return s;
}

TEST(ExportSymbolInfoTest, FieldsLieAtTheirOffsets) {
    std::array<std::uint8_t, ExportSymbolInfo::kSize> bytes;
    bytes.fill(0xEE);
    Sample().Serialize(bytes);
    const std::uint8_t* p = bytes.data();
    EXPECT_EQ(LoadFixedText(p, 12), "SAP");
    for (std::size_t i = 3; i < 12; ++i) {
        EXPECT_EQ(p[i], 0) << i;
    }
    EXPECT_EQ(LoadLE32(p + 12), 0x01020304u);
    EXPECT_EQ(LoadFixedText(p + 16, 260), "SAP SE");
    EXPECT_EQ(p[16 + 259], 0);
    EXPECT_EQ(LoadLE32(p + 276), 0x11121314u);
    EXPECT_EQ(LoadLEDouble(p + 280), 36526.0);
    EXPECT_EQ(LoadLEDouble(p + 288), 38418.5);
    EXPECT_EQ(LoadLEInt32(p + 296), 3);
    EXPECT_EQ(LoadLE16(p + 300), 15);
    EXPECT_EQ(LoadLE16(p + 302), 0x2122);
    EXPECT_EQ(LoadLEInt32(p + 304), 8);
    EXPECT_EQ(LoadLEInt32(p + 308), 300);
    EXPECT_EQ(LoadLEInt32(p + 312), 1);
    EXPECT_EQ(LoadLEInt32(p + 316), 1);
    EXPECT_EQ(LoadLEInt32(p + 320), 53);
    EXPECT_EQ(LoadLEInt32(p + 324), -1);
    EXPECT_EQ(p[328], 1);
    EXPECT_EQ(p[328 + 52], 53);
    EXPECT_EQ(p[381], 200);
    EXPECT_EQ(p[381 + 191], 200 - 191);
    EXPECT_EQ(p[573], 0);
    EXPECT_EQ(p[573 + 149], static_cast<std::uint8_t>(149 * 3));
    EXPECT_EQ(p[723], 0x7A);
    EXPECT_EQ(LoadLE32(p + 724), 0xCAFEBABEu);
}

TEST(ExportSymbolInfoTest, RoundTripsAndNewRecordsAreZeroWithSevenFields) {
    std::array<std::uint8_t, ExportSymbolInfo::kSize> bytes{};
    Sample().Serialize(bytes);
    EXPECT_EQ(ExportSymbolInfo::Deserialize(bytes), Sample());

    ExportSymbolInfo fresh;
    fresh.Serialize(bytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], i == 304 ? 7 : 0) << i;
    }
}

TEST(ExportSymbolInfoTest, TextsNeverOverrunTheirFields) {
    ExportSymbolInfo s;
    s.symbol = std::string(40, 'S');
    s.name = std::string(400, 'N');
    std::array<std::uint8_t, ExportSymbolInfo::kSize> bytes;
    bytes.fill(0xEE);
    s.Serialize(bytes);
    EXPECT_EQ(LoadFixedText(bytes.data(), 12), std::string(11, 'S'));
    EXPECT_EQ(LoadLE32(bytes.data() + 12), 0u);
    EXPECT_EQ(LoadFixedText(bytes.data() + 16, 260), std::string(259, 'N'));
    EXPECT_EQ(LoadLE32(bytes.data() + 276), 0u);
    // Fields without a terminator (a damaged file) read no further than their end.
    bytes.fill('X');
    const ExportSymbolInfo back = ExportSymbolInfo::Deserialize(bytes);
    EXPECT_EQ(back.symbol.size(), 12u);
    EXPECT_EQ(back.name.size(), 260u);
}

} // namespace
} // namespace mvr
