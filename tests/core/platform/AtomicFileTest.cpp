#include "core/platform/AtomicFile.h"

#include "core/platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace mvr {
namespace {

using test::ReadBytes;
using test::TempDir;

const std::vector<std::uint8_t> kOld = {'o', 'l', 'd'};
const std::vector<std::uint8_t> kNew = {'n', 'e', 'w', '!', 0, 1};

class AtomicFileTest : public ::testing::Test {
protected:
    std::size_t EntriesInFolder() const { return ListFileNames(dir.Path()).size(); }

    TempDir dir;
};

TEST_F(AtomicFileTest, CreatesAndReplacesWithoutLeavingTemporaryFiles) {
    const std::string path = dir.File("MASTER");
    ASSERT_TRUE(WriteFileAtomically(path, kOld));
    EXPECT_EQ(ReadBytes(path), kOld);
    ASSERT_TRUE(WriteFileAtomically(path, kNew));
    EXPECT_EQ(ReadBytes(path), kNew);
    ASSERT_TRUE(WriteFileAtomically(path, {}));
    EXPECT_TRUE(ReadBytes(path).empty());
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(AtomicFileTest, InterruptionBeforeRenameKeepsTheOldContent) {
    const std::string path = dir.File("f1.DAT");
    ASSERT_TRUE(WriteFileAtomically(path, kOld));
    std::string interrupted;
    const CScopedAtomicWriteInterruption interruption([&](const std::string& target) {
        interrupted = target;
        return false;
    });
    EXPECT_FALSE(WriteFileAtomically(path, kNew));
    EXPECT_EQ(interrupted, path);
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(AtomicFileTest, InterruptedCreationLeavesNoFile) {
    const CScopedAtomicWriteInterruption interruption([](const std::string&) { return false; });
    EXPECT_FALSE(WriteFileAtomically(dir.File("new.prn"), kNew));
    EXPECT_FALSE(EntryExists(dir.File("new.prn")));
}

TEST_F(AtomicFileTest, AnInterruptionEndsWithItsScopeAndPutsBackTheOneBefore) {
    const std::string kept = dir.File("kept.prn");
    const std::string other = dir.File("other.prn");
    {
        const CScopedAtomicWriteInterruption outer(
            [&](const std::string& target) { return target != kept; });
        {
            const CScopedAtomicWriteInterruption inner([](const std::string&) { return false; });
            EXPECT_FALSE(WriteFileAtomically(other, kNew));
        }
        EXPECT_FALSE(WriteFileAtomically(kept, kNew));
        EXPECT_TRUE(WriteFileAtomically(other, kNew));
    }
    EXPECT_TRUE(WriteFileAtomically(kept, kNew));
}

TEST_F(AtomicFileTest, MissingFolderFails) {
    EXPECT_FALSE(WriteFileAtomically(dir.File("no-such-folder/x"), kNew));
}

#ifndef _WIN32
TEST_F(AtomicFileTest, KeepsPermissionsOfReplacedFileAndCreatesOwnerOnlyFiles) {
    const std::string shared = dir.File("shared.prn");
    ASSERT_TRUE(WriteFileAtomically(shared, kOld));
    ASSERT_EQ(chmod(shared.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(shared, kNew, NewFileAccess::OwnerOnly));
    struct stat info {};
    ASSERT_EQ(stat(shared.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    const std::string secret = dir.File("MVRExpUsr.cfg");
    ASSERT_TRUE(WriteFileAtomically(secret, kNew, NewFileAccess::OwnerOnly));
    ASSERT_EQ(stat(secret.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(AtomicFileTest, ReplacesTheFileASymbolicLinkNames) {
    const std::string real = dir.File("real.prn");
    const std::string link = dir.File("link.prn");
    ASSERT_TRUE(WriteFileAtomically(real, kOld));
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(link, kNew));
    EXPECT_EQ(ReadBytes(real), kNew);
    struct stat info {};
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}
#endif

TEST_F(AtomicFileTest, AppendKeepsExistingContent) {
    const std::string path = dir.File("import.txt");
    ASSERT_TRUE(AppendFileAtomically(path, kOld));
    ASSERT_TRUE(AppendFileAtomically(path, kNew));
    std::vector<std::uint8_t> both = kOld;
    both.insert(both.end(), kNew.begin(), kNew.end());
    EXPECT_EQ(ReadBytes(path), both);
}

TEST_F(AtomicFileTest, AGroupReplacesItsTargetsOnlyWhenCommitted) {
    const std::string existing = dir.File("F1.DAT");
    const std::string created = dir.File("F2.DAT");
    ASSERT_TRUE(WriteFileAtomically(existing, kOld));
    CAtomicFileGroup group;
    ASSERT_TRUE(group.Stage(existing, kNew));
    ASSERT_TRUE(group.Stage(created, kNew));
    EXPECT_FALSE(group.Stage(dir.File("missing/F3.DAT"), kNew));
    EXPECT_EQ(group.StagedCount(), 2u);
    // Staged is not yet written: readers still see the old state.
    EXPECT_EQ(ReadBytes(existing), kOld);
    EXPECT_FALSE(EntryExists(created));

    EXPECT_EQ(group.Commit(), (std::vector<bool>{true, true}));
    EXPECT_EQ(ReadBytes(existing), kNew);
    EXPECT_EQ(ReadBytes(created), kNew);
    EXPECT_EQ(EntriesInFolder(), 2u);
    EXPECT_EQ(group.StagedCount(), 0u);
    EXPECT_TRUE(group.Commit().empty());
}

TEST_F(AtomicFileTest, AGroupThatIsNotCommittedLeavesNothingBehind) {
    const std::string path = dir.File("F1.DAT");
    ASSERT_TRUE(WriteFileAtomically(path, kOld));
    {
        CAtomicFileGroup group;
        ASSERT_TRUE(group.Stage(path, kNew));
        ASSERT_TRUE(group.Stage(dir.File("F2.DAT"), kNew));
    }
    EXPECT_EQ(ReadBytes(path), kOld);
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(AtomicFileTest, AnInterruptedTargetOfAGroupKeepsItsOldContentAlone) {
    const std::string first = dir.File("F1.DAT");
    const std::string second = dir.File("F2.DAT");
    const std::string third = dir.File("F3.DAT");
    for (const std::string& path : {first, second, third}) {
        ASSERT_TRUE(WriteFileAtomically(path, kOld));
    }
    const CScopedAtomicWriteInterruption interruption(
        [&](const std::string& target) { return target != second; });
    CAtomicFileGroup group;
    for (const std::string& path : {first, second, third}) {
        ASSERT_TRUE(group.Stage(path, kNew));
    }
    EXPECT_EQ(group.Commit(), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(ReadBytes(first), kNew);
    EXPECT_EQ(ReadBytes(second), kOld);
    EXPECT_EQ(ReadBytes(third), kNew);
    EXPECT_EQ(EntriesInFolder(), 3u);
}

#ifndef _WIN32
TEST_F(AtomicFileTest, AGroupKeepsThePermissionsOfTheFilesItReplaces) {
    const std::string shared = dir.File("shared.prn");
    ASSERT_TRUE(WriteFileAtomically(shared, kOld));
    ASSERT_EQ(chmod(shared.c_str(), 0640), 0);
    CAtomicFileGroup group;
    ASSERT_TRUE(group.Stage(shared, kNew));
    ASSERT_EQ(group.Commit(), (std::vector<bool>{true}));
    struct stat info {};
    ASSERT_EQ(stat(shared.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}
#endif

} // namespace
} // namespace mvr
