#include "batch/ProgressDisplay.h"

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace mvr::batch {

namespace {

constexpr int kBarWidth = 30;
constexpr int kPhaseWidth = 28;

int Percent(std::int32_t low, std::int32_t high, std::int32_t position) {
    if (high <= low) {
        return 0;
    }
    const std::int64_t done = std::clamp<std::int64_t>(position - low, 0, high - low);
    return static_cast<int>(done * 100 / (static_cast<std::int64_t>(high) - low));
}

} // namespace

bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

std::string CProgressDisplay::BarText(std::int32_t low, std::int32_t high, std::int32_t position,
                                      int width) {
    const int percent = Percent(low, high, position);
    const int filled = percent * width / 100;
    std::string bar = "[";
    bar.append(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(width - filled), ' ');
    char tail[8];
    std::snprintf(tail, sizeof tail, "] %3d%%", percent);
    return bar + tail;
}

void CProgressDisplay::PhaseChanged(const std::string& text) {
    const std::lock_guard lock(mutex_);
    phase_ = text;
    if (terminal_) {
        Redraw();
    } else {
        std::fprintf(out_, "%s\n", text.c_str());
        std::fflush(out_);
    }
}

void CProgressDisplay::ProgressRange(std::int32_t low, std::int32_t high) {
    const std::lock_guard lock(mutex_);
    low_ = low;
    high_ = high;
    position_ = low;
    if (terminal_) {
        Redraw();
    }
}

void CProgressDisplay::ProgressPosition(std::int32_t position) {
    const std::lock_guard lock(mutex_);
    position_ = position;
    // A redraw per percent is enough; thousands of symbols would otherwise
    // flood a slow terminal.
    if (terminal_ && Percent(low_, high_, position_) != drawnPercent_) {
        Redraw();
    }
}

void CProgressDisplay::Notice(const std::string& text) {
    const std::lock_guard lock(mutex_);
    // On a terminal the notice takes the bar's line; the bar is drawn again below it.
    std::fprintf(out_, terminal_ ? "\r%s\n" : "%s\n", text.c_str());
    if (terminal_) {
        Redraw();
    }
    std::fflush(out_);
}

void CProgressDisplay::JobEnded(const UpdateSummary&) {
    const std::lock_guard lock(mutex_);
    if (terminal_) {
        std::fprintf(out_, "\n");
        std::fflush(out_);
    }
}

void CProgressDisplay::Redraw() {
    drawnPercent_ = Percent(low_, high_, position_);
    std::fprintf(out_, "\r%-*.*s %s", kPhaseWidth, kPhaseWidth, phase_.c_str(),
                 BarText(low_, high_, position_, kBarWidth).c_str());
    std::fflush(out_);
}

} // namespace mvr::batch
