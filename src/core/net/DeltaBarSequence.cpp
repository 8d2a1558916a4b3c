#include "core/net/DeltaBarSequence.h"

namespace mvr {

void CDeltaBarSequence::BeginBlock(int decimals) {
    if (started_ && decimals != decimals_) {
        running_.p1 = running_.p2 = running_.p3 = running_.p4 = 0.0f;
    }
    started_ = true;
    decimals_ = decimals;
}

} // namespace mvr
