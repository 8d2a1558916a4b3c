// A file keeps prices and volumes at its own precision (three decimals in an
// ASCII column, single precision for a MetaStock volume): values read back
// must not drift from one rewrite to the next, and a download that differs
// from the stored bar only beyond that precision is no change.

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/FormatCatalogue.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::vector<std::uint8_t> kMarker = {'m', 'a', 'r', 'k'};

ExportSymbolInfo Symbol() {
    ExportSymbolInfo s;
    s.symbol = "BIGVOL";
    s.fileNumber = 1;
    s.fieldCount = 7;
    return s;
}

PERIODE Bar(int dayOffset, float close, std::int32_t volume) {
    PERIODE bar;
    bar.dayNumber = DatumToDayNumber(DATUM{4, 1, 2021}) + dayOffset;
    bar.open = close - 0.25f;
    bar.high = close + 1.0f;
    bar.low = close - 1.0f;
    bar.close = close;
    bar.volume = volume;
    bar.isNew = 1;
    return bar;
}

// Writes the history as the file of `formatType` and reads it back.
CExportDataFile WrittenAndRead(const TempDir& dir, int formatType, const PriceHistory& history) {
    CExportDataFile writer;
    writer.BuildFileName(dir.Path(), Symbol(), formatType);
    writer.History() = history;
    EXPECT_TRUE(writer.Write(true));
    CExportDataFile reader;
    EXPECT_TRUE(reader.Read(dir.Path(), Symbol(), formatType));
    return reader;
}

TEST(StoredPrecisionTest, AsciiVolumesAboveSinglePrecisionReadBackExactlyAndNeverDrift) {
    const std::vector<std::int32_t> volumes = {16777217, 73610100, 2147483647, 0, 1};
    PriceHistory history;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        history.push_back(Bar(static_cast<int>(i), 12.3456789f + static_cast<float>(i), volumes[i]));
    }
    for (const int type : {kFormatAsciiComma, kFormatAsciiTab, kFormatAsciiCommaLongYear,
                           kFormatAsciiIntraday}) {
        TempDir dir;
        CExportDataFile file = WrittenAndRead(dir, type, history);
        ASSERT_EQ(file.History().size(), volumes.size()) << type;
        for (std::size_t i = 0; i < volumes.size(); ++i) {
            EXPECT_EQ(file.History()[i].volume, volumes[i]) << type << " bar " << i;
        }
        const auto firstImage = ReadBytes(file.FilePath());
        for (int round = 0; round < 10; ++round) {
            ASSERT_TRUE(file.Write(true));
            ASSERT_TRUE(file.Read(dir.Path(), Symbol(), type));
            ASSERT_EQ(ReadBytes(file.FilePath()), firstImage) << type << " round " << round;
        }
    }
}

TEST(StoredPrecisionTest, AsciiDownloadEqualAtThreeDecimalsChangesNothingAndWritesNothing) {
    TempDir dir;
    CExportDataFile file = WrittenAndRead(dir, kFormatAsciiComma, {Bar(0, 10.1234f, 500)});
    WriteBytes(file.FilePath(), kMarker); // replaced only by a real write

    file.Merge({Bar(0, 10.12341f, 500)});
    ASSERT_EQ(file.History().size(), 1u);
    EXPECT_EQ(file.History()[0].isNew, 0) << "the stored bar stays";
    EXPECT_TRUE(file.Write(false));
    EXPECT_EQ(ReadBytes(file.FilePath()), kMarker);

    // A difference the file keeps is a change, and is written.
    EXPECT_FALSE(file.KeepsSameValues(Bar(0, 10.125f, 500), file.History()[0]));
    EXPECT_FALSE(file.KeepsSameValues(Bar(0, 10.1234f, 501), file.History()[0]));
    file.Merge({Bar(0, 10.125f, 500)});
    EXPECT_EQ(file.History()[0].isNew, 1);
    EXPECT_TRUE(file.Write(false));
    EXPECT_NE(ReadBytes(file.FilePath()), kMarker);
    // With force the file is written even when nothing changed.
    ASSERT_TRUE(file.Read(dir.Path(), Symbol(), kFormatAsciiComma));
    WriteBytes(file.FilePath(), kMarker);
    EXPECT_TRUE(file.Write(true));
    EXPECT_NE(ReadBytes(file.FilePath()), kMarker);
}

TEST(StoredPrecisionTest, MetaStockVolumesCompareAtSinglePrecision) {
    TempDir dir;
    CExportDataFile file = WrittenAndRead(dir, kFormatMetaStock, {Bar(0, 55.5f, 73610100)});
    ASSERT_EQ(file.History().size(), 1u);
    EXPECT_EQ(file.History()[0].volume, 73610096) << "what the single-precision field keeps";
    const auto image = ReadBytes(file.FilePath());

    file.Merge({Bar(0, 55.5f, 73610100)});
    EXPECT_EQ(file.History()[0].isNew, 0);
    EXPECT_TRUE(file.Write(false));
    EXPECT_EQ(ReadBytes(file.FilePath()), image);

    // A volume the field tells apart is a change.
    file.Merge({Bar(0, 55.5f, 73610200)});
    EXPECT_EQ(file.History()[0].isNew, 1);
}

} // namespace
} // namespace mvr
