#include "core/net/DeltaBarSequence.h"
#include "core/net/IOException.h"
#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/ServerRequest.h"
#include "ScriptedPeer.h"

#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace mvr {
namespace {

using test::ScriptedPeer;
using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;

void ExpectMessage(const std::function<void()>& call, const std::string& message, int code) {
    try {
        call();
        ADD_FAILURE() << "expected " << message;
    } catch (const CIOException& e) {
        EXPECT_EQ(e.Message(), message);
        EXPECT_EQ(e.ErrorCode(), code);
    }
}

// A failure that is not a socket error: the message is the operation alone.
void ExpectFailure(const std::function<void()>& call, const std::string& operation) {
    ExpectMessage(call, operation, 0);
}

// A socket failure: the operation, then the socket error in words.
void ExpectSocketFailure(const std::function<void()>& call, const std::string& operation,
                         int code) {
    ExpectMessage(call, CIOException(operation, code).Message(), code);
}

// The far end of the handshake: takes the header and gives the go-ahead.
RequestHeader AcceptRequest(CClientRequest& peer) {
    const RequestHeader header = peer.readRequestHeader();
    peer.writeByte(1);
    return header;
}

// A request that records the pause between its connection attempts.
class ProbeRequest : public CUserRequest {
public:
    int pauses = 0;
    std::function<void()> onPause;

protected:
    void PauseAfterFailedConnect() override {
        ++pauses;
        if (onPause) {
            onPause();
        }
    }
};

class RequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartSockets(2, 2));
    }
    void TearDown() override { SetProtocolVersion(kProtocolVersion); }

    // Opens `request` on `socket` against `peer` and completes the handshake.
    static void Start(CServerRequest& request, CWinSocket& socket, const RunFlag& run,
                      ScriptedPeer& peer, std::uint8_t code = 3) {
        peer.BecomeServer();
        request.Open(socket, run);
        EXPECT_EQ(request.writeHeader(code, 0), 1);
    }

    RunFlag run_{1};

private:
    const CScopedServerEndpoint endpoint_{GetServerEndpoint()};
    // Only a broken test ever waits this long.
    const CScopedRequestTimeout timeout_{std::chrono::seconds(5)};
};

TEST_F(RequestTest, HeaderNamesTheRequestAndZerosPrecedeTheGoAhead) {
    Bytes header(8);
    ScriptedPeer peer([&](CClientRequest& far, CWinSocket& connection) {
        ASSERT_TRUE(connection.Receive(header.data(), 8));
        for (const std::uint8_t status : {0, 0, 0, 1}) {
            far.writeByte(status);
        }
        ScriptedPeer::WaitForClose(connection);
    });
    peer.BecomeServer();
    SetProtocolVersion(5);
    CWinSocket socket;
    CSearchRequest request;
    request.Open(socket, run_);
    EXPECT_EQ(request.writeHeader(121, 1000), 1);
    EXPECT_EQ(socket.BytesReceived(), 4); // three zeros and the go-ahead
    socket.Close();
    peer.Join();
    EXPECT_THAT(header, ElementsAre(0x56, 0x60, 0x02, 0x79, 0x00, 0x00, 0x03, 0xE8));
    RequestHeader decoded;
    ASSERT_TRUE(DecodeRequestHeader(std::span<const std::uint8_t, 8>(header.data(), 8), &decoded));
    EXPECT_EQ(decoded.protocolVersion, 5);
    EXPECT_EQ(decoded.kind, kSearchRequestKind);
    EXPECT_EQ(decoded.code, 121);
    EXPECT_EQ(decoded.parameter, 1000);
}

