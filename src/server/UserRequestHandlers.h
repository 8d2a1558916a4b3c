#pragma once

// The answers to the account requests: the login with the reference data
// (63), the account check (55) and the client information (43).

#include "server/RequestContext.h"

namespace mvr {

void AnswerLogin(CRequestContext& request);
void AnswerCheckAccount(CRequestContext& request);
void AnswerClientInfo(CRequestContext& request);

} // namespace mvr
