#pragma once

// The three exchanges that identify the user to the price server: the login
// with the reference data (once per process), the lighter account check whose
// number heads the update requests, and the client information check.

#include "core/net/ClientInfo.h"
#include "core/net/ReferenceTables.h"
#include "core/net/RequestCodes.h"
#include "core/net/WinSocket.h"

#include <cstdint>
#include <string>

namespace mvr {

// The number that closes the login body and the client information body.
inline constexpr std::int32_t kClientBodyMark = 9;

// Result codes of the login and the account check.
inline constexpr std::int32_t kAccountDatabaseError = -1;
inline constexpr std::int32_t kAccountInvalid = -2;
inline constexpr std::int32_t kAccountBlocked = -19;
inline constexpr std::int32_t kAccountServerMessage = -20;
inline constexpr std::int32_t kAccountRealtimeUnavailable = -21;
// Results of CheckAccount that never come from the server.
inline constexpr std::int32_t kCheckSocketsUnavailable = -100;
inline constexpr std::int32_t kCheckExchangeFailed = -200;

// A CheckAccount result that says the server was not reached (or broke off),
// not that it refused the account.
inline bool IsCheckUnanswered(std::int32_t result) {
    return result == kCheckSocketsUnavailable || result == kCheckExchangeFailed;
}

// Bits of the user record's flag word that announce two further sections.
inline constexpr std::uint32_t kUserFlagExtraSections = 0x20000 | 0x40000;

// Buffer sizes of the texts the login reads.
inline constexpr std::size_t kUserRecordTextSize = 256;
inline constexpr std::size_t kServerMessageSize = 260;

// Sections of the login answer that the client passes over.
inline constexpr int kLoginSkippedSections = 12;
inline constexpr int kLoginExtraSkippedSections = 2;

// The version of this program and ";6;NULL;", as the server expects it.
std::string ClientText();

// The text the user sees for a result code of the login or account check;
// empty for the codes that have none (and for the server's own message,
// which only the login reads).
std::string AccountResultMessage(std::int32_t result);

// The download rate the login reports back: bytes * 10 per elapsed
// millisecond, at most 32767, and 10000 when no time has passed.
std::uint16_t DownloadRate(std::int64_t bytes, std::uint32_t elapsedMilliseconds);

// What the login learned of the user record.
struct LoginUser {
    bool received = false; // the user record arrived
    std::int32_t loginNumber = 0;
    std::uint32_t flagWord = 0;
};

// One login exchange on a fresh connection, without touching the process
// state: fills `tables` as the sections arrive (the maps are cleared first,
// the search kinds appended) and `user` once its record has been read. The
// result is the server's code (1 or more) on success and 0 on failure, with
// the message for the user where there is one. Never throws.
std::int32_t ExchangeLogin(const std::string& account, const std::string& password,
                           ReferenceTables& tables, LoginUser& user, std::string& message,
                           const RunFlag& run);

// Logs in once per process: 1 at once when the login number is set;
// otherwise the exchange above into the process-wide tables, taking over the
// login number as soon as the user record has arrived.
std::int32_t Login(const std::string& account, const std::string& password, std::string& message,
                   const RunFlag& run);

// The account check: the server's first number (1 or more for a valid
// account, its negative codes otherwise, 0 for an answer without data),
// kCheckSocketsUnavailable or kCheckExchangeFailed. Never throws.
std::int32_t CheckAccount(const std::string& account, const std::string& password,
                          const RunFlag& run);

// The client information on the caller's socket, which the caller closes:
// 1 with `info` filled, 0 when the answer holds no block, -1 on a
// communication error (`info` is then left as it was).
int GetClientInfo(CWinSocket& socket, ClientInfo& info, const RunFlag& run);

} // namespace mvr
