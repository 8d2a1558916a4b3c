#pragma once

// The server's side of the instrument record: every item in the order the
// client reads it, so that a record written here reads back as the same
// WATCH. Items 38 to 42, which the client does not keep, travel as zeros
// except the one that item 43 selects.

#include "core/net/DataOutputStream.h"
#include "core/net/InstrumentRecord.h"
#include "server/ServerModel.h"

#include <cstdint>

namespace mvr {

// The longest record this writer produces: every text at its longest, the
// longest forms of the variable codes and the optional items (of which item
// 56, like the unselected items 38 to 42, is all zeros).
inline constexpr std::int32_t kMaxInstrumentRecordBytes = 418;

// Writes `record` at the position of `out`; the optional items 54 to 56 only
// when `withOptionalItems` (a record that ends its block may stop after item
// 53). Texts longer than the client's buffers are cut to fit them.
void WriteInstrumentRecord(CDataOutputStream& out, const WATCH& record, bool withOptionalItems);

// The record of an instrument: its numbers and texts, everything else at the
// record's initial values.
WATCH InstrumentRecordOf(const ServerInstrument& instrument);

} // namespace mvr
