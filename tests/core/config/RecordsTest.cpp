#include "core/config/DirListInfo.h"
#include "core/config/ExportInfo.h"
#include "core/config/UserInfo.h"
#include "core/config/WindowLayout.h"
#include "core/platform/Bytes.h"
#include "core/platform/ByteStream.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using Record = std::array<std::uint8_t, MVRKrsExportInfo::kSize>;

TEST(ExportInfoTest, NewRecordIsZeroButTheInterval) {
    Record bytes;
    bytes.fill(0xEE);
    MVRKrsExportInfo{}.Serialize(bytes);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], i == 540 ? 10 : 0) << i;
    }
}

TEST(ExportInfoTest, FieldsSitAtTheirOffsetsAndRoundTrip) {
    MVRKrsExportInfo info;
    info.path = "/data/ms/";
    info.formatType = 4;
    info.startDate = 38418.0;
    info.symbolCount = 12;
    info.catalogueId = 77;
    info.catalogueName = "Indices/Germany/DAX";
    info.interval = 5;
    info.reserved = 0x1234;
    Record bytes{};
    info.Serialize(bytes);
    EXPECT_EQ(LoadFixedText(bytes.data(), 260), "/data/ms/");
    EXPECT_EQ(LoadLEInt32(bytes.data() + 260), 4);
    EXPECT_EQ(LoadLEDouble(bytes.data() + 264), 38418.0);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 272), 12);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 276), 77);
    EXPECT_EQ(LoadFixedText(bytes.data() + 280, 260), "Indices/Germany/DAX");
    EXPECT_EQ(LoadLE16(bytes.data() + 540), 5);
    EXPECT_EQ(LoadLE16(bytes.data() + 542), 0x1234);
    EXPECT_EQ(MVRKrsExportInfo::Deserialize(bytes), info);
}

TEST(ExportInfoTest, OverlongTextsAreCutInsideTheirFields) {
    MVRKrsExportInfo info;
    info.path = std::string(400, 'p');
    info.catalogueName = std::string(400, 'c');
    Record bytes{};
    info.Serialize(bytes);
    const MVRKrsExportInfo back = MVRKrsExportInfo::Deserialize(bytes);
    EXPECT_EQ(back.path, std::string(259, 'p'));
    EXPECT_EQ(back.catalogueName, std::string(259, 'c'));
    EXPECT_EQ(back.interval, 10);
}

TEST(DirListInfoTest, MembershipIgnoresCase) {
    CMVRDirListInfo list;
    EXPECT_EQ(list.kind, 50);
    EXPECT_TRUE(list.AddPath("D:\\Kurse\\"));
    EXPECT_TRUE(list.ContainsPath("d:\\kurse\\"));
    EXPECT_FALSE(list.AddPath("d:\\KURSE\\"));
    EXPECT_FALSE(list.RemovePath("d:\\other\\"));
    list.paths.push_back("d:\\kurse\\");
    EXPECT_TRUE(list.RemovePath("D:\\KURSE\\"));
    ASSERT_EQ(list.paths.size(), 1u);
    EXPECT_EQ(list.paths[0], "d:\\kurse\\");
}

TEST(DirListInfoTest, RecordLayoutAndTruncatedRecords) {
    CMVRDirListInfo list;
    list.name = "Daily";
    list.kind = 5;
    list.paths = {"/a/", "/b/"};
    CByteWriter out;
    list.Serialize(out);
    const auto bytes = out.Release();
    ASSERT_EQ(bytes.size(), 268u + 2 * 260);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 260), 5);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 264), 2);
    EXPECT_EQ(LoadFixedText(bytes.data() + 528, 260), "/b/");

    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        CByteReader in(std::span(bytes.data(), cut));
        CMVRDirListInfo back;
        const bool made = CMVRDirListInfo::Deserialize(in, &back);
        EXPECT_EQ(made, cut >= 260) << cut;
        EXPECT_LE(back.paths.size(), cut < 268 ? 0u : (cut - 268) / 260) << cut;
        if (cut == bytes.size()) {
            EXPECT_EQ(back, list);
        }
    }
}

TEST(UserInfoTest, ScrambledPasswordDiffersEverywhereAndRoundTrips) {
    ExportUserInfo info;
    info.account = "123456";
    info.password = "SECRET PASSWORD ~!";
    const auto bytes = info.Serialize();
    ASSERT_EQ(bytes.size(), 1284u);
    for (std::size_t i = 0; i < info.password.size(); ++i) {
        EXPECT_NE(bytes[268 + i], static_cast<std::uint8_t>(info.password[i])) << i;
        EXPECT_NE(bytes[268 + i], 0) << i;
    }
    bool sortRead = false;
    EXPECT_EQ(ExportUserInfo::Deserialize(bytes, &sortRead), info);
    EXPECT_TRUE(sortRead);
}