TEST_F(RequestTest, EveryRequestClassSendsItsKind) {
    const std::pair<std::function<std::unique_ptr<CServerRequest>()>, std::uint8_t> classes[] = {
        {[] { return std::make_unique<CUserRequest>(); }, 1},
        {[] { return std::make_unique<CSearchRequest>(); }, 2},
        {[] { return std::make_unique<CKatalogRequest>(); }, 3},
        {[] { return std::make_unique<CChartRequest>(); }, 9},
    };
    for (const auto& [make, kind] : classes) {
        RequestHeader received;
        ScriptedPeer peer([&](CClientRequest& far, CWinSocket&) { received = AcceptRequest(far); });
        CWinSocket socket;
        const auto request = make();
        Start(*request, socket, run_, peer, 55);
        peer.Join();
        EXPECT_EQ(received.kind, kind);
        EXPECT_EQ(received.code, 55);
    }
}

TEST_F(RequestTest, StatusByteTwoRefusesTheRequest) {
    ScriptedPeer peer([](CClientRequest& far, CWinSocket& connection) {
        far.readRequestHeader();
        far.writeByte(0);
        far.writeByte(2);
        ScriptedPeer::WaitForClose(connection);
    });
    peer.BecomeServer();
    CWinSocket socket;
    CUserRequest request;
    request.Open(socket, run_);
    // The refusal carries whatever socket error is current: none here.
    ExpectSocketFailure([&] { request.writeHeader(63, 0); }, "writeHeader|cRequestRunning", 0);
    socket.Close();
    peer.Join();
}

TEST_F(RequestTest, HandshakeThatBreaksOff) {
    // After zeros a lost connection counts as a refusal ...
    ScriptedPeer zeros([](CClientRequest& far, CWinSocket&) {
        far.readRequestHeader();
        far.writeByte(0);
    });
    zeros.BecomeServer();
    CWinSocket socket;
    CUserRequest request;
    request.Open(socket, run_);
    ExpectSocketFailure([&] { request.writeHeader(63, 0); }, "writeHeader|cRequestRunning", 10053);
    zeros.Join();

    // ... while a connection lost before any status byte just ends the handshake.
    ScriptedPeer silent([](CClientRequest& far, CWinSocket&) { far.readRequestHeader(); });
    silent.BecomeServer();
    CWinSocket second;
    CUserRequest again;
    again.Open(second, run_);
    EXPECT_EQ(again.writeHeader(63, 0), 0);
    EXPECT_EQ(second.Error(), 10053);
    silent.Join();
}

TEST_F(RequestTest, SilentServerTimesOutWithALoweredTimeOut) {
    ScriptedPeer peer([](CClientRequest& far, CWinSocket& connection) {
        far.readRequestHeader();
        ScriptedPeer::WaitForClose(connection);
    });
    peer.BecomeServer();
    const CScopedRequestTimeout shortWait(std::chrono::milliseconds(100));
    CWinSocket socket;
    CUserRequest request;
    request.Open(socket, run_);
    EXPECT_EQ(request.writeHeader(55, 0), 0); // no go-ahead within the time-out
    EXPECT_EQ(socket.Error(), 10060);
    ExpectSocketFailure([&] { request.readBlock(); }, "readBlock Receive Size", 10060);
    socket.Close();
    peer.Join();
}

TEST_F(RequestTest, RefusedConnectionIsTriedOnceMore) {
    CWinSocket bound; // refuses until it listens
    ASSERT_TRUE(bound.Create(0, SocketType::Stream, "127.0.0.1", false));
    const CScopedServerEndpoint endpoint({"127.0.0.1", bound.LocalPort()});

    CWinSocket refused;
    ProbeRequest twice;
    ExpectSocketFailure([&] { twice.Open(refused, run_); }, "Open", 10061);
    EXPECT_EQ(twice.pauses, 1);
    EXPECT_FALSE(refused.IsOpen());

    CWinSocket socket;
    ProbeRequest retried;
    retried.onPause = [&] { ASSERT_TRUE(bound.Listen(1)); };
    EXPECT_NO_THROW(retried.Open(socket, run_));
    EXPECT_EQ(retried.pauses, 1);
    EXPECT_TRUE(socket.IsOpen());
}

