#pragma once

// How a front end shows an update job: the GUI's progress dialog runs it in a
// modal loop, the batch tool on the terminal, tests with a recorder. Either
// way the call returns when the job's dialog would close.

namespace mvr {

class CUpdateJob;

class CUpdateJobRunner {
public:
    virtual ~CUpdateJobRunner() = default;
    // True when the job ended with OK, false when it was cancelled.
    virtual bool RunJob(CUpdateJob& job) = 0;
};

} // namespace mvr