TEST(UserInfoTest, ScrambleIsItsOwnInverse) {
    char text[16] = "Abc xyz 123";
    ScramblePassword(text, sizeof text);
    EXPECT_STRNE(text, "Abc xyz 123");
    ScramblePassword(text, sizeof text);
    EXPECT_STREQ(text, "Abc xyz 123");
}

TEST(UserInfoTest, StorablePasswords) {
    EXPECT_TRUE(IsStorablePassword(std::string(127, 'Z')));
    EXPECT_TRUE(IsStorablePassword(""));
    EXPECT_FALSE(IsStorablePassword(std::string(260, 'a')));
    // Position 0 of a byte equal to the mask would be stored as the terminator.
    EXPECT_FALSE(IsStorablePassword(std::string(1, static_cast<char>(0xA7))));
}

TEST(UserInfoTest, InitialValuesAndLayout) {
    const ExportUserInfo info;
    const auto bytes = info.Serialize();
    EXPECT_EQ(LoadLEInt32(bytes.data()), 0x10000);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 4), 1284);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 528), -1);
    EXPECT_EQ(LoadFixedText(bytes.data() + 536, 260), "input.txt");
    EXPECT_EQ(LoadFixedText(bytes.data() + 796, 260), "output.txt");
}

TEST(UserInfoTest, OlderLayoutIsBytes8To1055) {
    ExportUserInfo current;
    current.account = "4711";
    current.password = "PW";
    current.formatFilter = 5;
    current.activeListEntry = 2;
    current.definitionInput = "in.def";
    current.definitionOutput = "out.asc";
    const auto full = current.Serialize();
    const std::vector<std::uint8_t> older(full.begin() + 8, full.begin() + 1056);
    bool sortRead = true;
    const ExportUserInfo back = ExportUserInfo::Deserialize(older, &sortRead);
    EXPECT_FALSE(sortRead);
    EXPECT_TRUE(back.IsOlderLayout());
    EXPECT_EQ(back.size, 1284);
    EXPECT_EQ(back.account, "4711");
    EXPECT_EQ(back.password, "PW");
    EXPECT_EQ(back.formatFilter, 5);
    EXPECT_EQ(back.activeListEntry, 2);
    EXPECT_EQ(back.definitionInput, "in.def");
    EXPECT_EQ(back.definitionOutput, "out.asc");
    EXPECT_EQ(back.symbolSortColumn, ExportUserInfo{}.symbolSortColumn);
}

TEST(UserInfoTest, ShortFilesOverlayTheInitialValues) {
    ExportUserInfo current;
    current.account = "4711";
    auto bytes = current.Serialize();
    bytes.resize(100);
    bool sortRead = false;
    const ExportUserInfo back = ExportUserInfo::Deserialize(bytes, &sortRead);
    EXPECT_EQ(back.account, "4711");
    EXPECT_EQ(back.definitionInput, "input.txt");
    EXPECT_EQ(ExportUserInfo::Deserialize({}, &sortRead), ExportUserInfo{});
    EXPECT_FALSE(sortRead);
}

TEST(WindowLayoutTest, FourColumnsGive116Bytes) {
    WindowLayout layout;
    layout.mainPlacement.length = 44;
    layout.mainPlacement.right = 800;
    layout.splitterPosition = 420;
    layout.columnWidths = {180, 150, 40, 130};
    layout.searchPlacement.length = 44;
    layout.searchSplitterPosition = 250;
    const auto bytes = layout.Serialize();
    ASSERT_EQ(bytes.size(), 116u);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 36), 800);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 44), 420);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 48), 4);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 64), 130);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 68), 44);
    EXPECT_EQ(LoadLEInt32(bytes.data() + 112), 250);
    WindowLayout back = WindowLayout::Deserialize(bytes);
    EXPECT_TRUE(back.mainPlacementRead);
    back.mainPlacementRead = false;
    EXPECT_EQ(back, layout);
}

TEST(WindowLayoutTest, DamagedFilesLoadWhatIsPlausible) {
    WindowLayout layout;
    layout.splitterPosition = 300;
    layout.columnWidths = {1, 2, 3, 4};
    layout.searchPlacement.length = 44;
    layout.searchSplitterPosition = 9;
    auto bytes = layout.Serialize();

    EXPECT_FALSE(WindowLayout::Deserialize(std::span(bytes.data(), 43)).mainPlacementRead);
    EXPECT_EQ(WindowLayout::Deserialize(std::span(bytes.data(), 48)).splitterPosition, 300);

    StoreLEInt32(bytes.data() + 48, 1 << 30); // implausible column count
    const WindowLayout damaged = WindowLayout::Deserialize(bytes);
    EXPECT_EQ(damaged.splitterPosition, 300);
    EXPECT_TRUE(damaged.columnWidths.empty());
    EXPECT_FALSE(damaged.searchPlacement.IsStored());
    EXPECT_EQ(damaged.searchSplitterPosition, 0);

    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        WindowLayout::Deserialize(std::span(bytes.data(), cut));
    }
}

} // namespace
} // namespace mvr
