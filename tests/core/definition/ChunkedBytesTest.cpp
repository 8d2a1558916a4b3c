// The framing of the definition-file exchange, at the byte level: what goes
// on the wire for an upload, and what a receiver makes of regular, short,
// overlong, early-ending and cut answers.

#include "core/definition/ChunkedBytes.h"

#include "core/net/IOException.h"
#include "support/MemorySocket.h"
#include "support/Sweep.h"

#include <gtest/gtest.h>
#include <numeric>

namespace mvr {
namespace {

using test::CMemorySocket;
using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    return bytes;
}

void AppendHeader(Bytes& wire, std::int32_t length) {
    const auto value = static_cast<std::uint32_t>(length);
    wire.insert(wire.end(),
                {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                 static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

void AppendBlock(Bytes& wire, const Bytes& payload) {
    AppendHeader(wire, static_cast<std::int32_t>(payload.size()));
    wire.insert(wire.end(), payload.begin(), payload.end());
}

Bytes CountBlock(std::int32_t count) {
    Bytes wire;
    AppendHeader(wire, 4);
    AppendHeader(wire, count);
    return wire;
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

Bytes Sent(const Bytes& bytes) {
    CMemorySocket socket;
    const RunFlag run{1};
    CClientRequest connection(socket, run);
    writeChunkedBytes(connection, bytes);
    return socket.Sent();
}

ChunkedBytes Received(const Bytes& wire, std::int32_t maxBytes = 1 << 30) {
    CMemorySocket socket(wire);
    const RunFlag run{1};
    CClientRequest connection(socket, run);
    return readChunkedBytes(connection, maxBytes);
}

TEST(ChunkedBytesTest, TenThousandBytesTravelAsCountAndThreeBlocks) {
    const Bytes file = Pattern(10000);
    Bytes expected = CountBlock(10000);
    AppendBlock(expected, Slice(file, 0, 4092));
    AppendBlock(expected, Slice(file, 4092, 4092));
    AppendBlock(expected, Slice(file, 8184, 1816));
    const Bytes wire = Sent(file);
    EXPECT_EQ(wire.size(), 8u + 4096u + 4096u + 1820u);
    EXPECT_EQ(wire, expected);
}

TEST(ChunkedBytesTest, NoBytesSendTheCountZeroAlone) {
    EXPECT_EQ(Sent({}), CountBlock(0));
}

TEST(ChunkedBytesTest, WhatIsSentIsReceived) {
    for (std::size_t size : {0u, 1u, 4091u, 4092u, 4093u, 10000u, 3u * 4092u}) {
        const Bytes file = Pattern(size);
        const Bytes wire = Sent(file);
        // One 4-byte header per 4092 bytes or part of them; none empty.
        EXPECT_EQ(wire.size(), 8 + size + 4 * ((size + 4091) / 4092)) << size;
        const ChunkedBytes received = Received(wire);
        EXPECT_EQ(received.end, ChunkedEnd::Complete) << size;
        EXPECT_EQ(received.announced, static_cast<std::int32_t>(size));
        EXPECT_EQ(received.bytes, file) << size;
        EXPECT_EQ(received.surplus, 0);
    }
}

TEST(ChunkedBytesTest, ShortBlocksGiveOnlyTheirOwnBytes) {
    const Bytes file = Pattern(30);
    Bytes wire = CountBlock(30);
    AppendBlock(wire, Slice(file, 0, 10));
    AppendBlock(wire, Slice(file, 10, 20));
    const ChunkedBytes received = Received(wire);
    EXPECT_EQ(received.end, ChunkedEnd::Complete);
    EXPECT_EQ(received.bytes, file);
}

TEST(ChunkedBytesTest, BytesBeyondTheCountAreCountedNotTaken) {
    const Bytes file = Pattern(30);
    Bytes wire;
    AppendHeader(wire, 6); // the count with two stray bytes behind it
    AppendHeader(wire, 20);
    wire.insert(wire.end(), {0xEE, 0xEE});
    AppendBlock(wire, file);
    const ChunkedBytes received = Received(wire);
    EXPECT_EQ(received.end, ChunkedEnd::Complete);
    EXPECT_EQ(received.bytes, Slice(file, 0, 20));
    EXPECT_EQ(received.surplus, 2 + 10);
}

TEST(ChunkedBytesTest, AnAnswerThatEndsEarlyKeepsWhatArrived) {
    const Bytes file = Pattern(5000);
    for (std::int32_t end : {0, -1}) {
        Bytes wire = CountBlock(9000);
        AppendBlock(wire, Slice(file, 0, 4092));
        AppendHeader(wire, end);
        const ChunkedBytes received = Received(wire);
        EXPECT_EQ(received.end, ChunkedEnd::EndedEarly) << end;
        EXPECT_EQ(received.bytes, Slice(file, 0, 4092));
    }
}

TEST(ChunkedBytesTest, CountsOfZeroOrLessAreCompleteWithoutBytes) {
    for (std::int32_t count : {0, -5}) {
        const ChunkedBytes received = Received(CountBlock(count));
        EXPECT_EQ(received.end, ChunkedEnd::Complete);
        EXPECT_EQ(received.announced, count);
        EXPECT_TRUE(received.bytes.empty());
    }
}

TEST(ChunkedBytesTest, AMarkerInsteadOfTheCountIsNoCount) {
    for (std::int32_t marker : {0, -1, -2}) {
        Bytes wire;
        AppendHeader(wire, marker);
        CMemorySocket socket(wire);
        const RunFlag run{1};
        CClientRequest connection(socket, run);
        EXPECT_EQ(readChunkedBytes(connection, 100).end, ChunkedEnd::NoCount);
        EXPECT_EQ(connection.In().BlockLength(), marker);
    }
}

TEST(ChunkedBytesTest, MalformedCountsRaise) {
    EXPECT_THROW(Received(CountBlock(101), 100), CIOException);
    Bytes tooShort;
    AppendBlock(tooShort, {0, 0});
    EXPECT_THROW(Received(tooShort), CIOException);
}

TEST(ChunkedBytesTest, AHugeCountDoesNotReserveMemory) {
    // Two billion announced, one block sent: only its bytes are held.
    Bytes wire = CountBlock(2'000'000'000);
    AppendBlock(wire, Pattern(100));
    AppendHeader(wire, 0);
    const ChunkedBytes received = Received(wire, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(received.end, ChunkedEnd::EndedEarly);
    EXPECT_EQ(received.bytes.size(), 100u);
    EXPECT_LT(received.bytes.capacity(), 1u << 20);
}

TEST(ChunkedBytesTest, EveryCutRaises) {
    const Bytes wire = Sent(Pattern(10000));
    for (std::size_t cut : test::SweepPoints(wire.size(), 4096)) {
        CMemorySocket socket(wire);
        socket.CutAfter(cut);
        const RunFlag run{1};
        CClientRequest connection(socket, run);
        EXPECT_THROW(readChunkedBytes(connection, 1 << 20), CIOException) << cut;
    }
}

TEST(ChunkedBytesTest, AClearedRunFlagStopsBeforeTheNextBlock) {
    const Bytes wire = Sent(Pattern(10000));
    CMemorySocket socket(wire);
    RunFlag run{1};
    // Cleared once the first data block is in.
    socket.OnReceived([&](std::size_t delivered) {
        if (delivered >= 8 + 4096) {
            run.store(0);
        }
    });
    CClientRequest connection(socket, run);
    const ChunkedBytes received = readChunkedBytes(connection, 1 << 20);
    EXPECT_EQ(received.end, ChunkedEnd::Stopped);
    EXPECT_EQ(received.bytes, Pattern(4092));
    EXPECT_EQ(socket.Delivered(), 8u + 4096u);
}

} // namespace
} // namespace mvr
