#pragma once

// The catalogue requests: the download of the whole catalogue model into the
// process-wide tables (request 3) and the contents of one catalogue
// (request 11).

#include "core/net/InstrumentRecord.h"
#include "core/net/RequestCodes.h"
#include "core/net/RunFlag.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace mvr {

// Downloads the tree, the groups and the catalogues once per process, under
// the catalogue lock; a second caller waits and then returns at once. True
// when the download completed (or had completed before); false when the
// server reported a database error or the connection failed, the tables then
// holding what had arrived. Only a completed download is kept for good: after
// an incomplete one the next call downloads again.
bool LoadCatalogues(const RunFlag& run);

// The instrument records of catalogue `number` in the server's order,
// appended to `records`; `headerParameter` is the login number or the number
// of the account check. Reading stops early once `stopEarly()` is true.
// False only when the server ended the list with a database error (and the
// run flag is set). Communication errors raise CIOException.
bool LoadCatalogueContents(
    std::int16_t number, std::int32_t headerParameter, const RunFlag& run,
    std::vector<WATCH>& records, const std::function<bool()>& stopEarly = [] { return false; });

} // namespace mvr
