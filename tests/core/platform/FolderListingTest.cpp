#include "core/platform/FolderListing.h"

#include "core/platform/FileSystem.h"
#include "core/platform/NativePath.h"
#include "support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace mvr {
namespace {

using test::TempDir;
using test::WriteBytes;

// Moves the folder's time into the past, so that any later change to the
// folder shows as a different modification time.
void AgeFolder(const std::string& folder) {
#ifdef _WIN32
    // The C runtime sets no times of a folder; the handle must be opened for one.
    const HANDLE handle = CreateFileW(NativePath(folder).c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    FILETIME written{};
    ASSERT_TRUE(GetFileTime(handle, nullptr, nullptr, &written));
    ULARGE_INTEGER time{};
    time.LowPart = written.dwLowDateTime;
    time.HighPart = written.dwHighDateTime;
    time.QuadPart -= 36'000'000'000ULL; // one hour in 100-ns ticks
    written.dwLowDateTime = time.LowPart;
    written.dwHighDateTime = time.HighPart;
    EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &written));
    CloseHandle(handle);
#else
    const std::filesystem::path path = NativePath(folder);
    const auto now = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, now - std::chrono::hours(1));
#endif
}

TEST(FolderListingTest, ResolvesNamesWithoutRegardToCaseListingOnce) {
    TempDir dir;
    for (int i = 1; i <= 50; ++i) {
        WriteBytes(dir.File("F" + std::to_string(i) + ".DAT"), {1});
    }
    CFolderListing listing(dir.Path());
    for (int i = 1; i <= 50; ++i) {
        const std::string name = "f" + std::to_string(i) + ".DAT";
        EXPECT_EQ(listing.Find(name), dir.File("F" + std::to_string(i) + ".DAT"));
    }
    EXPECT_FALSE(listing.Find("f51.DAT").has_value());
    EXPECT_EQ(listing.Resolve("f51.DAT"), dir.File("f51.DAT"));
    EXPECT_EQ(listing.ListingCount(), 1u);
}

TEST(FolderListingTest, PrefersTheExactNameAndTheSmallestOfSeveralSpellings) {
    if (!kCaseSensitiveFileNames) {
        GTEST_SKIP() << "this file system holds one file of all these spellings";
    }
    TempDir dir;
    WriteBytes(dir.File("Master"), {1});
    WriteBytes(dir.File("MASTER"), {2});
    WriteBytes(dir.File("master"), {3});
    CFolderListing listing(dir.Path());
    EXPECT_EQ(listing.Find("master"), dir.File("master"));
    EXPECT_EQ(listing.Find("MaStEr"), dir.File("MASTER"));
}

TEST(FolderListingTest, NotesOwnChangesAndListsAgainAfterOthersChangedTheFolder) {
    TempDir dir;
    WriteBytes(dir.File("A.PRN"), {1});
    CFolderListing listing(dir.Path());
    AgeFolder(dir.Path());
    EXPECT_TRUE(listing.Find("a.prn").has_value());
    EXPECT_EQ(listing.ListingCount(), 1u);

    // Files this process writes and removes are noted, not listed again.
    WriteBytes(dir.File("B.PRN"), {1});
    listing.NoteCreated(dir.File("B.PRN"));
    EXPECT_EQ(listing.Find("b.prn"), dir.File("B.PRN"));
    ASSERT_TRUE(RemoveFile(dir.File("A.PRN")));
    listing.NoteRemoved(dir.File("A.PRN"));
    EXPECT_FALSE(listing.Find("a.prn").has_value());
    EXPECT_EQ(listing.ListingCount(), 1u);

    // Another program adds a file: the folder's time changes and the listing is taken again.
    AgeFolder(dir.Path());
    listing.NoteCreated(dir.File("B.PRN")); // remember the aged time
    WriteBytes(dir.File("C.PRN"), {1});
    EXPECT_EQ(listing.Find("c.prn"), dir.File("C.PRN"));
    EXPECT_EQ(listing.ListingCount(), 2u);
    EXPECT_EQ(listing.Names(), (std::vector<std::string>{"B.PRN", "C.PRN"}));
}

TEST(FolderListingTest, AMissingFolderHasNoFiles) {
    TempDir dir;
    CFolderListing listing(dir.File("missing/"));
    EXPECT_FALSE(listing.Find("MASTER").has_value());
    EXPECT_TRUE(listing.Names().empty());
}

} // namespace
} // namespace mvr
