#include "core/net/SocketError.h"

#include <cerrno>
#include <utility>

namespace mvr {

namespace {

struct NamedCode {
    int code;
    const char* name;
};

constexpr NamedCode kNamedCodes[] = {
    {10004, "WSAEINTR"},
    {10009, "WSAEBADF"},
    {10013, "WSAEACCES"},
    {10014, "WSAEFAULT"},
    {10022, "WSAEINVAL"},
    {10024, "WSAEMFILE"},
    {10035, "WSAEWOULDBLOCK"},
    {10036, "WSAEINPROGRESS"},
    {10037, "WSAEALREADY"},
    {10038, "WSAENOTSOCK"},
    {10039, "WSAEDESTADDRREQ"},
    {10040, "WSAEMSGSIZE"},
    {10041, "WSAEPROTOTYPE"},
    {10042, "WSAENOPROTOOPT"},
    {10043, "WSAEPROTONOSUPPORT"},
    {10044, "WSAESOCKTNOSUPPORT"},
    {10045, "WSAEOPNOTSUPP"},
    {10046, "WSAEPFNOSUPPORT"},
    {10047, "WSAEAFNOSUPPORT"},
    {10048, "WSAEADDRINUSE"},
    {10049, "WSAEADDRNOTAVAIL"},
    {10050, "WSAENETDOWN"},
    {10051, "WSAENETUNREACH"},
    {10052, "WSAENETRESET"},
    {10053, "WSAECONNABORTED"},
    {10054, "WSAECONNRESET"},
    {10055, "WSAENOBUFS"},
    {10056, "WSAEISCONN"},
    {10057, "WSAENOTCONN"},
    {10058, "WSAESHUTDOWN"},
    {10059, "WSAETOOMANYREFS"},
    {10060, "WSAETIMEDOUT"},
    {10061, "WSAECONNREFUSED"},
    {10062, "WSAELOOP"},
    {10063, "WSAENAMETOOLONG"},
    {10064, "WSAEHOSTDOWN"},
    {10065, "WSAEHOSTUNREACH"},
    {10066, "WSAENOTEMPTY"},
    {10067, "WSAEPROCLIM"},
    {10068, "WSAEUSERS"},
    {10069, "WSAEDQUOT"},
    {10070, "WSAESTALE"},
    {10071, "WSAEREMOTE"},
    {10091, "WSASYSNOTREADY"},
    {10092, "WSAVERNOTSUPPORTED"},
    {10093, "WSANOTINITIALISED"},
    {10101, "WSAEDISCON"},
    {10102, "WSAENOMORE"},
    {10103, "WSAECANCELLED"},
    {10104, "WSAEINVALIDPROCTABLE"},
    {10105, "WSAEINVALIDPROVIDER"},
    {10106, "WSAEPROVIDERFAILEDINIT"},
    {10107, "WSASYSCALLFAILURE"},
    {10108, "WSASERVICE_NOT_FOUND"},
    {10109, "WSATYPE_NOT_FOUND"},
    {10110, "WSA_E_NO_MORE"},
    {10111, "WSA_E_CANCELLED"},
    {10112, "WSAEREFUSED"},
};

} // namespace

bool IsInSocketErrorTable(int code) {
    return code >= kFirstNamedSocketError && code <= kLastNamedSocketError;
}

std::string SocketErrorName(int code) {
    if (!IsInSocketErrorTable(code)) {
        return {};
    }
    for (const NamedCode& entry : kNamedCodes) {
        if (entry.code == code) {
            return entry.name;
        }
    }
    return std::to_string(code);
}

#ifndef _WIN32
int SocketErrorFromErrno(int errnoValue) {
    // Pairs of (errno, Windows Sockets code). Some errno values are missing on
    // some systems, hence the guards.
    static const std::pair<int, int> kMap[] = {
        {EINTR, 10004},
        {EBADF, 10009},
        {EACCES, 10013},
        {EPERM, 10013},
        {EFAULT, 10014},
        {EINVAL, 10022},
        {EMFILE, 10024},
        {ENFILE, 10024},
        {EAGAIN, kSockErrTimedOut},
#if EWOULDBLOCK != EAGAIN
        {EWOULDBLOCK, kSockErrTimedOut},
#endif
        {EINPROGRESS, 10036},
        {EALREADY, 10037},
        {ENOTSOCK, 10038},
        {EDESTADDRREQ, 10039},
        {EMSGSIZE, 10040},
        {EPROTOTYPE, 10041},
        {ENOPROTOOPT, 10042},
        {EPROTONOSUPPORT, 10043},
#ifdef ESOCKTNOSUPPORT
        {ESOCKTNOSUPPORT, 10044},
#endif
        {EOPNOTSUPP, 10045},
#ifdef EPFNOSUPPORT
        {EPFNOSUPPORT, 10046},
#endif
        {EAFNOSUPPORT, 10047},
        {EADDRINUSE, 10048},
        {EADDRNOTAVAIL, 10049},
        {ENETDOWN, 10050},
        {ENETUNREACH, 10051},
        {ENETRESET, 10052},
        {ECONNABORTED, kSockErrConnectionAborted},
        {ECONNRESET, kSockErrConnectionReset},
        {EPIPE, kSockErrConnectionReset},
        {ENOBUFS, 10055},
        {ENOMEM, 10055},
        {EISCONN, 10056},
        {ENOTCONN, 10057},
#ifdef ESHUTDOWN
        {ESHUTDOWN, 10058},
#endif
#ifdef ETOOMANYREFS
        {ETOOMANYREFS, 10059},
#endif
        {ETIMEDOUT, kSockErrTimedOut},
        {ECONNREFUSED, kSockErrConnectionRefused},
        {ELOOP, 10062},
        {ENAMETOOLONG, 10063},
#ifdef EHOSTDOWN
        {EHOSTDOWN, 10064},
#endif
        {EHOSTUNREACH, 10065},
        {ENOTEMPTY, 10066},
#ifdef EUSERS
        {EUSERS, 10068},
#endif
        {EDQUOT, 10069},
        {ESTALE, 10070},
#ifdef EREMOTE
        {EREMOTE, 10071},
#endif
    };
    for (const auto& [from, to] : kMap) {
        if (from == errnoValue) {
            return to;
        }
    }
    return kSockErrSystemCallFailure;
}
#endif

} // namespace mvr
