#pragma once

// Millisecond tick counts for pauses that the user makes (type-ahead in the
// lists). An interface so that tests drive the time instead of waiting for it.

#include <cstdint>

namespace mvr {

class CTickClock {
public:
    virtual ~CTickClock() = default;

    // Milliseconds since an arbitrary start; wraps around like the platform's
    // tick count, so only differences computed in 32 bits are meaningful.
    virtual std::uint32_t TickCount() const = 0;
};

// The monotonic clock of the process.
class CSystemTickClock final : public CTickClock {
public:
    std::uint32_t TickCount() const override;
};

// One process-wide instance for the lists that need no other clock.
const CTickClock& SystemTickClock();

} // namespace mvr
