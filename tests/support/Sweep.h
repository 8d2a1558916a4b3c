#pragma once

// Exhaustive sweeps (every cut point, every offset) run in full when the
// environment variable MVR_LONG_TESTS is 1 and on a sample otherwise.

#include <cstddef>
#include <vector>

namespace mvr::test {

bool LongTestsEnabled();

// Points 0..count-1: all of them in a long run; otherwise the first and last
// `edge` points, every `stride`-th point between, and each multiple of
// `recordSize` (record boundaries are where readers go wrong) with its neighbours.
std::vector<std::size_t> SweepPoints(std::size_t count, std::size_t recordSize = 0,
                                     std::size_t stride = 17, std::size_t edge = 8);

} // namespace mvr::test
