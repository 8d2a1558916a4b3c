#pragma once

// The answers to the catalogue requests: the whole catalogue model (3) and
// the contents of one catalogue (11).

#include "server/RequestContext.h"

namespace mvr {

void AnswerCatalogues(CRequestContext& request);
void AnswerCatalogueContents(CRequestContext& request);

} // namespace mvr
