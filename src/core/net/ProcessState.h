#pragma once

// What the server connection keeps for the whole process, in one place: the
// login number and the reference tables of the first successful login, the
// last client information, the catalogue tables, and (in RequestHeader.h)
// the protocol version. The reference tables are written only by Login,
// before any reader starts, and then read without locks.

#include "core/net/CatalogueTables.h"
#include "core/net/ClientInfo.h"
#include "core/net/ReferenceTables.h"

#include <cstdint>

namespace mvr {

// 0 until a login has succeeded.
std::int32_t LoginNumber();
const ReferenceTables& LoginReferenceTables();

// The last client information a check received (copies, because two checks
// may run at the same time at start).
ClientInfo CurrentClientInfo();
void StoreClientInfo(const ClientInfo& info);

CCatalogueTables& ProcessCatalogueTables();

// Only for Login.
void SetLoginNumber(std::int32_t number);
ReferenceTables& ReferenceTablesForLogin();

// Tests run many logins in one process: forgets the login number, the
// reference tables, the client information and the catalogue tables and sets
// the protocol version back. Never called by the program itself.
void ResetProcessStateForTesting();

} // namespace mvr
