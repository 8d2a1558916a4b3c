#include "core/legacy/LegacyFormats.h"

#include "LegacyFileBuilder.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::AppendKvloDirectory;
using test::AppendKvloHeader;
using test::AppendKvloList;
using test::AppendKvloText;
using test::BuildKvloDat;
using test::LegacyDirectorySpec;
using test::LegacyFormatSpec;
using test::LegacyListSpec;

using Formats = std::vector<Cqdx_kvlo_format_info>;

std::vector<LegacyFormatSpec> SampleInstallation() {
    LegacyDirectorySpec ascii{"C:\\Kurse\\Ascii\\", {{"SAP", "SAP SE"}, {"BAY", "Bayer"}}};
    LegacyDirectorySpec hermes{"C:\\Kurse\\Hermes", {{std::string(12, 'S'), std::string(50, 'N')}}};
    LegacyDirectorySpec metastock{std::string(256, 'M'), {}};
    return {
        {"ASC", "ASCII comma", 5, {{"Daily", {ascii, hermes}}, {"", {}}}, {ascii, hermes}},
        {std::string(8, 'm'),
         std::string(256, 'n'),
         4,
         {{std::string(256, 'L'), {metastock}}},
         {metastock}},
        {"", "", 200, {}, {}},
    };
}

Formats Expected(const std::vector<LegacyFormatSpec>& wantedEntries) {
    const auto directory = [](const LegacyDirectorySpec& d) {
        return Cqdx_kvlo_directory_info{d.path};
    };
    Formats formats;
    for (const LegacyFormatSpec& contents : wantedEntries) {
        Cqdx_kvlo_format_info format{
            contents.shortName, contents.name, contents.formatType, {}, {}};
        for (const LegacyListSpec& list : contents.lists) {
            Cprev_kvlo_list_info& added = format.lists.emplace_back();
            added.name = list.name;
            for (const LegacyDirectorySpec& d : list.directories) {
                added.directories.push_back(directory(d));
            }
        }
        for (const LegacyDirectorySpec& d : contents.directories) {
            format.directories.push_back(directory(d));
        }
        formats.push_back(std::move(format));
    }
    return formats;
}

TEST(ReadFormatsTest, ReadsFormatsListsAndDirectoriesWithTextsUpToTheirFieldSizes) {
    const auto wantedEntries = SampleInstallation();
    Formats formats;
    ASSERT_TRUE(ReadFormats(BuildKvloDat(wantedEntries), &formats));
    EXPECT_EQ(formats, Expected(wantedEntries));
    // Paths stay as stored, with or without their trailing separator.
    EXPECT_EQ(formats[0].directories[0].path, "C:\\Kurse\\Ascii\\");
    EXPECT_EQ(formats[2].formatType, 200);
}

TEST(ReadFormatsTest, HeaderAloneWithoutFormatsIsAnEmptyConfiguration) {
    const ByteBuffer file = BuildKvloDat({});
    ASSERT_EQ(file.size(), 298u);
    Formats formats{Cqdx_kvlo_format_info{}};
    ASSERT_TRUE(ReadFormats(file, &formats));
    EXPECT_TRUE(formats.empty());
}

TEST(ReadFormatsTest, FileEndingInsideTheSecondListFailsAsAWholeAndKeepsTheCallersArray) {
    std::vector<LegacyFormatSpec> wantedEntries = {
        {"A", "A", 5, {{"One", {}}, {"Two", {{"C:\\X", {}}}}}, {}}};
    ByteBuffer file = BuildKvloDat(wantedEntries);
    CByteWriter upToSecondList;
    AppendKvloHeader(upToSecondList, 1);
    AppendKvloText(upToSecondList, "A");
    AppendKvloText(upToSecondList, "A");
    upToSecondList.AppendZeros(1 + 12 + 4); // type, unused fields, list count
    AppendKvloList(upToSecondList, {"One", {}});
    const std::size_t cut = upToSecondList.Bytes().size() + 10; // inside the second list record
    ASSERT_LT(cut, file.size() - 8);
    file.resize(cut);

    Formats formats = Expected(SampleInstallation());
    const Formats before = formats;
    EXPECT_FALSE(ReadFormats(file, &formats));
    EXPECT_EQ(formats, before);
}

