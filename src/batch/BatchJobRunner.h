#pragma once

// Runs an update job unattended on the terminal: starts it with the settings
// an unattended job preselects, waits for its end and hands a stop signal on
// to it. What the progress dialog does for the desktop program.

namespace mvr {
class CUpdateJob;
class CUpdateProgressSink;
} // namespace mvr

namespace mvr::batch {

class CBatchJobRunner {
public:
    explicit CBatchJobRunner(CUpdateProgressSink& sink) : sink_(sink) {}

    // False when a stop signal ended the job (the dialog's Cancel).
    bool RunJob(CUpdateJob& job);

    bool Stopped() const { return stopped_; }

private:
    CUpdateProgressSink& sink_;
    bool stopped_ = false;
};

} // namespace mvr::batch
