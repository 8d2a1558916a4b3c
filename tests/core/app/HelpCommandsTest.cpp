#include "core/app/HelpCommands.h"

#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace mvr {
namespace {

using test::CScriptedInteraction;
using test::TempDir;

#ifdef _WIN32
constexpr const char* kTool = "TeamViewerQS.exe";
#else
constexpr const char* kTool = "TeamViewerQS";
#endif

class HelpCommandsTest : public ::testing::Test {
protected:
    // The executable's folder is passed without its separator.
    std::string Folder() const { return WithoutSeparator(exe.Path()); }
    static std::string WithoutSeparator(std::string path) {
        path.pop_back();
        return path;
    }
    void Place(const std::string& name) { test::WriteBytes(exe.File(name), {'%'}); }

    std::vector<std::int32_t> MenuIds() const {
        std::vector<std::int32_t> ids;
        for (const ManualEntry& entry : LanguageManualEntries(Folder())) {
            ids.push_back(entry.commandId);
        }
        return ids;
    }

    TempDir exe;
    CScriptedInteraction user;
};

TEST(VersionTextTest, ShowsTheFourNumbersOfTheBuild) {
    EXPECT_EQ(VersionText(), MVR_PROJECT_VERSION);
}

TEST_F(HelpCommandsTest, OnlyTheGermanManualGivesOneEntryAfterTheMainManual) {
    EXPECT_STREQ(MainManual().caption, "Marvane Kavolo manual");
    EXPECT_EQ(MainManual().commandId, 32781);
    EXPECT_TRUE(MenuIds().empty());
    Place("Marvane Kavolo manual DE.pdf");
    const auto entries = LanguageManualEntries(Folder());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].commandId, 32785);
    EXPECT_STREQ(entries[0].caption, "Marvane Kavolo manual DE.pdf");
}

TEST_F(HelpCommandsTest, AllManualsAreShownFrenchGermanDutchBelgian) {
    for (const char* language : {"BE", "NL", "DE", "FR"}) {
        Place(std::string("Marvane Kavolo manual ") + language + ".pdf");
    }
    EXPECT_EQ(MenuIds(), (std::vector<std::int32_t>{32786, 32785, 32784, 32783}));
    EXPECT_STREQ(ManualOfCommand(32783)->fileName, "Marvane Kavolo manual BE.pdf");
    EXPECT_EQ(ManualOfCommand(32782), nullptr);
}

// Runs the test in another working folder and goes back at its end.
class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const std::string& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedWorkingFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

TEST_F(HelpCommandsTest, ManualsOpenFromTheExecutablesFolderWhateverTheWorkingFolder) {
    Place("Marvane Kavolo manual.pdf");
    TempDir elsewhere;
    ScopedWorkingFolder working(elsewhere.Path());
    user.ExpectOpenDocument(exe.File("Marvane Kavolo manual.pdf"));
    OpenManual(32781, Folder(), user);
    // A manual the menu does not offer is missing.
    user.ExpectMessage("Help-File not found..");
    OpenManual(32786, Folder(), user);
}

TEST_F(HelpCommandsTest, TheRemoteViewToolIsStartedOrItsAbsenceOrFailureReported) {
    user.ExpectMessage("Remoteview-Tool not found..");
    StartRemoteViewTool(Folder(), user);

    Place(kTool);
    user.ExpectStartProgram(exe.File(kTool), false)
        .ExpectMessage("Error starting Remoteview-Tool.");
    StartRemoteViewTool(Folder(), user);
    user.ExpectStartProgram(exe.File(kTool), true);
    StartRemoteViewTool(Folder(), user);
}

TEST_F(HelpCommandsTest, TheRemoteSupportPageIsOpenedAndItsResultIgnored) {
    EXPECT_EQ(std::string(RemoteSupportAddress()).rfind("https://", 0), 0u);
    user.ExpectOpenDocument(RemoteSupportAddress(), false);
    StartRemoteSupportPage(user);
}

} // namespace
} // namespace mvr
