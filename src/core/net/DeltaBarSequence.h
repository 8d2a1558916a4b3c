#pragma once

// The running values of a sequence of delta-coded bars that travels in price
// blocks. Both ends keep one: each bar is coded relative to the one before,
// and a block whose header brings other decimals than the block before it
// restarts the prices at zero while the date runs on. Keeping the rule in one
// class keeps sender and receiver in step.

#include "core/net/DataInputStream.h"
#include "core/net/DataOutputStream.h"
#include "core/net/PriceDelta.h"

namespace mvr {

class CDeltaBarSequence {
public:
    // Called for every price block with the decimals of its header.
    void BeginBlock(int decimals);
    // Intraday sequences carry the time of day as their date, counted afresh
    // from 0 whenever a block of another day begins.
    void RestartDate() { running_.date = 0; }

    void Write(CDataOutputStream& out, const DeltaBar& bar) {
        out.writeCompress(running_, bar, decimals_);
    }
    const DeltaBar& Read(CDataInputStream& in) {
        in.readCompress(running_, decimals_);
        return running_;
    }

    int Decimals() const { return decimals_; }
    const DeltaBar& Running() const { return running_; }

private:
    DeltaBar running_;
    int decimals_ = 0;
    bool started_ = false;
};

} // namespace mvr
