// Appending under a rollback journal: every file of a group old or new after
// an interruption at any step, once the folder's journal is recovered.

#include "core/platform/AppendJournal.h"

#include "core/platform/FileSystem.h"
#include "support/Sweep.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace mvr {
namespace {

using namespace std::string_view_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes Text(std::string_view text) {
    return {text.begin(), text.end()};
}

// The results of a commit of the three staged files.
std::vector<bool> AllOf(bool appended) {
    return std::vector<bool>(3, appended);
}

class AppendJournalTest : public ::testing::Test {
protected:
    // Three files: two with a counted header, one plain text file.
    void SetUp() override {
        old_ = {{"F1.DAT", Text("\x00\x00\x03\x00"
                                "AAAABBBB"sv)},
                {"F2.DAT", Text("\x00\x00\x02\x00"
                                "CCCC"sv)},
                {"LINES.TXT", Text("1,2\n3,4\n"sv)}};
        for (const auto& [name, bytes] : old_) {
            test::WriteBytes(dir_.File(name), bytes);
        }
        fresh_ = {{"F1.DAT", Text("\x00\x00\x04\x00"
                                  "AAAABBBBDDDD"sv)},
                  {"F2.DAT", Text("\x00\x00\x04\x00"
                                  "CCCCEEEEFFFF"sv)},
                  {"LINES.TXT", Text("1,2\n3,4\n5,6\n"sv)}};
    }

    void StageInto(CFileAppendGroup& group) const {
        group.Stage("F1.DAT", 12, Text("\x00\x00\x04\x00"sv), Text("DDDD"sv));
        group.Stage("F2.DAT", 8, Text("\x00\x00\x04\x00"sv), Text("EEEEFFFF"sv));
        group.Stage("LINES.TXT", 8, {}, Text("5,6\n"sv));
    }

    std::map<std::string, Bytes> Folder() const { return test::FolderContents(dir_.Path()); }

