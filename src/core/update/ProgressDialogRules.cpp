#include "core/update/ProgressDialogRules.h"

namespace mvr {

namespace {

bool WorkerRuns(UpdateJobState state) {
    return state == UpdateJobState::Running || state == UpdateJobState::Stopping;
}

} // namespace

ProgressOkAction OnProgressOk(UpdateJobState state) {
    return WorkerRuns(state) ? ProgressOkAction::CloseWithOk : ProgressOkAction::StartJob;
}

ProgressCancelAction OnProgressCancel(UpdateJobState state) {
    switch (state) {
    case UpdateJobState::Running:
        return ProgressCancelAction::AskToStop;
    case UpdateJobState::Stopping:
        return ProgressCancelAction::Ignore;
    case UpdateJobState::Ready:
    case UpdateJobState::Ended:
        break;
    }
    return ProgressCancelAction::CloseWithCancel;
}

StopAnswerAction OnStopAnswer(bool yes, UpdateJobState stateNow, bool runFlagCleared) {
    if (yes) {
        return StopAnswerAction::StopWaitAndClose;
    }
    if (WorkerRuns(stateNow)) {
        return StopAnswerAction::GoOn;
    }
    return runFlagCleared ? StopAnswerAction::CloseWithCancel : StopAnswerAction::EnableAgain;
}

} // namespace mvr
