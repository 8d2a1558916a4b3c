#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/WinSocket.h"
#include "ScriptedPeer.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace mvr {
namespace {

using test::ScriptedPeer;

// A name that no resolver can look up: its first label is longer than the
// 63 characters a DNS label may have, so the lookup fails without a query.
const std::string kUnresolvableHost = std::string(64, 'x') + ".invalid";

class SocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartSockets(2, 2));
    }
};

TEST_F(SocketTest, StartingTheLibraryTwiceSucceedsAtOnce) {
    EXPECT_TRUE(StartSockets(2, 2));
    EXPECT_TRUE(StartSockets(1, 1));
}

TEST_F(SocketTest, NewSocketIsClosed) {
    CWinSocket socket;
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_EQ(socket.LocalPort(), 0);
    EXPECT_EQ(socket.BytesReceived(), 0);
    char byte;
    EXPECT_FALSE(socket.Receive(&byte, 1));
    EXPECT_EQ(socket.Error(), 10038); // WSAENOTSOCK
    EXPECT_FALSE(socket.Send("x", 1));
    EXPECT_TRUE(socket.Receive(&byte, 0)); // nothing asked, nothing to fail
}

TEST_F(SocketTest, CreateBindsToADottedAddressOnly) {
    CWinSocket socket;
    ASSERT_TRUE(socket.Create(0, SocketType::Stream, "127.0.0.1", true));
    EXPECT_GT(socket.LocalPort(), 0);

    CWinSocket named;
    EXPECT_FALSE(named.Create(0, SocketType::Stream, "localhost", false));
    EXPECT_EQ(named.Error(), 10022);
    EXPECT_FALSE(named.IsOpen());

    // The port is taken: the error of the bind is kept after closing.
    CWinSocket second;
    EXPECT_FALSE(second.Create(socket.LocalPort(), SocketType::Stream, "127.0.0.1", false));
    EXPECT_EQ(second.Error(), 10048); // WSAEADDRINUSE
    EXPECT_FALSE(second.IsOpen());

    CWinSocket datagram;
    EXPECT_TRUE(datagram.Create(0, SocketType::Datagram, "127.0.0.1", false));
}

TEST_F(SocketTest, UnresolvableHostFailsWithInvalidArgumentAndStaysClosed) {
    const CScopedServerEndpoint endpoint({kUnresolvableHost, 5000});
    CWinSocket socket;
    EXPECT_FALSE(socket.Connect(kUnresolvableHost.c_str()));
    EXPECT_EQ(socket.Error(), 10022);
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_FALSE(socket.Connect(""));
    EXPECT_EQ(socket.Error(), 10022);
}

TEST_F(SocketTest, RefusedConnectionReportsItsCode) {
    CWinSocket bound; // bound but not listening: connections are refused
    ASSERT_TRUE(bound.Create(0, SocketType::Stream, "127.0.0.1", false));
    const CScopedServerEndpoint endpoint({"127.0.0.1", bound.LocalPort()});
    CWinSocket socket;
    EXPECT_FALSE(socket.Connect("127.0.0.1"));
    EXPECT_EQ(socket.Error(), 10061);
    EXPECT_FALSE(socket.IsOpen());
}

TEST_F(SocketTest, ConnectsByHostNameToTheConfiguredPort) {
    ScriptedPeer peer([](CClientRequest&, CWinSocket& connection) {
        const char hello[] = "hello";
        ASSERT_TRUE(connection.Send(hello, 5));
        ScriptedPeer::WaitForClose(connection);
    });
    peer.BecomeServer();
    CWinSocket socket;
    ASSERT_TRUE(socket.Connect("localhost"));
    char text[6] = {};
    int received = -1;
    EXPECT_TRUE(socket.Receive(text, 5, &received));
    EXPECT_EQ(received, 5);
    EXPECT_STREQ(text, "hello");
    EXPECT_EQ(socket.BytesReceived(), 5);
    socket.Close();
    EXPECT_FALSE(socket.IsOpen());
    peer.Join();
}

