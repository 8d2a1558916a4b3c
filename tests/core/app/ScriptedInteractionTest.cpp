#include "support/ScriptedInteraction.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::CScriptedInteraction;

TEST(ScriptedInteractionTest, AnswersAnnouncedStepsInOrder) {
    CScriptedInteraction user;
    user.ExpectQuestion("Go?", MessageIcon::Question, true)
        .ExpectMessage("Done", MessageIcon::Exclamation)
        .ExpectListName("Daily")
        .ExpectFolderBrowser("Import", "/old", std::string("/chosen"));
    EXPECT_EQ(user.Pending(), 4u);
    EXPECT_TRUE(user.AskYesNo("Go?", MessageIcon::Question));
    user.ShowMessage("Done", MessageIcon::Exclamation);
    std::string name;
    EXPECT_TRUE(user.AskListName({}, name));
    EXPECT_EQ(name, "Daily");
    EXPECT_EQ(user.BrowseForFolder("Import", "/old"), "/chosen");
    EXPECT_EQ(user.Pending(), 0u);
}

TEST(ScriptedInteractionTest, AnUnexpectedQuestionFailsAndIsAnsweredNo) {
    CScriptedInteraction user;
    bool answer = true;
    EXPECT_NONFATAL_FAILURE(answer = user.AskYesNo("Delete all?", MessageIcon::Question),
                            "unexpected question \"Delete all?\"");
    EXPECT_FALSE(answer);
}

TEST(ScriptedInteractionTest, AnotherTextOrIconFails) {
    CScriptedInteraction user;
    user.ExpectQuestion("Remove list 'A'?", MessageIcon::None, true);
    bool answer = true;
    EXPECT_NONFATAL_FAILURE(answer = user.AskYesNo("Remove list 'A'?", MessageIcon::Question),
                            "with no icon");
    EXPECT_FALSE(answer);
    user.ExpectMessage("Error creating Dir!");
    EXPECT_NONFATAL_FAILURE(user.ShowMessage("Error creating dir!", MessageIcon::None),
                            "Error creating Dir!");
}

TEST(ScriptedInteractionTest, AStepOfAnotherKindStaysAnnounced) {
    CScriptedInteraction user;
    user.ExpectMessage("Saved");
    EXPECT_NONFATAL_FAILURE(user.OpenDocument("import.txt"), "expected message \"Saved\"");
    user.ShowMessage("Saved", MessageIcon::None);
}

TEST(ScriptedInteractionTest, AStepThatNeverCameFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(
        {
            CScriptedInteraction user;
            user.ExpectQuestion("Create it?", MessageIcon::Question, true);
        },
        "announced but never came: question \"Create it?\"");
}

TEST(ScriptedInteractionTest, ACancelledEditorLeavesTheValuesUnchanged) {
    CScriptedInteraction user;
    DirectoryEditorValues values;
    values.path = "/k/";
    user.ExpectDirectoryEditor([](DirectoryEditorValues& edited) {
        edited.path = "/changed/";
        return false;
    });
    EXPECT_FALSE(user.EditDirectory(values));
    EXPECT_EQ(values.path, "/k/");

    user.ExpectDirectoryEditor([](DirectoryEditorValues& edited) {
        EXPECT_EQ(edited.path, "/k/");
        edited.interval = 5;
        return true;
    });
    EXPECT_TRUE(user.EditDirectory(values));
    EXPECT_EQ(values.interval, 5);
}

} // namespace
} // namespace mvr
