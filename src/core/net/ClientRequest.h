#pragma once

// Block transfer over one connected socket: the request side builds blocks in
// `out` and parses answers from `in`. The same operations serve the far end
// (the price server attaches a request object to a socket it accepted), so
// both ends move blocks with the same code. Every failure raises CIOException
// with the operation's name and, where a socket call failed, its error code.

#include "core/net/DataInputStream.h"
#include "core/net/DataOutputStream.h"
#include "core/net/RequestHeader.h"
#include "core/net/RunFlag.h"
#include "core/net/WinSocket.h"

#include <cstdint>

namespace mvr {

class CClientRequest {
public:
    CClientRequest() = default;
    // For a socket that is already connected, e.g. one a server accepted.
    CClientRequest(CWinSocket& socket, const RunFlag& runFlag) { Attach(socket, runFlag); }
    virtual ~CClientRequest() = default;
    CClientRequest(const CClientRequest&) = delete;
    CClientRequest& operator=(const CClientRequest&) = delete;

    void Attach(CWinSocket& socket, const RunFlag& runFlag);

    CDataOutputStream& Out() { return out_; }
    CDataInputStream& In() { return in_; }
    const CDataInputStream& In() const { return in_; }
    bool Running() const { return runFlag_ != nullptr && runFlag_->load() != 0; }

    // Sends `out` as one block; an empty block is not sent and gives false.
    bool writeBlock();
    // As writeBlock, but an empty block is an error.
    void writeData();
    // Receives one block into `in`; false (and no payload) for an empty block
    // or a negative status marker, whose value BlockLength() then gives.
    bool readBlock();
    bool readBlockNK(int& decimals);
    // As readBlock, but a block without payload is an error.
    void readData();

    // Raw values outside any block.
    void writeShort(std::uint16_t value);
    std::int32_t readLong();

    // Reads one answer section: blocks until one without payload, each record
    // by `readRecord(In())` while the payload lasts; both loops end when the
    // run flag is cleared. The terminating length stays in In().BlockLength().
    template <typename ReadRecord>
    void ReadSection(ReadRecord&& readRecord) {
        ReadSection(readRecord, [] { return false; });
    }
    // The same, also ending (before the next block or record) as soon as
    // `stopEarly()` is true; the rest of the answer is then left unread.
    template <typename ReadRecord, typename StopEarly>
    void ReadSection(ReadRecord&& readRecord, StopEarly&& stopEarly) {
        while (Running() && !stopEarly() && readBlock()) {
            while (Running() && !stopEarly() && in_.HasMore()) {
                readRecord(in_);
            }
        }
    }
    // Reads a section whose records are not needed.
    void SkipSection();

    // --- the far end ------------------------------------------------------
    RequestHeader readRequestHeader();
    // A raw byte: the handshake status bytes and the server datum.
    void writeByte(std::uint8_t value);
    void writeLong(std::int32_t value);
    std::uint16_t readShort();
    // Sends `out` as a price block with its decimals; empty gives false.
    bool writeBlockNK(std::uint8_t decimals);
    // Ends a section: a header without payload, 0 for a normal end or a
    // negative status marker.
    void writeEndOfSection(std::int32_t marker);

protected:
    CWinSocket& Socket() { return *socket_; }

private:
    void SendBlock(const char* operation);
    bool ReceiveBlock(bool priceBlock, int* decimals, const char* sizeOperation,
                      const char* dataOperation);
    void SendRaw(const void* bytes, int length, const char* operation);
    void ReceiveRaw(void* bytes, int length, const char* operation);

    CWinSocket* socket_ = nullptr;
    const RunFlag* runFlag_ = nullptr;
    CDataOutputStream out_;
    CDataInputStream in_;
};

} // namespace mvr
