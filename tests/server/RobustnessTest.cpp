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

#include <gtest/gtest.h>
#include <random>

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
    SetServerEndpoint({"127.0.0.1", port});
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

} // namespace
} // namespace mvr