TEST_F(RequestTest, UnresolvableServerFailsTheOpen) {
    const CScopedServerEndpoint endpoint({std::string(64, 'x') + ".invalid", 5000});
    CWinSocket socket;
    ProbeRequest request;
    ExpectSocketFailure([&] { request.Open(socket, run_); }, "Open", 10022);
    EXPECT_EQ(request.pauses, 1);
}

TEST_F(RequestTest, TimedOutConnectionIsNotTriedAgain) {
    // A listener whose backlog is full drops further connection requests, so
    // they time out. Accepting one during the pause would let a second
    // attempt succeed; the request must not make it.
    CWinSocket listener;
    ASSERT_TRUE(listener.Create(0, SocketType::Stream, "127.0.0.1", false));
    ASSERT_TRUE(listener.Listen(1));
    const CScopedServerEndpoint endpoint({"127.0.0.1", listener.LocalPort()});
    const CScopedRequestTimeout shortWait(std::chrono::milliseconds(200));
    std::vector<std::unique_ptr<CWinSocket>> waiting;
    bool full = false;
    while (!full && waiting.size() < 16) {
        auto filler = std::make_unique<CWinSocket>();
        if (filler->Connect("127.0.0.1")) {
            waiting.push_back(std::move(filler));
        } else {
            ASSERT_EQ(filler->Error(), 10060);
            full = true;
        }
    }
    if (!full) {
        GTEST_SKIP() << "this system accepts connections beyond the backlog";
    }
    CWinSocket taken;
    ProbeRequest request;
    request.onPause = [&] { ASSERT_TRUE(listener.Accept(taken)); };
    CWinSocket socket;
    ExpectSocketFailure([&] { request.Open(socket, run_); }, "Open", 10060);
    EXPECT_EQ(request.pauses, 1);
    EXPECT_TRUE(taken.IsOpen());
}

TEST_F(RequestTest, BodyBlocksReachTheServer) {
    std::vector<std::int32_t> received;
    std::vector<std::int32_t> blockLengths;
    ScriptedPeer peer([&](CClientRequest& far, CWinSocket&) {
        AcceptRequest(far);
        far.readData();
        EXPECT_EQ(far.In().readLong(), 2500);
        while (far.readBlock()) {
            blockLengths.push_back(far.In().BlockLength());
            while (far.In().HasMore()) {
                received.push_back(far.In().readLong());
            }
        }
        EXPECT_EQ(far.In().BlockLength(), 0);
    });
    CWinSocket socket;
    CChartRequest request;
    Start(request, socket, run_, peer);
    EXPECT_FALSE(request.writeBlock()); // empty: nothing goes out
    ExpectFailure([&] { request.writeData(); }, "writeData Size");
    request.Out().writeLong(2500);
    request.writeData();
    EXPECT_EQ(request.Out().Position(), 4);
    for (std::int32_t i = 0; i < 2500; ++i) {
        request.Out().writeLong(i);
        if (request.Out().ShouldSend()) {
            EXPECT_TRUE(request.writeBlock());
        }
    }
    EXPECT_TRUE(request.writeBlock());
    request.writeEndOfSection(0);
    peer.Join();
    ASSERT_EQ(received.size(), 2500u);
    for (std::int32_t i = 0; i < 2500; ++i) {
        ASSERT_EQ(received[static_cast<std::size_t>(i)], i);
    }
    // Blocks end once their payload reaches 3996 bytes.
    EXPECT_THAT(blockLengths, ElementsAre(3996, 3996, 2008));
}

