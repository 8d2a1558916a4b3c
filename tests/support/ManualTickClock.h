#pragma once

#include "core/platform/TickClock.h"

#include <cstdint>

namespace mvr::test {

// A tick clock that moves only when the test says so.
class ManualTickClock final : public CTickClock {
public:
    explicit ManualTickClock(std::uint32_t start = 50000) : now_(start) {}

    std::uint32_t TickCount() const override { return now_; }
    void Advance(std::uint32_t milliseconds) { now_ += milliseconds; }

private:
    std::uint32_t now_;
};

} // namespace mvr::test