TEST_F(SocketTest, PeerClosingInTheMiddleOfAReceiveCountsTheBytesThatArrived) {
    ScriptedPeer peer(
        [](CClientRequest&, CWinSocket& connection) { ASSERT_TRUE(connection.Send("abc", 3)); });
    peer.BecomeServer();
    CWinSocket socket;
    ASSERT_TRUE(socket.Connect("127.0.0.1"));
    char buffer[10];
    int received = -1;
    EXPECT_FALSE(socket.Receive(buffer, 10, &received));
    EXPECT_EQ(socket.Error(), 10053);
    EXPECT_EQ(received, 3);
    EXPECT_EQ(socket.BytesReceived(), 3);
    peer.Join();

    // A new connection starts counting again.
    ScriptedPeer next([](CClientRequest&, CWinSocket&) {});
    next.BecomeServer();
    ASSERT_TRUE(socket.Connect("127.0.0.1"));
    EXPECT_EQ(socket.BytesReceived(), 0);
    next.Join();
}

TEST_F(SocketTest, SendingToAResetConnectionFailsWithoutASignal) {
    ScriptedPeer peer([](CClientRequest&, CWinSocket& connection) {
        // Closing with unread data makes the system reset the connection.
        char byte;
        ASSERT_TRUE(connection.Receive(&byte, 1));
    });
    peer.BecomeServer();
    CWinSocket socket;
    ASSERT_TRUE(socket.Connect("127.0.0.1"));
    ASSERT_TRUE(socket.Send("xy", 2));
    char byte;
    EXPECT_FALSE(socket.Receive(&byte, 1));
    EXPECT_EQ(socket.Error(), 10054);
    peer.Join();
    // Without the guard against broken pipes this would end the process.
    const std::string block(4096, 'z');
    EXPECT_FALSE(socket.Send(block.data(), static_cast<int>(block.size())));
    EXPECT_EQ(socket.Error(), 10054);
}

TEST_F(SocketTest, SilentPeerMakesAReceiveTimeOut) {
    ScriptedPeer peer(
        [](CClientRequest&, CWinSocket& connection) { ScriptedPeer::WaitForClose(connection); });
    peer.BecomeServer();
    CWinSocket socket;
    ASSERT_TRUE(socket.Connect("127.0.0.1"));
    ASSERT_TRUE(socket.SetReceiveTimeout(std::chrono::milliseconds(50)));
    char byte;
    EXPECT_FALSE(socket.Receive(&byte, 1));
    EXPECT_EQ(socket.Error(), 10060);
    socket.Close();
    peer.Join();
}

TEST_F(SocketTest, AClearedRunFlagEndsAWaitForASilentPeerWithinASecond) {
    ScriptedPeer peer(
        [](CClientRequest&, CWinSocket& connection) { ScriptedPeer::WaitForClose(connection); });
    peer.BecomeServer();
    CWinSocket socket;
    RunFlag run{1};
    socket.WatchRunFlag(&run);
    ASSERT_TRUE(socket.Connect("127.0.0.1"));
    ASSERT_TRUE(socket.SetReceiveTimeout(std::chrono::seconds(30)));
    std::thread canceller([&run] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        run.store(0);
    });
    const auto start = std::chrono::steady_clock::now();
    char byte;
    EXPECT_FALSE(socket.Receive(&byte, 1));
    const auto waited = std::chrono::steady_clock::now() - start;
    canceller.join();
    EXPECT_EQ(socket.Error(), 10004);
    EXPECT_LT(waited, std::chrono::seconds(1));
    // While the flag is set, the receive time-out still holds.
    run.store(1);
    ASSERT_TRUE(socket.SetReceiveTimeout(std::chrono::milliseconds(50)));
    EXPECT_FALSE(socket.Receive(&byte, 1));
    EXPECT_EQ(socket.Error(), 10060);
    socket.Close();
    peer.Join();
}

