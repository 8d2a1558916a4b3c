#pragma once

// What the update job's worker reports while it runs: the phase text, the
// range and position of the progress bar, and its end. A front end turns
// these into its own display (queued into its UI thread, or onto a terminal).

#include <cstdint>
#include <string>

namespace mvr {

struct UpdateSummary;

// Receives the worker's reports, on the worker thread ("MVR Update").
class CUpdateProgressSink {
public:
    virtual ~CUpdateProgressSink() = default;
    virtual void
    PhaseChanged(const std::string& text) = 0; // "initializing ...", "Connecting ...", ...
    virtual void ProgressRange(std::int32_t low, std::int32_t high) = 0;
    virtual void ProgressPosition(std::int32_t position) = 0;
    // Something the user should read beside the phase (a symbol left out, ...).
    virtual void Notice(const std::string& text) = 0;
    virtual void JobEnded(const UpdateSummary& summary) = 0; // last call of the worker
};

} // namespace mvr