TEST_F(RequestTest, AnswerBlocksAndSectionEnds) {
    ScriptedPeer peer([](CClientRequest& far, CWinSocket& connection) {
        AcceptRequest(far);
        far.Out().writeString("first");
        EXPECT_TRUE(far.writeBlock());
        far.writeEndOfSection(0);
        far.writeEndOfSection(0);
        far.writeEndOfSection(-2);
        ScriptedPeer::WaitForClose(connection);
    });
    CWinSocket socket;
    CSearchRequest request;
    Start(request, socket, run_, peer);
    ASSERT_TRUE(request.readBlock());
    EXPECT_EQ(request.In().Position(), 4);
    EXPECT_EQ(request.In().readString(51), "first");
    const std::int64_t before = socket.BytesReceived();
    EXPECT_FALSE(request.readBlock());
    EXPECT_EQ(socket.BytesReceived(), before + 4); // no payload receive
    ExpectFailure([&] { request.readData(); }, "readData Size");
    EXPECT_FALSE(request.readBlock());
    EXPECT_EQ(request.In().BlockLength(), -2);
    std::string text;
    EXPECT_FALSE(request.SectionResult(text));
    EXPECT_EQ(text, "Search canceled! Please enter a more precise search term.");
    socket.Close();
    peer.Join();
}

TEST_F(RequestTest, OversizedBlockIsRefusedBeforeItsPayload) {
    ScriptedPeer peer([](CClientRequest& far, CWinSocket& connection) {
        AcceptRequest(far);
        // A header of 4093 bytes and its payload, in one send because the
        // client closes as soon as it has seen the header.
        Bytes block = {0x00, 0x00, 0x0F, 0xFD};
        block.resize(4 + 4093, 'p');
        ASSERT_TRUE(connection.Send(block.data(), static_cast<int>(block.size())));
        ScriptedPeer::WaitForClose(connection);
    });
    CWinSocket socket;
    CChartRequest request;
    Start(request, socket, run_, peer);
    ExpectFailure([&] { request.readBlock(); }, "readSize");
    EXPECT_EQ(socket.BytesReceived(), 1 + 4); // the go-ahead and the header only
    socket.Close();
    peer.Join();
}

TEST_F(RequestTest, OversizedPriceBlockIsRefusedBeforeItsPayload) {
    ScriptedPeer peer([](CClientRequest& far, CWinSocket& connection) {
        AcceptRequest(far);
        const std::uint8_t header[] = {0x02, 0xFF, 0xFF, 0xFF};
        ASSERT_TRUE(connection.Send(header, 4));
        ScriptedPeer::WaitForClose(connection);
    });
    CWinSocket socket;
    CChartRequest request;
    Start(request, socket, run_, peer);
    int decimals = -1;
    ExpectFailure([&] { request.readBlockNK(decimals); }, "readSizeNK");
    EXPECT_EQ(socket.BytesReceived(), 1 + 4);
    socket.Close();
    peer.Join();
}

TEST_F(RequestTest, PeerClosingInTheMiddleOfAnAnswer) {
    ScriptedPeer peer([](CClientRequest& far, CWinSocket& connection) {
        AcceptRequest(far);
        const std::uint8_t header[] = {0x00, 0x00, 0x00, 100};
        ASSERT_TRUE(connection.Send(header, 4));
        const std::string part(40, 'q');
        ASSERT_TRUE(connection.Send(part.data(), 40));
    });
    CWinSocket socket;
    CKatalogRequest request;
    Start(request, socket, run_, peer);
    ExpectSocketFailure([&] { request.readBlock(); }, "readBlock Receive Data", 10053);
    EXPECT_EQ(socket.BytesReceived(), 1 + 4 + 40);
    peer.Join();
}

