#pragma once

// Asks the price server for the instrument numbers of the symbols of an
// export directory (request 131).

#include "core/net/RequestCodes.h"
#include "core/net/RunFlag.h"

#include <cstdint>

namespace mvr {

class CExportDirectory;

// Sends the symbol texts in list order; the server answers one instrument
// record per symbol in the same order, and record i gives the sinCode of
// symbol i. Nothing changes when the directory is empty, the answer is empty
// or the server reports an error. False when nothing was taken over because
// of an error (a communication error included, which is not raised).
bool LookupSInCodes(CExportDirectory& directory, const RunFlag& run);

} // namespace mvr