TEST(ReadFormatsTest, TextsLongerThanTheirFieldsRejectTheFile) {
    const auto withText = [](int field, const std::string& text) {
        LegacyDirectorySpec directory{"C:\\D", {{"SYM", "Name"}}};
        LegacyFormatSpec format{"S", "N", 5, {{"L", {directory}}}, {directory}};
        switch (field) {
        case 0:
            format.shortName = text;
            break;
        case 1:
            format.name = text;
            break;
        case 2:
            format.lists[0].name = text;
            break;
        case 3:
            format.directories[0].path = text;
            break;
        case 4:
            format.lists[0].directories[0].symbols[0].symbol = text;
            break;
        default:
            format.directories[0].symbols[0].name = text;
            break;
        }
        return BuildKvloDat({format});
    };
    const std::size_t fieldSizes[] = {9, 257, 257, 257, 13, 51};
    for (int field = 0; field < 6; ++field) {
        const std::size_t size = fieldSizes[field];
        Formats formats;
        EXPECT_TRUE(ReadFormats(withText(field, std::string(size - 1, 'x')), &formats)) << field;
        EXPECT_FALSE(ReadFormats(withText(field, std::string(size, 'x')), &formats)) << field;
    }

    // The stored bytes must fit the field: all of them, terminator included.
    const auto withShortName = [](std::vector<std::uint8_t> stored) {
        CByteWriter out;
        AppendKvloHeader(out, 1);
        out.AppendLE32(static_cast<std::uint32_t>(stored.size()));
        out.AppendBytes(stored);
        const ByteBuffer rest = BuildKvloDat({{"", "N", 5, {}, {}}});
        out.AppendBytes(std::span(rest).subspan(298 + 5)); // the record after its short name
        return out.Release();
    };
    std::vector<std::uint8_t> stored(9, 'x');
    Formats formats;
    EXPECT_FALSE(ReadFormats(withShortName(stored), &formats)); // no terminator
    stored.back() = 0;
    EXPECT_TRUE(ReadFormats(withShortName(stored), &formats));
    stored = {'A', 'B', 0, 0, 0, 0, 0, 0, 0, 0}; // a short text in a length beyond the field
    EXPECT_FALSE(ReadFormats(withShortName(stored), &formats));
}

TEST(ReadFormatsTest, TextEndsAtItsFirstZeroAndALengthOfZeroIsEmpty) {
    CByteWriter out;
    AppendKvloHeader(out, 1);
    out.AppendLE32(6);
    out.AppendBytes(std::vector<std::uint8_t>{'A', 'B', 0, 'C', 'D', 0});
    out.AppendLE32(0);         // empty name, no bytes at all
    out.AppendZeros(1)[0] = 9; // format type
    out.AppendZeros(12);       // unused
    out.AppendLE32(0);         // no lists
    out.AppendLE32(0);         // unused
    out.AppendLE32(1);         // one directory
    AppendKvloDirectory(out, {"P", {}});
    out.AppendZeros(5); // trailing bytes are not looked at
    Formats formats;
    ASSERT_TRUE(ReadFormats(out.Bytes(), &formats));
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].shortName, "AB");
    EXPECT_EQ(formats[0].name, "");
    EXPECT_EQ(formats[0].formatType, 9);
    EXPECT_EQ(formats[0].directories, (std::vector<Cqdx_kvlo_directory_info>{{"P"}}));
}

// Counts of more records than the file could hold are refused before anything
// is allocated for them; a reader that reserved by them would exhaust memory.
TEST(ReadFormatsTest, CountsBeyondTheFileAreRefused) {
    for (const std::uint32_t huge : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x10000000u}) {
        Formats formats;
        CByteWriter formatCount;
        AppendKvloHeader(formatCount, huge);
        EXPECT_FALSE(ReadFormats(formatCount.Bytes(), &formats));

        CByteWriter listCount;
        AppendKvloHeader(listCount, 1);
        AppendKvloText(listCount, "S");
        AppendKvloText(listCount, "N");
        listCount.AppendZeros(13);
        listCount.AppendLE32(huge);
        AppendKvloList(listCount, {"L", {}});
        EXPECT_FALSE(ReadFormats(listCount.Bytes(), &formats));

        CByteWriter symbolCount;
        AppendKvloHeader(symbolCount, 1);
        AppendKvloText(symbolCount, "S");
        AppendKvloText(symbolCount, "N");
        symbolCount.AppendZeros(13 + 4 + 4); // type, unused, no lists, unused
        symbolCount.AppendLE32(1);
        AppendKvloText(symbolCount, "C:\\D");
        symbolCount.AppendZeros(8);
        symbolCount.AppendLE32(huge);
        symbolCount.AppendZeros(64);
        EXPECT_FALSE(ReadFormats(symbolCount.Bytes(), &formats));
        EXPECT_TRUE(formats.empty());
    }

    // A text length beyond the end of the file.
    CByteWriter out;
    AppendKvloHeader(out, 1);
    out.AppendLE32(5);
    out.AppendBytes(std::vector<std::uint8_t>{'A', 'B', 0});
    Formats formats;
    EXPECT_FALSE(ReadFormats(out.Bytes(), &formats));
}

} // namespace
} // namespace mvr