TEST_F(RequestTest, MissingAnswerErrorsNameTheirOperation) {
    const std::pair<std::function<void(CServerRequest&)>, const char*> reads[] = {
        {[](CServerRequest& r) { r.readBlock(); }, "readBlock Receive Size"},
        {[](CServerRequest& r) {
             int d;
             r.readBlockNK(d);
         },
         "readBlockNK Receive Size"},
        {[](CServerRequest& r) { r.readData(); }, "readData Receive Size"},
        {[](CServerRequest& r) { r.readLong(); }, "readLong"},
        {[](CServerRequest& r) { r.readServerDatum(); }, "readServerDatum"},
    };
    for (const auto& [read, message] : reads) {
        ScriptedPeer peer([](CClientRequest& far, CWinSocket&) { AcceptRequest(far); });
        CWinSocket socket;
        CUserRequest request;
        Start(request, socket, run_, peer);
        ExpectSocketFailure([&] { read(request); }, message, 10053);
        peer.Join();
    }
}

TEST_F(RequestTest, SectionsAreReadRecordByRecordUntilTheirEnd) {
    ScriptedPeer peer([](CClientRequest& far, CWinSocket& connection) {
        AcceptRequest(far);
        for (int block = 0; block < 2; ++block) {
            for (std::uint16_t k = 0; k < 3; ++k) {
                far.Out().writeShort(static_cast<std::uint16_t>(block * 10 + k));
                far.Out().writeString("name");
            }
            far.writeBlock();
        }
        far.writeEndOfSection(-1);
        // A second section, to be skipped.
        far.Out().writeLong(7);
        far.writeBlock();
        far.writeEndOfSection(0);
        ScriptedPeer::WaitForClose(connection);
    });
    CWinSocket socket;
    CKatalogRequest request;
    Start(request, socket, run_, peer);
    std::vector<int> numbers;
    request.ReadSection([&](CDataInputStream& in) {
        numbers.push_back(in.readShort());
        EXPECT_EQ(in.readString(51), "name");
    });
    EXPECT_THAT(numbers, ElementsAre(0, 1, 2, 10, 11, 12));
    std::string text = "untouched";
    EXPECT_FALSE(request.SectionResult(text));
    EXPECT_EQ(text, "The server reported a database error!");
    request.SkipSection();
    EXPECT_EQ(request.In().BlockLength(), 0);
    text = "untouched";
    EXPECT_TRUE(request.SectionResult(text));
    EXPECT_EQ(text, "untouched");
    socket.Close();
    peer.Join();
}

TEST_F(RequestTest, ClearedRunFlagEndsTheSection) {
    ScriptedPeer peer([](CClientRequest& far, CWinSocket& connection) {
        AcceptRequest(far);
        // The whole answer goes out in one send: the client abandons it early
        // and closes, which would make any later send of the peer fail.
        Bytes answer;
        CDataOutputStream block;
        for (int k = 0; k < 3; ++k) {
            block.writeLong(k);
            block.writeLong(k);
            block.writeSize();
            answer.insert(answer.end(), block.Buffer(), block.Buffer() + block.BlockSize());
            block.Reset();
        }
        answer.insert(answer.end(), {0xFF, 0xFF, 0xFF, 0xFF});
        ASSERT_TRUE(connection.Send(answer.data(), static_cast<int>(answer.size())));
        ScriptedPeer::WaitForClose(connection);
    });
    CWinSocket socket;
    CKatalogRequest request;
    Start(request, socket, run_, peer);
    int records = 0;
    request.ReadSection([&](CDataInputStream& in) {
        in.readLong();
        ++records;
        run_ = 0; // another thread abandons the answer
    });
    EXPECT_EQ(records, 1);
    std::string text;
    // The database error was never read; an abandoned catalogue is no failure ...
    EXPECT_TRUE(request.SectionResult(text));
    // ... while an abandoned search is.
    CSearchRequest search;
    RunFlag stopped{0};
    search.Attach(socket, stopped);
    EXPECT_FALSE(search.SectionResult(text));
    EXPECT_EQ(text, "The server reported an error!");
    socket.Close();
    peer.Join();
}

