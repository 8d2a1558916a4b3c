#pragma once

// Shows the job's progress: on a terminal one line that is redrawn with the
// phase text and a bar; elsewhere (a log file, a pipe) one plain line per
// phase, so that logs stay readable.

#include "core/update/UpdateJob.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

namespace mvr::batch {

class CProgressDisplay : public CUpdateProgressSink {
public:
    CProgressDisplay(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

    void PhaseChanged(const std::string& text) override;
    void ProgressRange(std::int32_t low, std::int32_t high) override;
    void ProgressPosition(std::int32_t position) override;
    void Notice(const std::string& text) override;
    void JobEnded(const UpdateSummary& summary) override;

    // The bar as drawn on a terminal, e.g. "[#####     ]  50%".
    static std::string BarText(std::int32_t low, std::int32_t high, std::int32_t position,
                               int width);

private:
    void Redraw();

    std::FILE* out_;
    bool terminal_;
    std::mutex mutex_;
    std::string phase_;
    std::int32_t low_ = 0;
    std::int32_t high_ = 0;
    std::int32_t position_ = 0;
    int drawnPercent_ = -1;
};

// True when the stream is an interactive terminal.
bool IsTerminal(std::FILE* stream);

} // namespace mvr::batch
