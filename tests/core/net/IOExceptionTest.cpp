#include "core/net/IOException.h"

#include "core/net/SocketError.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace mvr {
namespace {

TEST(IOExceptionTest, MessagesNameTheOperationAndTheSocketError) {
    const CIOException reset("writeHeader", 10054);
    EXPECT_EQ(reset.Message(), "writeHeader Grund: Socketfehler: 10054 WSAECONNRESET");
    EXPECT_EQ(reset.ErrorCode(), 10054);
    EXPECT_STREQ(reset.what(), reset.Message().c_str());

    EXPECT_EQ(CIOException("readServerDatum", 10060).Message(),
              "readServerDatum Grund: Socketfehler: 10060 WSAETIMEDOUT");
    // A code of the range that Windows Sockets does not name shows its digits twice.
    EXPECT_EQ(CIOException("Open", 10005).Message(), "Open Grund: Socketfehler: 10005 10005");
    // Outside the table only the number is given.
    EXPECT_EQ(CIOException("Open", 11001).Message(), "Open Grund: Socketfehler: 11001");
    EXPECT_EQ(CIOException("Open", 10003).Message(), "Open Grund: Socketfehler: 10003");
    EXPECT_EQ(CIOException("Open", 10113).Message(), "Open Grund: Socketfehler: 10113");
    EXPECT_EQ(CIOException("x", -1).Message(), "x Grund: Socketfehler: -1");

    const CIOException plain("readData Size");
    EXPECT_EQ(plain.Message(), "readData Size");
    EXPECT_EQ(plain.ErrorCode(), 0);
}

TEST(IOExceptionTest, MessagesStayWithinTheLimit) {
    const std::string longName(600, 'n');
    EXPECT_EQ(CIOException(longName).Message(), std::string(516, 'n'));
    const CIOException cutName(longName, 10054);
    EXPECT_EQ(cutName.Message(), std::string(516, 'n'));
    EXPECT_EQ(cutName.ErrorCode(), 10054);

    // Each part is cut where the limit falls: inside " Grund: " ...
    const CIOException cutReason(std::string(512, 'n'), 10054);
    EXPECT_EQ(cutReason.Message(), std::string(512, 'n') + " Gru");
    // ... and inside the socket error text.
    const CIOException cutError(std::string(500, 'n'), 10054);
    EXPECT_EQ(cutError.Message().size(), 516u);
    EXPECT_EQ(cutError.Message(), std::string(500, 'n') + " Grund: Socketfe");
}

TEST(SocketErrorTest, TableCoversTheWholeRange) {
    std::set<std::string> names;
    int named = 0;
    for (int code = 10004; code <= 10112; ++code) {
        const std::string name = SocketErrorName(code);
        ASSERT_FALSE(name.empty()) << code;
        names.insert(name);
        if (name != std::to_string(code)) {
            ++named;
            EXPECT_EQ(name.rfind("WSA", 0), 0u) << code;
        }
    }
    EXPECT_EQ(names.size(), 109u); // no two codes share a name
    EXPECT_EQ(named, 58);
    EXPECT_EQ(SocketErrorName(10004), "WSAEINTR");
    EXPECT_EQ(SocketErrorName(10022), "WSAEINVAL");
    EXPECT_EQ(SocketErrorName(10053), "WSAECONNABORTED");
    EXPECT_EQ(SocketErrorName(10071), "WSAEREMOTE");
    EXPECT_EQ(SocketErrorName(10072), "10072");
    EXPECT_EQ(SocketErrorName(10091), "WSASYSNOTREADY");
    EXPECT_EQ(SocketErrorName(10108), "WSASERVICE_NOT_FOUND");
    EXPECT_EQ(SocketErrorName(10112), "WSAEREFUSED");
    EXPECT_EQ(SocketErrorName(10003), "");
    EXPECT_EQ(SocketErrorName(10113), "");
}

#ifndef _WIN32
TEST(SocketErrorTest, ErrnoValuesBecomeWindowsSocketsCodes) {
    EXPECT_EQ(SocketErrorFromErrno(ECONNREFUSED), 10061);
    EXPECT_EQ(SocketErrorFromErrno(ETIMEDOUT), 10060);
    EXPECT_EQ(SocketErrorFromErrno(EAGAIN), 10060); // a receive or send time-out
    EXPECT_EQ(SocketErrorFromErrno(EWOULDBLOCK), 10060);
    EXPECT_EQ(SocketErrorFromErrno(ECONNRESET), 10054);
    EXPECT_EQ(SocketErrorFromErrno(EPIPE), 10054);
    EXPECT_EQ(SocketErrorFromErrno(ECONNABORTED), 10053);
    EXPECT_EQ(SocketErrorFromErrno(EINVAL), 10022);
    EXPECT_EQ(SocketErrorFromErrno(EADDRINUSE), 10048);
    EXPECT_EQ(SocketErrorFromErrno(ENETUNREACH), 10051);
    EXPECT_EQ(SocketErrorFromErrno(EHOSTUNREACH), 10065);
    EXPECT_EQ(SocketErrorFromErrno(EINPROGRESS), 10036);
    // Anything a socket call should never report still gives a code of the table.
    EXPECT_EQ(SocketErrorFromErrno(EDOM), 10107);
}
#endif

} // namespace
} // namespace mvr