TEST_F(RequestTest, SearchResultTexts) {
    const std::pair<std::int32_t, const char*> ends[] = {
        {0, "Titles found:"},
        {-1, "The server reported a database error!"},
        {-2, "Search canceled! Please enter a more precise search term."},
        {-3, "The server reported an error!"},
    };
    ScriptedPeer peer([&](CClientRequest& far, CWinSocket& connection) {
        AcceptRequest(far);
        for (const auto& end : ends) {
            far.writeEndOfSection(end.first);
        }
        ScriptedPeer::WaitForClose(connection);
    });
    CWinSocket socket;
    CSearchRequest request;
    Start(request, socket, run_, peer);
    for (const auto& [marker, expected] : ends) {
        request.ReadSection([](CDataInputStream&) { FAIL() << "no records expected"; });
        std::string text;
        EXPECT_EQ(request.SectionResult(text), marker == 0) << marker;
        EXPECT_EQ(text, expected);
    }
    socket.Close();
    peer.Join();
}

TEST_F(RequestTest, RawValuesOutsideBlocks) {
    std::uint16_t rate = 0;
    ScriptedPeer peer([&](CClientRequest& far, CWinSocket&) {
        AcceptRequest(far);
        far.writeLong(-20);
        far.writeByte(1);
        far.writeByte(7);
        rate = far.readShort();
    });
    CWinSocket socket;
    CUserRequest request;
    Start(request, socket, run_, peer, 63);
    EXPECT_EQ(request.readLong(), -20);
    EXPECT_TRUE(request.readServerDatum());
    EXPECT_FALSE(request.readServerDatum());
    request.writeShort(32767);
    peer.Join();
    EXPECT_EQ(rate, 32767);
}

TEST_F(RequestTest, PriceBlocksTravelWithTheirDecimals) {
    const std::vector<DeltaBar> bars = {
        {731000, 10.25f, 10.0f, 9.75f, 10.5f, 1000},
        {731001, 10.5f, 10.25f, 10.0f, 10.75f, 2000},
        {731002, 10.125f, 10.5f, 10.0f, 10.5f, 1500}, // three decimals from here on
        {731005, 10.375f, 10.125f, 10.125f, 10.5f, 0},
    };
    ScriptedPeer peer([&](CClientRequest& far, CWinSocket& connection) {
        AcceptRequest(far);
        CDeltaBarSequence sequence;
        sequence.BeginBlock(2);
        sequence.Write(far.Out(), bars[0]);
        sequence.Write(far.Out(), bars[1]);
        EXPECT_TRUE(far.writeBlockNK(2));
        sequence.BeginBlock(3);
        sequence.Write(far.Out(), bars[2]);
        sequence.Write(far.Out(), bars[3]);
        EXPECT_TRUE(far.writeBlockNK(3));
        EXPECT_FALSE(far.writeBlockNK(3));
        far.writeEndOfSection(0);
        ScriptedPeer::WaitForClose(connection);
    });
    CWinSocket socket;
    CChartRequest request;
    Start(request, socket, run_, peer, 4);
    std::vector<DeltaBar> received;
    std::vector<int> blockDecimals;
    CDeltaBarSequence sequence;
    int decimals = -1;
    while (request.readBlockNK(decimals)) {
        blockDecimals.push_back(decimals);
        sequence.BeginBlock(decimals);
        while (request.In().HasMore()) {
            received.push_back(sequence.Read(request.In()));
        }
    }
    EXPECT_THAT(blockDecimals, ElementsAre(2, 3));
    EXPECT_EQ(received, bars);
    socket.Close();
    peer.Join();
}

TEST_F(RequestTest, FarEndRefusesAMalformedHeader) {
    ScriptedPeer peer([](CClientRequest& far, CWinSocket&) {
        ExpectFailure([&] { far.readRequestHeader(); }, "readRequestHeader");
    });
    peer.BecomeServer();
    CWinSocket socket;
    ASSERT_TRUE(socket.Connect("127.0.0.1"));
    ASSERT_TRUE(socket.Send("GET / HT", 8));
    peer.Join();
}

} // namespace
} // namespace mvr
