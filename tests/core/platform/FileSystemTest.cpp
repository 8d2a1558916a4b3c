#include "core/platform/FileSystem.h"

#include "core/platform/Paths.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::TempDir;
using test::WriteBytes;

TEST(FileSystemTest, ReadWholeFileGivesContentOrNothing) {
    TempDir dir;
    WriteBytes(dir.File("a"), {1, 2, 3});
    EXPECT_EQ(ReadWholeFile(dir.File("a")), (ByteBuffer{1, 2, 3}));
    EXPECT_FALSE(ReadWholeFile(dir.File("missing")).has_value());
    EXPECT_FALSE(ReadWholeFile(dir.File("a"), 2).has_value());
    WriteBytes(dir.File("empty"), {});
    EXPECT_EQ(ReadWholeFile(dir.File("empty")), ByteBuffer{});
}

TEST(FileSystemTest, ReadFileRangeGivesWhatLiesInTheRange) {
    TempDir dir;
    WriteBytes(dir.File("a"), {1, 2, 3, 4, 5});
    EXPECT_EQ(ReadFileRange(dir.File("a"), 0, 2), (ByteBuffer{1, 2}));
    EXPECT_EQ(ReadFileRange(dir.File("a"), 3, 10), (ByteBuffer{4, 5}));
    EXPECT_EQ(ReadFileRange(dir.File("a"), 9, 4), ByteBuffer{});
    EXPECT_FALSE(ReadFileRange(dir.File("missing"), 0, 4).has_value());
}

TEST(FileSystemTest, FindsFilesWhoseNameDiffersInCaseAndPrefersTheExactName) {
    TempDir dir;
    WriteBytes(dir.File("F1.DAT"), {1});
    WriteBytes(dir.File("Master"), {2});
    EXPECT_EQ(FindFileIgnoringCase(dir.Path(), "f1.DAT"), dir.File("F1.DAT"));
    EXPECT_EQ(FindFileIgnoringCase(dir.Path(), "MASTER"), dir.File("Master"));
    EXPECT_FALSE(FindFileIgnoringCase(dir.Path(), "EMASTER").has_value());
    EXPECT_EQ(ResolveFileName(dir.Path(), "EMASTER"), dir.File("EMASTER"));

    if (kCaseSensitiveFileNames) { // elsewhere "MASTER" is the file "Master"
        WriteBytes(dir.File("MASTER"), {3});
        EXPECT_EQ(FindFileIgnoringCase(dir.Path(), "MASTER"), dir.File("MASTER"));
    }
}

TEST(FileSystemTest, EntryExistsTakesTheNameExactly) {
    TempDir dir;
    EXPECT_TRUE(EntryExists(WithoutTrailingSeparator(dir.Path())));
    // A name that ends in a separator never names an entry.
    EXPECT_FALSE(EntryExists(dir.Path()));
    EXPECT_FALSE(EntryExists(""));
}

TEST(FileSystemTest, CreateFoldersMakesEveryMissingLevel) {
    TempDir dir;
    const std::string deep = JoinPath(JoinPath(dir.Path(), "a"), "b");
    EXPECT_TRUE(CreateFolders(deep));
    EXPECT_TRUE(IsDirectory(deep));
    EXPECT_TRUE(CreateFolders(deep));
}

TEST(PathsTest, TrailingSeparators) {
    const std::string s(1, kPathSeparator);
    EXPECT_EQ(WithTrailingSeparator("data"), "data" + s);
    EXPECT_EQ(WithTrailingSeparator("data" + s), "data" + s);
    EXPECT_EQ(WithTrailingSeparator(""), s);
    EXPECT_EQ(WithoutTrailingSeparator("data" + s), "data");
    EXPECT_EQ(WithoutTrailingSeparator("data"), "data");
    EXPECT_EQ(JoinPath("dir", "f1.DAT"), "dir" + s + "f1.DAT");
    EXPECT_EQ(FileNamePart("dir" + s + "f1.DAT"), "f1.DAT");
    EXPECT_EQ(ParentFolder("dir" + s + "f1.DAT"), "dir");
    EXPECT_TRUE(PathsEqual("D:\\Kurse\\", "d:\\kurse\\"));
}

#ifdef _WIN32
TEST(PathsTest, DriveLettersAndBothSlashesOnWindows) {
    EXPECT_EQ(JoinPath("C:\\Kurse", "F1.DAT"), "C:\\Kurse\\F1.DAT");
    EXPECT_EQ(JoinPath("C:\\Kurse/", "F1.DAT"), "C:\\Kurse/F1.DAT");
    EXPECT_EQ(ParentFolder("C:\\Kurse\\F1.DAT"), "C:\\Kurse");
    EXPECT_EQ(ParentFolder("C:/Kurse/F1.DAT"), "C:/Kurse");
    EXPECT_EQ(ParentFolder("C:\\F1.DAT"), "C:\\");
    EXPECT_EQ(ParentFolder("\\\\server\\kurse\\F1.DAT"), "\\\\server\\kurse");
    EXPECT_EQ(FileNamePart("C:/Kurse\\F1.DAT"), "F1.DAT");
    EXPECT_TRUE(EndsWithSeparator("C:\\"));
    EXPECT_TRUE(PathsEqual("c:/kurse/", "C:\\Kurse\\"));
    EXPECT_FALSE(PathsEqual("C:\\Kurse\\", "C:\\Kurse"));
}
#endif

} // namespace
} // namespace mvr
