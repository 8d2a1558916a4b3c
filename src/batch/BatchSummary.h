#pragma once

// The lines printed at the end of a batch update.

#include "core/update/UpdateJob.h"

#include <string>

namespace mvr::batch {

std::string FormatSummary(const UpdateSummary& summary);

} // namespace mvr::batch
