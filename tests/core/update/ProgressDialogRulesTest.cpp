#include "core/update/ProgressDialogRules.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using State = UpdateJobState;

TEST(ProgressDialogRulesTest, OkStartsAJobUnlessItsWorkerRuns) {
    EXPECT_EQ(OnProgressOk(State::Ready), ProgressOkAction::StartJob);
    EXPECT_EQ(OnProgressOk(State::Ended), ProgressOkAction::StartJob);
    EXPECT_EQ(OnProgressOk(State::Running), ProgressOkAction::CloseWithOk);
    EXPECT_EQ(OnProgressOk(State::Stopping), ProgressOkAction::CloseWithOk);
}

TEST(ProgressDialogRulesTest, CancelClosesAsksOrWaitsByTheJobsState) {
    EXPECT_EQ(OnProgressCancel(State::Ready), ProgressCancelAction::CloseWithCancel);
    EXPECT_EQ(OnProgressCancel(State::Ended), ProgressCancelAction::CloseWithCancel);
    EXPECT_EQ(OnProgressCancel(State::Running), ProgressCancelAction::AskToStop);
    EXPECT_EQ(OnProgressCancel(State::Stopping), ProgressCancelAction::Ignore);
}

TEST(ProgressDialogRulesTest, TheAnswerToTheStopQuestion) {
    for (const State state : {State::Running, State::Ended}) {
        EXPECT_EQ(OnStopAnswer(true, state, false), StopAnswerAction::StopWaitAndClose);
    }
    EXPECT_EQ(OnStopAnswer(false, State::Running, false), StopAnswerAction::GoOn);
    // The worker ended while the question was open.
    EXPECT_EQ(OnStopAnswer(false, State::Ended, true), StopAnswerAction::CloseWithCancel);
    EXPECT_EQ(OnStopAnswer(false, State::Ended, false), StopAnswerAction::EnableAgain);
}

TEST(ProgressDialogRulesTest, OnlyADateRangeEnablesTheDatesAndTheReplaceBox) {
    EXPECT_FALSE(DateRangeControlsEnabled(UpdateKind::Normal));
    EXPECT_FALSE(DateRangeControlsEnabled(UpdateKind::NormalAndRealtime));
    EXPECT_TRUE(DateRangeControlsEnabled(UpdateKind::DateRange));
}

} // namespace
} // namespace mvr
