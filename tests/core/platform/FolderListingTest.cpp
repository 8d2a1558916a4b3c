#include "core/platform/FolderListing.h"

#include "core/platform/FileSystem.h"
#include "support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::TempDir;
using test::WriteBytes;

// Moves the folder's time into the past, so that any later change to the
// folder shows as a different modification time.
void AgeFolder(const std::string& folder) {
    const auto now = std::filesystem::last_write_time(folder);
    std::filesystem::last_write_time(folder, now - std::chrono::hours(1));
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
