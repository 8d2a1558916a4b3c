#include "batch/BatchJobRunner.h"

#include "batch/StopSignals.h"
#include "core/update/UpdateJob.h"

#include <chrono>

namespace mvr::batch {

namespace {

// How soon a stop signal reaches the job; the job itself reacts at its next
// test of the run flag.
constexpr std::chrono::milliseconds kSignalPollInterval{50};

} // namespace

bool CBatchJobRunner::RunJob(CUpdateJob& job) {
    job.Start(job.UnattendedSettings(), sink_);
    while (!job.WaitFor(kSignalPollInterval)) {
        if (StopSignalReceived() && !stopped_) {
            stopped_ = true;
            job.SetStopAsked(true);
            job.RequestStop();
        }
    }
    stopped_ = stopped_ || StopSignalReceived();
    return !stopped_;
}

} // namespace mvr::batch
