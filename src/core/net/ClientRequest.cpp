#include "core/net/ClientRequest.h"

#include "core/net/BigEndian.h"
#include "core/net/IOException.h"

namespace mvr {

void CClientRequest::Attach(CWinSocket& socket, const RunFlag& runFlag) {
    socket_ = &socket;
    runFlag_ = &runFlag;
}

void CClientRequest::SendRaw(const void* bytes, int length, const char* operation) {
    if (!socket_->Send(bytes, length)) {
        throw CIOException(operation, socket_->Error());
    }
}

void CClientRequest::ReceiveRaw(void* bytes, int length, const char* operation) {
    if (!socket_->Receive(bytes, length)) {
        throw CIOException(operation, socket_->Error());
    }
}

void CClientRequest::SendBlock(const char* operation) {
    SendRaw(out_.Buffer(), out_.BlockSize(), operation);
    out_.Reset();
}

bool CClientRequest::writeBlock() {
    if (!out_.writeSize()) {
        return false;
    }
    SendBlock("writeBlock");
    return true;
}

void CClientRequest::writeData() {
    if (!out_.writeSize()) {
        throw CIOException("writeData Size");
    }
    SendBlock("writeData");
}

bool CClientRequest::writeBlockNK(std::uint8_t decimals) {
    if (!out_.writeSizeNK(decimals)) {
        return false;
    }
    SendBlock("writeBlockNK");
    return true;
}

void CClientRequest::writeEndOfSection(std::int32_t marker) {
    if (marker > 0) {
        // A positive length would announce payload that never follows.
        throw CIOException("writeEndOfSection");
    }
    std::uint8_t header[CDataStream::kHeaderSize];
    StoreBE32(header, static_cast<std::uint32_t>(marker));
    SendRaw(header, sizeof header, "writeEndOfSection");
}

// The header is checked before any payload is received, so a length beyond
// the buffer never reaches the socket.
bool CClientRequest::ReceiveBlock(bool priceBlock, int* decimals, const char* sizeOperation,
                                  const char* dataOperation) {
    in_.Reset();
    ReceiveRaw(in_.Buffer(), CDataStream::kHeaderSize, sizeOperation);
    const bool hasPayload = priceBlock ? in_.readSizeNK(*decimals) : in_.readSize();
    if (!hasPayload) {
        return false;
    }
    ReceiveRaw(in_.Buffer() + CDataStream::kHeaderSize, in_.BlockLength(), dataOperation);
    return true;
}

bool CClientRequest::readBlock() {
    return ReceiveBlock(false, nullptr, "readBlock Receive Size", "readBlock Receive Data");
}

bool CClientRequest::readBlockNK(int& decimals) {
    return ReceiveBlock(true, &decimals, "readBlockNK Receive Size", "readBlockNK Receive Data");
}

void CClientRequest::readData() {
    if (!ReceiveBlock(false, nullptr, "readData Receive Size", "readData Receive Data")) {
        throw CIOException("readData Size");
    }
}

void CClientRequest::SkipSection() {
    while (Running() && readBlock()) {
    }
}

void CClientRequest::writeShort(std::uint16_t value) {
    std::uint8_t bytes[2];
    StoreBigEndian(bytes, value, 2);
    SendRaw(bytes, sizeof bytes, "writeShort");
}

std::int32_t CClientRequest::readLong() {
    std::uint8_t bytes[4];
    ReceiveRaw(bytes, sizeof bytes, "readLong");
    return static_cast<std::int32_t>(LoadBE32(bytes));
}

RequestHeader CClientRequest::readRequestHeader() {
    std::uint8_t bytes[kRequestHeaderSize];
    ReceiveRaw(bytes, sizeof bytes, "readRequestHeader");
    RequestHeader header;
    if (!DecodeRequestHeader(bytes, &header)) {
        throw CIOException("readRequestHeader");
    }
    return header;
}

void CClientRequest::writeByte(std::uint8_t value) {
    SendRaw(&value, 1, "writeByte");
}

void CClientRequest::writeLong(std::int32_t value) {
    std::uint8_t bytes[4];
    StoreBE32(bytes, static_cast<std::uint32_t>(value));
    SendRaw(bytes, sizeof bytes, "writeLong");
}

std::uint16_t CClientRequest::readShort() {
    std::uint8_t bytes[2];
    ReceiveRaw(bytes, sizeof bytes, "readShort");
    return static_cast<std::uint16_t>(LoadBigEndian(bytes, 2));
}

} // namespace mvr
