#include "core/legacy/LegacyFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::TempDir;
using test::WriteBytes;

TEST(ReadLegacyFileTest, FindsTheFileInAnyLetterCaseAndReadsNoMoreThanTheLimit) {
    TempDir dir;
    const ByteBuffer bytes = {1, 2, 3, 4, 5, 6, 7, 8};
    WriteBytes(dir.File("KVLO.DAT"), bytes);
    const std::string folder = dir.Path().substr(0, dir.Path().size() - 1);

    EXPECT_EQ(ReadLegacyFile(folder, kLegacyFormatsFileName, 100), bytes);
    EXPECT_EQ(ReadLegacyFile(dir.Path(), "kvlo.dat", 3), (ByteBuffer{1, 2, 3}));
    EXPECT_EQ(ReadLegacyFile(dir.Path(), "kvlo.sdb", 100), std::nullopt);
    EXPECT_EQ(ReadLegacyFile(dir.File("missing"), "kvlo.dat", 100), std::nullopt);

    WriteBytes(dir.File("kvlo.sdb"), {});
    EXPECT_EQ(ReadLegacyFile(dir.Path(), "kvlo.sdb", 100), ByteBuffer{});
}

} // namespace
} // namespace mvr
