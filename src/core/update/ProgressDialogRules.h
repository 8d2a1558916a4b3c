#pragma once

// What the progress dialog of the update job decides, without a window: what
// OK and Cancel do in each state of the job, what the answer to the stop
// question does, which controls the update kind enables, and the dialog's
// own texts.

#include "core/update/UpdateDateRange.h"
#include "core/update/UpdateJob.h"

namespace mvr {

inline constexpr const char* kProgressDialogTitle = "Download";
inline constexpr const char* kStopUpdateQuestion = "Stop update process?";
inline constexpr const char* kNormalUpdateText = "Normal Update";
inline constexpr const char* kNormalAndRealtimeUpdateText = "Normal and Realtime Update";
inline constexpr const char* kDateRangeUpdateText = "Date range Update";
inline constexpr const char* kReplaceHistoryText = "Replace complete historical data";
inline constexpr const char* kReplaceHistoryTooltip =
    "All historical data will be deleted and replaced with the data of the requested date range!";
inline constexpr const char* kDirectoriesLabel = "Directories:";
inline constexpr const char* kSymbolsLabel = "Symbols:";
inline constexpr const char* kStartDateLabel = "Start:";
inline constexpr const char* kEndDateLabel = "End:";

enum class ProgressOkAction {
    StartJob,    // take over the dialog's values and start the worker
    CloseWithOk, // the worker still runs: the dialog ends with OK
};

// A job that ended may be started again: its worker is gone.
ProgressOkAction OnProgressOk(UpdateJobState state);

enum class ProgressCancelAction {
    CloseWithCancel, // no worker runs
    Ignore,          // the worker is stopping already
    AskToStop,       // "Stop update process?" with Yes and No
};

ProgressCancelAction OnProgressCancel(UpdateJobState state);

enum class StopAnswerAction {
    StopWaitAndClose, // clear the run flag, wait for the worker, end with Cancel
    GoOn,             // the job goes on
    CloseWithCancel,  // the worker ended meanwhile after a stop
    EnableAgain,      // the worker ended by itself meanwhile: the controls come back
};

// `stateNow` is the job's state once the question was answered.
StopAnswerAction OnStopAnswer(bool yes, UpdateJobState stateNow, bool runFlagCleared);

// The two date fields and the replace check box are for a date range only.
inline bool DateRangeControlsEnabled(UpdateKind kind) {
    return kind == UpdateKind::DateRange;
}

} // namespace mvr
