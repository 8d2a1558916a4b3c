// A connection that breaks anywhere in a price answer leaves every data file
// either as it was or completely written with its answer, and every index
// readable: never a truncated or mixed file.

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/net/ProcessState.h"
#include "core/net/UserRequests.h"
#include "server/TestPriceServer.h"
#include "support/Sweep.h"
#include "UpdateJobFixture.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

constexpr std::int32_t kLoginNumber = 700; // of account valid1

using Contents = std::map<std::string, ByteBuffer>; // "directory/file" -> bytes

// Daily bars in an ASCII and a MetaStock directory, intraday bars in a third;
// few bars, so that a long run can cut at every byte of the answers.
std::vector<MVRKrsExportInfo> CreateDirectories(const std::string& root, std::int32_t today) {
    const double start = DayNumberToOleDate(today - 6).date;
    const PriceHistory stored = {test::StoredBar(today - 9, 3.0f, 7),
                                 test::StoredBar(today - 7, 4.0f, 7)};
    return {test::CreateExportDirectory(root + "ascii", kFormatAsciiComma,
                                        {{"SAPX", 1001, stored}, {"APLX", 1002}}, start),
            test::CreateExportDirectory(root + "ms", kFormatMetaStock, {{"BUND30", 1003, stored}},
                                        start),
            test::CreateExportDirectory(root + "intraday", kFormatAsciiIntraday, {{"SAPX", 1001}},
                                        DayNumberToOleDate(today - 2).date)};
}

Contents AllContents(const std::vector<MVRKrsExportInfo>& directories) {
    static const char* const kNames[] = {"ascii/", "ms/", "intraday/"};
    Contents all;
    for (std::size_t i = 0; i < directories.size(); ++i) {
        for (auto& [name, bytes] : test::FolderContents(directories[i].path)) {
            all[std::string(kNames[i]) + name] = std::move(bytes);
        }
    }
    return all;
}

bool IsIndexFile(const std::string& name) {
    return name.find("MASTER") != std::string::npos || name.find("mvrexp.mas") != std::string::npos;
}

UpdateSummary Update(const std::vector<MVRKrsExportInfo>& directories) {
    CUpdateJob job(directories);
    test::AddAll(job, directories.size());
    job.SetUnattended(true);
    test::RecordingSink sink;
    return test::RunJob(job, sink);
}

std::size_t AnswerBytes(const std::vector<std::string>& lines, const std::string& code) {
    for (const std::string& line : lines) {
        if (line.find(" code=" + code + " ") != std::string::npos) {
            return std::stoul(line.substr(line.find(" out=") + 5));
        }
    }
    ADD_FAILURE() << "no answer to request " << code;
    return 0;
}

TEST(UpdateDataSafetyTest, ConnectionCutAnywhereInThePriceAnswers) {
    test::UpdateServerFolder folder;
    // The untouched and the completely updated files, from a run without faults.
    Contents before;
    Contents complete;
    std::size_t longestAnswer = 0;
    {
        test::TestPriceServer server(folder.Path(), test::TestServeOptions());
        SetLoginNumber(kLoginNumber);
        test::TempDir root;
        const auto directories = CreateDirectories(root.Path(), folder.Today());
        before = AllContents(directories);
        const UpdateSummary summary = Update(directories);
        ASSERT_EQ(summary.symbolsWritten, 4);
        ASSERT_FALSE(summary.communicationFailed);
        complete = AllContents(directories);
        // The account check, the number lookup and the two price requests.
        const auto lines = server.WaitForLogLines(4);
        longestAnswer = std::max(AnswerBytes(lines, "4"), AnswerBytes(lines, "7"));
    }
    ASSERT_GT(longestAnswer, 100u);

    // Every connection of the job breaks after `cut` bytes, the price answers included.
    const std::size_t stride = std::max<std::size_t>(1, longestAnswer / 16);
    int partlyWritten = 0; // runs that broke off between two written files
    for (const std::size_t cut : test::SweepPoints(longestAnswer, 0, stride, 4)) {
        ServeOptions options = test::TestServeOptions();
        options.faults.closeAfterBytes = static_cast<std::int64_t>(cut);
        test::TestPriceServer server(folder.Path(), options);
        SetLoginNumber(kLoginNumber);
        test::TempDir root;
        const auto directories = CreateDirectories(root.Path(), folder.Today());
        Update(directories);

        for (const MVRKrsExportInfo& directory : directories) {
            CExportDirectory index(directory.formatType);
            EXPECT_TRUE(index.Open(directory.path, directory.formatType))
                << "cut " << cut << ": " << index.Problem();
        }
        int written = 0;
        int untouched = 0;
        for (const auto& [name, bytes] : AllContents(directories)) {
            if (IsIndexFile(name)) {
                continue; // readable above; it holds the dates of what was written
            }
            const bool asBefore = before.count(name) != 0 && before.at(name) == bytes;
            const bool asComplete = complete.count(name) != 0 && complete.at(name) == bytes;
            EXPECT_TRUE(asBefore || asComplete) << "cut " << cut << ": " << name;
            written += asComplete && !asBefore ? 1 : 0;
            untouched += asBefore && !asComplete ? 1 : 0;
        }
        partlyWritten += written > 0 && untouched > 0 ? 1 : 0;
    }
    // The cuts reached into the price answers, not only the account check.
    EXPECT_GT(partlyWritten, 0);
}

} // namespace
} // namespace mvr
