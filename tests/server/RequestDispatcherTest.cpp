// What the server does with requests it must not answer, how a handler is
// added, and what its log says.

#include "core/net/CatalogueRequests.h"
#include "core/net/InstrumentTranslation.h"
#include "core/net/RequestHeader.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/ServerRequest.h"
#include "core/net/UserRequests.h"
#include "server/RequestLog.h"
#include "support/Running.h"
#include "TestPriceServer.h"

#include <gtest/gtest.h>
#include <regex>

namespace mvr {
namespace {

using test::TestPriceServer;
using Bytes = std::vector<std::uint8_t>;

Bytes Header(std::uint8_t kind, std::uint8_t code, std::int32_t parameter, int version = 5) {
    Bytes bytes(kRequestHeaderSize);
    EncodeRequestHeader({version, kind, code, parameter},
                        std::span<std::uint8_t, kRequestHeaderSize>(bytes.data(), bytes.size()));
    return bytes;
}

// Sends `request` on a fresh connection, ends the sending side and returns
// everything the server sent until it closed.
Bytes Exchange(int port, const Bytes& request) {
    const CScopedServerEndpoint endpoint({"127.0.0.1", port});
    CWinSocket socket;
    EXPECT_TRUE(socket.Connect("127.0.0.1"));
    socket.SetReceiveTimeout(std::chrono::seconds(10));
    EXPECT_TRUE(request.empty() || socket.Send(request.data(), static_cast<int>(request.size())));
    socket.ShutdownSend();
    Bytes answer;
    std::uint8_t byte = 0;
    while (socket.Receive(&byte, 1)) {
        answer.push_back(byte);
    }
    return answer;
}

TEST(RequestDispatcherTest, RequestsThatAreNotAnsweredCloseTheConnectionAtOnce) {
    TestPriceServer server;
    const Bytes refused[] = {
        Header(kSearchRequestKind, 99, 0),
        Header(kUserRequestKind, kRequestCatalogues, 700),         // wrong kind
        Header(kUserRequestKind, kRequestLogin, 0, 4),             // protocol version 4
        Header(kKatalogRequestKind, kRequestCatalogues, 12345),    // no login number
        Header(kSearchRequestKind, kRequestTranslateNumbers, 700), // a login, not a check number
    };
    for (const Bytes& request : refused) {
        EXPECT_TRUE(Exchange(server.Port(), request).empty());
    }
    // A header without its marks, and one cut short.
    Bytes garbage = Header(kUserRequestKind, kRequestLogin, 0);
    garbage[1] = 0x61;
    EXPECT_TRUE(Exchange(server.Port(), garbage).empty());
    EXPECT_TRUE(Exchange(server.Port(), Bytes{0x56, 0x60, 0x01}).empty());

    const auto lines = server.WaitForLogLines(7);
    EXPECT_EQ(test::CountLines(lines, "result=unknown-request"), 1u);
    EXPECT_EQ(test::CountLines(lines, "result=wrong-request-kind"), 1u);
    EXPECT_EQ(test::CountLines(lines, "result=unsupported-protocol-version"), 1u);
    EXPECT_EQ(test::CountLines(lines, "result=unknown-account-number"), 2u);
    EXPECT_EQ(test::CountLines(lines, "code=- result=\"failed: readRequestHeader\""), 1u);
    EXPECT_EQ(test::CountLines(lines, "code=- result=\"failed: readRequestHeader Grund:"), 1u);
}

// A handler that answers with the length of the body it read.
void AnswerBodyLength(CRequestContext& request) {
    request.Connection().readData();
    request.Out().writeLong(request.In().BlockLength());
    request.Connection().writeData();
    request.SetResult("echo");
}

TEST(RequestDispatcherTest, AHandlerIsOneLineAndTheLogSaysWhatHappened) {
    TestPriceServer server(test::SmallTables(), test::TestServeOptions(),
                           [](CRequestDispatcher& dispatcher) {
                               dispatcher.Register(200, kSearchRequestKind,
                                                   HeaderNumber::CheckNumber, AnswerBodyLength);
                           });
    CWinSocket socket;
    CSearchRequest request;
    const RunFlag run{1};
    request.Open(socket, run);
    EXPECT_EQ(request.writeHeader(200, 70), 1);
    request.Out().writeString("twelve bytes");
    request.writeData();
    request.readData();
    EXPECT_EQ(request.In().readLong(), 13);
    socket.Close();
    server.WaitForLogLines(1); // a line is written once the connection has ended

    EXPECT_EQ(CheckAccount("valid1", "pw", test::Running()), 70);
    const auto lines = server.WaitForLogLines(2);
    const std::regex echo(R"(peer=127\.0\.0\.1:\d+ code=200 result=echo in=25 out=10 ms=\d+)");
    const std::regex check(R"(peer=127\.0\.0\.1:\d+ code=55 result=check=70 in=\d+ out=14 ms=\d+)");
    EXPECT_TRUE(std::regex_match(lines[0], echo)) << lines[0];
    EXPECT_TRUE(std::regex_match(lines[1], check)) << lines[1];
}

TEST(RequestLogTest, ResultsWithBlanksAreQuoted) {
    RequestLogEntry entry{"10.0.0.1:5", 121, "failed: readData \"x\"", 12, 34, 5};
    EXPECT_EQ(FormatRequestLogLine(entry),
              "peer=10.0.0.1:5 code=121 result=\"failed: readData 'x'\" in=12 out=34 ms=5");
    entry.code = -1;
    entry.result = "";
    EXPECT_EQ(FormatRequestLogLine(entry), "peer=10.0.0.1:5 code=- result=- in=12 out=34 ms=5");
}

} // namespace
} // namespace mvr
