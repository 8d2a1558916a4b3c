// Random, cut and damaged requests never bring the server down: each ends
// only its own connection, and the server answers the next request as
// before.

#include "core/net/BigEndian.h"
#include "core/net/CatalogueRequests.h"
#include "core/net/InstrumentTranslation.h"
#include "core/net/RequestHeader.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/ServerRequest.h"
#include "core/net/SymbolLookup.h"
#include "core/net/SymbolSearchRequest.h"
#include "core/net/UserRequests.h"
#include "support/Running.h"
#include "support/Sweep.h"
#include "TestPriceServer.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <new>
#include <random>
#include <stdexcept>

namespace mvr {
namespace {

using test::TestPriceServer;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kLoginNumber = 700;
constexpr std::int32_t kCheckNumber = 70;

void Append(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

Bytes Header(std::uint8_t kind, std::uint8_t code, std::int32_t parameter) {
    Bytes bytes(kRequestHeaderSize);
    EncodeRequestHeader({kProtocolVersion, kind, code, parameter},
                        std::span<std::uint8_t, kRequestHeaderSize>(bytes.data(), bytes.size()));
    return bytes;
}

// A block of the given payload, with its length in front.
Bytes Block(const Bytes& payload) {
    Bytes block(4);
    StoreBE32(block.data(), static_cast<std::uint32_t>(payload.size()));
    Append(block, payload);
    return block;
}

Bytes Text(const std::string& text) {
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

Bytes Long(std::int32_t value) {
    Bytes bytes(4);
    StoreBE32(bytes.data(), static_cast<std::uint32_t>(value));
    return bytes;
}

// Well-formed requests of every code the server answers.
std::vector<Bytes> ValidRequests() {
    Bytes login;
    Append(login, Text("valid1"));
    Append(login, Text("pw"));
    Append(login, Text(""));
    Append(login, Text(ClientText()));
    Append(login, Long(9));
    Bytes clientInfo = Text(ClientText());
    Append(clientInfo, Long(9));
    Bytes search = {5, 0, 0, 0, 0};
    Append(search, Text("a"));
    Bytes symbols = Text("SAPX");
    Append(symbols, Text("nope"));

    std::vector<Bytes> requests(8);
    requests[0] = Header(kUserRequestKind, kRequestLogin, 0);
    Append(requests[0], Block(login));
    Append(requests[0], {0x13, 0x88});
    requests[1] = Header(kUserRequestKind, kRequestCheckAccount, 0);
    Append(requests[1], Block(login));
    requests[2] = Header(kUserRequestKind, kRequestClientInfo, 0);
    Append(requests[2], Block(clientInfo));
    requests[3] = Header(kKatalogRequestKind, kRequestCatalogues, kLoginNumber);
    requests[4] = Header(kKatalogRequestKind, kRequestCatalogueContents, kLoginNumber);
    Append(requests[4], Block({0, 2, 0, 0}));
    requests[5] = Header(kSearchRequestKind, kRequestSymbolSearch, kLoginNumber);
    Append(requests[5], Block(search));
    requests[6] = Header(kSearchRequestKind, kRequestSymbolLookup, kLoginNumber);
    Append(requests[6], Block(Long(2)));
    Append(requests[6], Block(symbols));
    requests[7] = Header(kSearchRequestKind, kRequestTranslateNumbers, kCheckNumber);
    Append(requests[7], Block(Long(2)));
    Bytes numbers = Long(501);
    Append(numbers, Long(9001));
    Append(requests[7], Block(numbers));
    return requests;
}

// Sends the bytes, ends the sending side and reads until the server closes.
void Exchange(int port, const Bytes& request) {
    const CScopedServerEndpoint endpoint({"127.0.0.1", port});
    CWinSocket socket;
    ASSERT_TRUE(socket.Connect("127.0.0.1"));
    socket.SetReceiveTimeout(std::chrono::seconds(10));
    if (!request.empty()) {
        socket.Send(request.data(), static_cast<int>(request.size()));
    }
    socket.ShutdownSend();
    std::uint8_t scratch[512];
    int received = 0;
    do {
        socket.Receive(scratch, sizeof scratch, &received);
    } while (received == static_cast<int>(sizeof scratch));
    EXPECT_NE(socket.Error(), 10060) << "the server kept the connection open";
}

class RobustnessTest : public ::testing::Test {
protected:
    void ExpectServerStillAnswers() {
        server.BecomeServer();
        EXPECT_EQ(CheckAccount("valid2", "Pw 2", test::Running()), 71);
    }

    TestPriceServer server;
};

TEST_F(RobustnessTest, EveryValidRequestIsAnswered) {
    for (const Bytes& request : ValidRequests()) {
        Exchange(server.Port(), request);
    }
    const auto lines = server.WaitForLogLines(8);
    EXPECT_EQ(test::CountLines(lines, "failed"), 0u);
    EXPECT_EQ(test::CountLines(lines, "result=symbols=2,known=1"), 1u);
    EXPECT_EQ(test::CountLines(lines, "result=numbers=2,translated=2"), 1u);
}

TEST_F(RobustnessTest, RequestsCutAtAnyByte) {
    std::size_t sent = 0;
    for (const Bytes& request : ValidRequests()) {
        for (const std::size_t cut : test::SweepPoints(request.size(), 4, 23)) {
            Exchange(server.Port(), Bytes(request.begin(), request.begin() + cut));
            ++sent;
        }
    }
    server.WaitForLogLines(sent);
    ExpectServerStillAnswers();
}

TEST_F(RobustnessTest, DamagedAndRandomRequests) {
    std::mt19937 random(20240611);
    const std::vector<Bytes> valid = ValidRequests();
    const std::size_t rounds = test::LongTestsEnabled() ? 5000 : 300;
    for (std::size_t round = 0; round < rounds; ++round) {
        Bytes request;
        switch (round % 3) {
        case 0: { // bytes changed at random places of a valid request
            request = valid[random() % valid.size()];
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i) {
                request[random() % request.size()] = static_cast<std::uint8_t>(random());
            }
            break;
        }
        case 1: { // a valid header and a body of noise
            request = Header(static_cast<std::uint8_t>(1 + random() % 3),
                             static_cast<std::uint8_t>(random() % 140),
                             random() % 2 == 0 ? kLoginNumber : kCheckNumber);
            const std::size_t length = random() % 64;
            for (std::size_t i = 0; i < length; ++i) {
                request.push_back(static_cast<std::uint8_t>(random()));
            }
            break;
        }
        default: { // noise from the first byte on
            const std::size_t length = random() % 40;
            for (std::size_t i = 0; i < length; ++i) {
                request.push_back(static_cast<std::uint8_t>(random()));
            }
            break;
        }
        }
        Exchange(server.Port(), request);
    }
    server.WaitForLogLines(rounds);
    ExpectServerStillAnswers();
}

TEST_F(RobustnessTest, CountsBeyondTheLimitsAreRefused) {
    const std::pair<std::uint8_t, std::int32_t> requests[] = {
        {kRequestSymbolLookup, kLoginNumber}, {kRequestTranslateNumbers, kCheckNumber}};
    for (const auto& [code, parameter] : requests) {
        for (const std::int32_t count : {-1, 2000000000}) {
            Bytes request = Header(kSearchRequestKind, code, parameter);
            Append(request, Block(Long(count)));
            Exchange(server.Port(), request);
        }
        // Fewer items than announced, and more.
        const Bytes item = code == kRequestSymbolLookup ? Text("SAPX") : Long(501);
        Bytes fewer = Header(kSearchRequestKind, code, parameter);
        Append(fewer, Block(Long(3)));
        Append(fewer, Block(item));
        Append(fewer, Block({}));
        Exchange(server.Port(), fewer);
        Bytes more = Header(kSearchRequestKind, code, parameter);
        Append(more, Block(Long(1)));
        Bytes two = item;
        Append(two, item);
        Append(more, Block(two));
        Exchange(server.Port(), more);
    }
    const auto lines = server.WaitForLogLines(8);
    EXPECT_EQ(test::CountLines(lines, "count out of range"), 4u);
    EXPECT_EQ(test::CountLines(lines, "fewer items than announced"), 2u);
    EXPECT_EQ(test::CountLines(lines, "more items than announced"), 2u);
    ExpectServerStillAnswers();
}

// Handlers that fail the way code can: out of memory, an index beyond its
// container, any other standard exception, and something that is none.
constexpr std::uint8_t kThrowsBadAlloc = 200;
constexpr std::uint8_t kThrowsOutOfRange = 201;
constexpr std::uint8_t kThrowsRuntimeError = 202;
constexpr std::uint8_t kThrowsNonStandard = 203;

void RegisterThrowingHandlers(CRequestDispatcher& dispatcher) {
    const auto add = [&](std::uint8_t code, RequestHandler handler) {
        dispatcher.Register(code, kSearchRequestKind, HeaderNumber::None, std::move(handler));
    };
    add(kThrowsBadAlloc, [](CRequestContext&) { throw std::bad_alloc(); });
    add(kThrowsOutOfRange, [](CRequestContext& request) {
        const std::vector<int> none;
        request.SetResult(std::to_string(none.at(static_cast<std::size_t>(request.Header().code))));
    });
    add(kThrowsRuntimeError, [](CRequestContext&) { throw std::runtime_error("handler broke"); });
    add(kThrowsNonStandard, [](CRequestContext&) { throw 42; });
}

TEST(ThrowingHandlerTest, EachEndsOnlyItsOwnConnection) {
    TestPriceServer server(test::SmallTables(), test::TestServeOptions(), RegisterThrowingHandlers);
    // More failures than the server has workers: a worker that died with its
    // request would leave the later ones unserved.
    const std::uint8_t codes[] = {kThrowsBadAlloc, kThrowsOutOfRange, kThrowsRuntimeError,
                                  kThrowsNonStandard};
    constexpr int kRounds = 3;
    for (int round = 0; round < kRounds; ++round) {
        for (const std::uint8_t code : codes) {
            Exchange(server.Port(), Header(kSearchRequestKind, code, 0));
        }
    }
    const auto lines = server.WaitForLogLines(std::size(codes) * kRounds);
    EXPECT_EQ(test::CountLines(lines, "code=200 result=\"failed: out of memory\""), 3u);
    EXPECT_EQ(test::CountLines(lines, "code=201 result=\"failed: "), 3u);
    EXPECT_EQ(test::CountLines(lines, "code=202 result=\"failed: handler broke\""), 3u);
    EXPECT_EQ(test::CountLines(lines, "code=203 result=\"failed: unknown exception\""), 3u);

    server.BecomeServer();
    EXPECT_EQ(CheckAccount("valid2", "Pw 2", test::Running()), 71);
}

// A log whose first lines fail, as writing them would when memory runs out.
class FailingLog {
public:
    explicit FailingLog(int failures) : failures_(failures) {}

    CRequestLog::LineSink Sink() {
        return [this](const std::string& line) {
            std::lock_guard lock(mutex_);
            if (failures_ > 0) {
                --failures_;
                throw std::bad_alloc();
            }
            lines_.push_back(line);
            written_.notify_all();
        };
    }

    bool WaitForLine() {
        std::unique_lock lock(mutex_);
        return written_.wait_for(lock, std::chrono::seconds(20), [&] { return !lines_.empty(); });
    }
    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::condition_variable written_;
    int failures_;
    std::vector<std::string> lines_;
};

TEST(ThrowingHandlerTest, AFailingLogLineEndsNeitherItsWorkerNorTheServer) {
    test::TempDir dir;
    test::WriteDataFolder(dir.Path());
    DataError error;
    const auto data = CServerData::Open(dir.Path(), &error);
    ASSERT_TRUE(data) << error.Text();
    ServeOptions options = test::TestServeOptions();
    const int failures = options.connections * 2;
    FailingLog failing(failures);
    CRequestLog log(failing.Sink());
    CPriceServer server(*data, options, log);
    std::string listenError;
    ASSERT_TRUE(server.Listen(&listenError)) << listenError;
    server.Start();

    const Bytes checkAccount = ValidRequests()[1];
    for (int i = 0; i < failures; ++i) {
        Exchange(server.Port(), checkAccount);
    }
    Exchange(server.Port(), checkAccount);
    ASSERT_TRUE(failing.WaitForLine());
    server.StopAndWait();
    const auto lines = failing.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("code=55 result=check=70"), std::string::npos) << lines[0];
}

} // namespace
} // namespace mvr
