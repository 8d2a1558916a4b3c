#pragma once

// What mvr-dircat --check prints and returns for the health of a directory's
// symbols: CSV lines for scripts (the columns are described in the usage
// text and must stay stable) and the exit status.

#include "core/formats/ExportSymbolInfo.h"
#include "core/health/SymbolHealth.h"

#include <span>
#include <string>

namespace mvr {

inline constexpr int kCheckClean = 0;
inline constexpr int kCheckFindings = 1;
inline constexpr int kCheckError = 2;

// The header line and a line per finding; result i belongs to symbols[i].
std::string HealthCsv(std::span<const ExportSymbolInfo> symbols,
                      std::span<const SymbolHealth> results);

// An unreadable file outweighs findings.
int HealthExitStatus(std::span<const SymbolHealth> results);

} // namespace mvr
