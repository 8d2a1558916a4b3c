#pragma once

// Socket errors travel as Windows Sockets codes on every platform, so that a
// message reads the same on Windows and elsewhere and code can compare against
// one set of numbers.

#include <string>

namespace mvr {

// The codes the system itself sets or tests; the full range has names below.
inline constexpr int kSockErrInterrupted = 10004;       // WSAEINTR
inline constexpr int kSockErrInvalidArgument = 10022;   // WSAEINVAL
inline constexpr int kSockErrConnectionAborted = 10053; // WSAECONNABORTED
inline constexpr int kSockErrConnectionReset = 10054;   // WSAECONNRESET
inline constexpr int kSockErrTimedOut = 10060;          // WSAETIMEDOUT
inline constexpr int kSockErrConnectionRefused = 10061; // WSAECONNREFUSED
inline constexpr int kSockErrSystemNotReady = 10091;    // WSASYSNOTREADY
inline constexpr int kSockErrSystemCallFailure = 10107; // WSASYSCALLFAILURE

inline constexpr int kFirstNamedSocketError = 10004;
inline constexpr int kLastNamedSocketError = 10112;

// True for the codes that have an entry in the name table (10004..10112).
bool IsInSocketErrorTable(int code);

// The standard constant name of a code of the table, or its decimal digits
// where Windows Sockets names none; empty outside the table.
std::string SocketErrorName(int code);

#ifndef _WIN32
// The Windows Sockets code for an errno value of a socket call. The sockets of
// the system are blocking, so EAGAIN only ever reports an expired time-out.
int SocketErrorFromErrno(int errnoValue);
#endif

} // namespace mvr
