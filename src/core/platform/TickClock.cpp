#include "core/platform/TickClock.h"

#include <chrono>

namespace mvr {

std::uint32_t CSystemTickClock::TickCount() const {
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

const CTickClock& SystemTickClock() {
    static const CSystemTickClock clock;
    return clock;
}

} // namespace mvr