TEST_F(SocketTest, AcceptReportsWhereTheConnectionComesFrom) {
    CWinSocket listener;
    ASSERT_TRUE(listener.Create(0, SocketType::Stream, "127.0.0.1", true));
    ASSERT_TRUE(listener.Listen(1));
    const CScopedServerEndpoint endpoint({"127.0.0.1", listener.LocalPort()});
    CWinSocket client;
    ASSERT_TRUE(client.Connect("127.0.0.1")); // completes in the backlog
    CWinSocket accepted;
    PeerAddress from{"stale", 1};
    ASSERT_TRUE(listener.Accept(accepted, &from));
    EXPECT_EQ(from.address, "127.0.0.1");
    EXPECT_EQ(from.port, client.LocalPort());
    ASSERT_TRUE(client.Send("ok", 2));
    char text[3] = {};
    EXPECT_TRUE(accepted.Receive(text, 2));
    EXPECT_STREQ(text, "ok");
}

TEST_F(SocketTest, WaitUntilReadableAndHalfClose) {
    CWinSocket listener;
    ASSERT_TRUE(listener.Create(0, SocketType::Stream, "127.0.0.1", false));
    ASSERT_TRUE(listener.Listen(1));
    // Nobody connects: the wait ends with a time-out.
    EXPECT_FALSE(listener.WaitUntilReadable(std::chrono::milliseconds(10)));
    EXPECT_EQ(listener.Error(), 10060);

    const CScopedServerEndpoint endpoint({"127.0.0.1", listener.LocalPort()});
    CWinSocket client;
    ASSERT_TRUE(client.Connect("127.0.0.1"));
    ASSERT_TRUE(listener.WaitUntilReadable(std::chrono::seconds(5)));
    CWinSocket accepted;
    ASSERT_TRUE(listener.Accept(accepted));
    ASSERT_TRUE(accepted.SetNoDelay(true));

    // After its half-close the server still receives what the client sends,
    // and the client reads the end of the server's data.
    ASSERT_TRUE(accepted.Send("ab", 2));
    ASSERT_TRUE(accepted.ShutdownSend());
    EXPECT_FALSE(accepted.Send("c", 1));
    char bytes[3] = {};
    ASSERT_TRUE(client.Receive(bytes, 2));
    EXPECT_EQ(std::string(bytes, 2), "ab");
    EXPECT_FALSE(client.Receive(bytes, 1));
    EXPECT_EQ(client.Error(), 10053);
    ASSERT_TRUE(client.Send("z", 1));
    ASSERT_TRUE(accepted.WaitUntilReadable(std::chrono::seconds(5)));
    ASSERT_TRUE(accepted.Receive(bytes, 1));
    EXPECT_EQ(bytes[0], 'z');

    CWinSocket closed;
    EXPECT_FALSE(closed.WaitUntilReadable(std::chrono::milliseconds(1)));
    EXPECT_FALSE(closed.ShutdownSend());
}

// The seams put back what they found, also when the code under test changed
// it meanwhile (the login replaces an endpoint with port 0).
TEST(ScopedSeamTest, EndpointAndTimeOutNestAndComeBack) {
    const ServerEndpoint before = GetServerEndpoint();
    const std::chrono::milliseconds timeoutBefore = RequestTimeout();
    {
        const CScopedServerEndpoint outer({"outer", 1});
        const CScopedRequestTimeout longer(std::chrono::seconds(9));
        {
            const CScopedServerEndpoint inner({"inner", 2});
            const CScopedRequestTimeout shorter(std::chrono::milliseconds(7));
            EXPECT_EQ(GetServerEndpoint().name, "inner");
            EXPECT_EQ(RequestTimeout(), std::chrono::milliseconds(7));
            SetServerEndpoint({"replaced", 3});
        }
        EXPECT_EQ(GetServerEndpoint().name, "outer");
        EXPECT_EQ(GetServerEndpoint().port, 1);
        EXPECT_EQ(RequestTimeout(), std::chrono::seconds(9));
    }
    EXPECT_EQ(GetServerEndpoint().name, before.name);
    EXPECT_EQ(GetServerEndpoint().port, before.port);
    EXPECT_EQ(RequestTimeout(), timeoutBefore);
}

} // namespace
} // namespace mvr
