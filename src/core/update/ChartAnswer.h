#pragma once

// The readers of the answers to the price history requests. Both fill the
// entries in request order and mark each one answered, with its bars, once
// its answer has arrived completely; `entryAnswered` is then called once for
// it. Both return true when the answer's end arrived and false when the run
// flag stopped them. A transport failure or a malformed answer raises
// CIOException: the entries answered so far keep their bars, the others stay
// without any.

#include "core/net/ClientRequest.h"
#include "core/update/JahresChartArray.h"

#include <functional>
#include <span>

namespace mvr {

using EntryAnsweredCallback = std::function<void()>;

// Request 4: per entry a header block of five values (SInCode, first and
// last day, number of bars, bars follow when not 0), then a block that is
// passed over and the daily bars in price blocks. A missing open, high or low
// takes the close. The number of bars only sizes the arrays.
bool ReadDailyBarsAnswer(CClientRequest& request, std::span<JAHRESCHARTARRAY> entries,
                         const EntryAnsweredCallback& entryAnswered);

// Request 7: header blocks of key, number of bars and the bars-follow flag;
// consecutive headers with the same key belong to one entry. Each price block
// begins with its day; only bars of the entry's day range are kept.
bool ReadIntradayBarsAnswer(CClientRequest& request, std::span<JAHRESCHARTARRAY> entries,
                            const EntryAnsweredCallback& entryAnswered);

} // namespace mvr
