#pragma once

// Runs an update job unattended on the terminal: starts it with the settings
// an unattended job preselects, waits for its end and hands a stop signal on
// to it.

#include "core/update/UpdateJobRunner.h"

namespace mvr {
class CUpdateProgressSink;
}

namespace mvr::batch {

class CBatchJobRunner : public CUpdateJobRunner {
public:
    explicit CBatchJobRunner(CUpdateProgressSink& sink) : sink_(sink) {}

    // False when a stop signal ended the job (the dialog's Cancel).
    bool RunJob(CUpdateJob& job) override;

    bool Stopped() const { return stopped_; }

private:
    CUpdateProgressSink& sink_;
    bool stopped_ = false;
};

} // namespace mvr::batch
