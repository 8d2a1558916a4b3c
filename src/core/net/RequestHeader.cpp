#include "core/net/RequestHeader.h"

#include "core/net/BigEndian.h"

#include <atomic>

namespace mvr {

namespace {

// Byte 0 carries the version in its high nibble and this mark in the low one.
constexpr std::uint8_t kVersionMark = 0x06;
constexpr std::uint8_t kHeaderMark = 0x60;

std::atomic<int> gProtocolVersion{kProtocolVersion};

} // namespace

void EncodeRequestHeader(const RequestHeader& header,
                         std::span<std::uint8_t, kRequestHeaderSize> bytes) {
    bytes[0] = static_cast<std::uint8_t>(header.protocolVersion * 16 + kVersionMark);
    bytes[1] = kHeaderMark;
    bytes[2] = header.kind;
    bytes[3] = header.code;
    StoreBE32(&bytes[4], static_cast<std::uint32_t>(header.parameter));
}

bool DecodeRequestHeader(std::span<const std::uint8_t, kRequestHeaderSize> bytes,
                         RequestHeader* header) {
    if ((bytes[0] & 0x0F) != kVersionMark || bytes[1] != kHeaderMark) {
        return false;
    }
    header->protocolVersion = bytes[0] >> 4;
    header->kind = bytes[2];
    header->code = bytes[3];
    header->parameter = static_cast<std::int32_t>(LoadBE32(&bytes[4]));
    return true;
}

int ProtocolVersion() {
    return gProtocolVersion.load();
}

void SetProtocolVersion(int version) {
    gProtocolVersion.store(version);
}

} // namespace mvr
