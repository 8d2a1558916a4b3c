#pragma once

// Sends one sequence of delta-coded bars as price blocks: each block carries
// the decimals of its prices in its header and is sent once it reaches the
// mark; a change of decimals begins a new block (the receiver then restarts
// the prices at zero, as the sequence does here). The sequence ends with a
// header of 24-bit length zero.

#include "core/net/ClientRequest.h"
#include "core/net/DeltaBarSequence.h"

#include <cstdint>
#include <optional>

namespace mvr {

class CPriceBlockWriter {
public:
    explicit CPriceBlockWriter(CClientRequest& connection) : connection_(connection) {}

    // A daily bar: its date is the day number.
    void Write(const DeltaBar& bar, int decimals);
    // An intraday bar: its date is the time of day. Each block begins with
    // the day of its bars, so a new day begins a new block and the time
    // counts from 0 again.
    void WriteOfDay(std::int32_t day, const DeltaBar& bar, int decimals);
    // Sends the last block and the end of the sequence.
    void Finish();

private:
    void BeginBlock(int decimals);
    void Put(const DeltaBar& bar);
    void EndBlock();

    CClientRequest& connection_;
    CDeltaBarSequence sequence_;
    bool blockOpen_ = false;
    std::optional<std::int32_t> day_;
};

} // namespace mvr
