#include "support/Sweep.h"

#include <cstdlib>
#include <cstring>
#include <set>

namespace mvr::test {

bool LongTestsEnabled() {
    const char* value = std::getenv("MVR_LONG_TESTS");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

std::vector<std::size_t> SweepPoints(std::size_t count, std::size_t recordSize, std::size_t stride,
                                     std::size_t edge) {
    std::set<std::size_t> points;
    const bool all = LongTestsEnabled();
    for (std::size_t i = 0; i < count; ++i) {
        const bool nearEdge = i < edge || i + edge >= count;
        const bool sampled = stride != 0 && i % stride == 0;
        const std::size_t r = recordSize == 0 ? 0 : i % recordSize;
        const bool nearBoundary = recordSize != 0 && (r <= 1 || r + 1 == recordSize);
        if (all || nearEdge || sampled || nearBoundary) {
            points.insert(i);
        }
    }
    return {points.begin(), points.end()};
}

} // namespace mvr::test
