#pragma once

// The run flag of a test's requests that nothing cancels.

#include "core/net/RunFlag.h"

namespace mvr::test {

inline const RunFlag& Running() {
    static const RunFlag run{1};
    return run;
}

} // namespace mvr::test