    test::TempDir dir_;
    std::map<std::string, Bytes> old_;
    std::map<std::string, Bytes> fresh_;
};

TEST_F(AppendJournalTest, JournalBytesRoundTripAndEveryCutOrFlipIsRefused) {
    const std::vector<AppendJournalEntry> entries = {{"F1.DAT", 12, Text("\x00\x00\x03\x00"sv)},
                                                     {"LINES.TXT", 8, {}},
                                                     {"F2.DAT", 1ull << 33, {}}};
    const Bytes bytes = EncodeAppendJournal(entries);
    EXPECT_EQ(DecodeAppendJournal(bytes), entries);
    EXPECT_EQ(DecodeAppendJournal(EncodeAppendJournal({})), std::vector<AppendJournalEntry>{});
    for (const std::size_t cut : test::SweepPoints(bytes.size(), 0, 3)) {
        EXPECT_FALSE(DecodeAppendJournal(std::span(bytes).first(cut))) << "cut at " << cut;
    }
    for (const std::size_t at : test::SweepPoints(bytes.size(), 0, 5)) {
        Bytes flipped = bytes;
        flipped[at] ^= 0x10;
        EXPECT_FALSE(DecodeAppendJournal(flipped)) << "byte " << at;
    }
}

TEST_F(AppendJournalTest, ACommitAppendsEveryFileAndLeavesNoJournal) {
    CFileAppendGroup group(dir_.Path());
    StageInto(group);
    ASSERT_EQ(group.Commit(), AllOf(true)) << group.LastError().message();
    EXPECT_EQ(Folder(), fresh_);
    EXPECT_EQ(group.StagedCount(), 0u);
    EXPECT_EQ(RecoverInterruptedAppend(dir_.Path()), AppendRecovery::NoJournal);
}

// Each step where a kill leaves its own state; the recovery then gives every
// file back as it was, journal gone, and a second recovery finds nothing.
TEST_F(AppendJournalTest, AnInterruptionAtAnyStepIsRolledBackOnRecovery) {
    const AppendStep steps[] = {AppendStep::JournalWritten, AppendStep::JournalFlushed,
                                AppendStep::FileAppended, AppendStep::FilesFlushed};
    for (const AppendStep stop : steps) {
        for (int occurrence = 0; occurrence < (stop == AppendStep::FileAppended ? 3 : 1);
             ++occurrence) {
            SCOPED_TRACE(testing::Message()
                         << "step " << static_cast<int>(stop) << " #" << occurrence);
            int seen = 0;
            {
                CScopedAppendInterruption kill(
                    [&](AppendStep step) { return step != stop || seen++ != occurrence; });
                CFileAppendGroup group(dir_.Path());
                StageInto(group);
                EXPECT_EQ(group.Commit(), AllOf(false));
            }
            EXPECT_TRUE(EntryExists(dir_.File(kAppendJournalName)));
            EXPECT_EQ(RecoverInterruptedAppend(dir_.Path()), AppendRecovery::RolledBack);
            EXPECT_EQ(Folder(), old_);
            EXPECT_EQ(RecoverInterruptedAppend(dir_.Path()), AppendRecovery::NoJournal);
        }
    }
}

TEST_F(AppendJournalTest, AJournalOfAGroupInProgressIsLeftAlone) {
    std::optional<AppendRecovery> seenByReader;
    {
        CScopedAppendInterruption reader([&](AppendStep step) {
            if (step == AppendStep::FileAppended && !seenByReader) {
                seenByReader = RecoverInterruptedAppend(dir_.Path());
            }
            return true;
        });
        CFileAppendGroup group(dir_.Path());
        StageInto(group);
        ASSERT_EQ(group.Commit(), AllOf(true));
    }
    ASSERT_TRUE(seenByReader);
#ifndef _WIN32
    EXPECT_EQ(*seenByReader, AppendRecovery::InUse);
#else
    EXPECT_TRUE(*seenByReader == AppendRecovery::InUse || *seenByReader == AppendRecovery::Failed);
#endif
    EXPECT_EQ(Folder(), fresh_);
}

TEST_F(AppendJournalTest, AJournalCutShortIsDiscardedWithoutTouchingAnyFile) {
    const Bytes whole = EncodeAppendJournal(std::vector<AppendJournalEntry>{{"F1.DAT", 4, {}}});
    test::WriteBytes(dir_.File(kAppendJournalName), Bytes(whole.begin(), whole.end() - 3));
    EXPECT_EQ(RecoverInterruptedAppend(dir_.Path()), AppendRecovery::Discarded);
    EXPECT_EQ(Folder(), old_);
}

TEST_F(AppendJournalTest, RecoveryPassesOverFilesRemovedOrCutSinceTheJournal) {
    test::WriteBytes(
        dir_.File(kAppendJournalName),
        EncodeAppendJournal(std::vector<AppendJournalEntry>{
            {"GONE.DAT", 4, {}}, {"LINES.TXT", 100, {}}, {"F2.DAT", 4, Text("xy"sv)}}));
    EXPECT_EQ(RecoverInterruptedAppend(dir_.Path()), AppendRecovery::RolledBack);
    auto expected = old_;
    expected["F2.DAT"] = Text("xy\x02\x00"sv);
    EXPECT_EQ(Folder(), expected);
}

TEST_F(AppendJournalTest, AFileChangedSinceItWasStagedIsLeftOutAndTheOthersAreAppended) {
    CFileAppendGroup group(dir_.Path());
    StageInto(group);
    test::WriteBytes(dir_.File("F2.DAT"), Text("\x00\x00\x02\x00"
                                               "CCCCX"sv));
    auto expected = fresh_;
    expected["F2.DAT"] = Text("\x00\x00\x02\x00"
                              "CCCCX"sv);
    EXPECT_EQ(group.Commit(), (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(group.LastError());
    EXPECT_EQ(Folder(), expected);
}

TEST_F(AppendJournalTest, AGroupMeetingAnotherGroupsJournalWritesNothing) {
    test::WriteBytes(dir_.File(kAppendJournalName), Text("left by a killed run"sv));
    CFileAppendGroup group(dir_.Path());
    StageInto(group);
    EXPECT_EQ(group.Commit(), AllOf(false));
    EXPECT_EQ(group.LastError(), std::errc::file_exists);
    auto expected = old_;
    expected[kAppendJournalName] = Text("left by a killed run"sv);
    EXPECT_EQ(Folder(), expected);
}

} // namespace
} // namespace mvr
