#include "core/net/ServerRequest.h"

#include "core/net/IOException.h"
#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/SocketError.h"

#include <chrono>
#include <thread>

namespace mvr {

namespace {

constexpr std::chrono::milliseconds kRetryPause{250};

} // namespace

void CServerRequest::PauseAfterFailedConnect() {
    std::this_thread::sleep_for(kRetryPause);
}

void CServerRequest::Open(CWinSocket& socket, const RunFlag& runFlag) {
    Attach(socket, runFlag);
    // A cleared flag then also ends the wait for a silent server.
    socket.WatchRunFlag(&runFlag);
    const std::string host = GetServerEndpoint().name;
    if (!socket.Connect(host.c_str())) {
        PauseAfterFailedConnect();
        // A server that did not answer in time is not asked again; any other
        // failure (refused, reset) may be passing.
        if (socket.Error() == kSockErrTimedOut || !socket.Connect(host.c_str())) {
            throw CIOException("Open", socket.Error());
        }
    }
    if (!socket.SetBlocking(true)) {
        throw CIOException("SetBlocking", socket.Error());
    }
    if (!socket.SetReceiveTimeout(RequestTimeout()) || !socket.SetSendTimeout(RequestTimeout())) {
        throw CIOException("SetTimeOut", socket.Error());
    }
}

std::uint8_t CServerRequest::writeHeader(std::uint8_t code, std::int32_t parameter) {
    RequestHeader header;
    header.protocolVersion = ProtocolVersion();
    header.kind = kind_;
    header.code = code;
    header.parameter = parameter;
    std::uint8_t bytes[kRequestHeaderSize];
    EncodeRequestHeader(header, bytes);
    if (!Socket().Send(bytes, sizeof bytes)) {
        throw CIOException("writeHeader", Socket().Error());
    }
    bool sawZero = false;
    while (Running()) {
        std::uint8_t status = 0;
        if (!Socket().Receive(&status, 1)) {
            if (sawZero) {
                throw CIOException("writeHeader|cRequestRunning", Socket().Error());
            }
            return 0;
        }
        if (status == 0) {
            sawZero = true;
            continue;
        }
        if (status == kStatusRequestRunning) {
            throw CIOException("writeHeader|cRequestRunning", Socket().Error());
        }
        return status;
    }
    return 0;
}

bool CServerRequest::readServerDatum() {
    std::uint8_t datum = 0;
    if (!Socket().Receive(&datum, 1)) {
        throw CIOException("readServerDatum", Socket().Error());
    }
    return datum == 1;
}

bool CSearchRequest::SectionResult(std::string& text) const {
    const std::int32_t end = In().BlockLength();
    if (Running() && end == 0) {
        text = kTitlesFoundText;
        return true;
    }
    if (Running() && end == kSectionDatabaseError) {
        text = kDatabaseErrorText;
    } else if (Running() && end == kSectionTooManyResults) {
        text = kTooManyResultsText;
    } else {
        text = kServerErrorText;
    }
    return false;
}

bool CKatalogRequest::SectionResult(std::string& text) const {
    const std::int32_t end = In().BlockLength();
    if (Running() && end == kSectionDatabaseError) {
        text = kDatabaseErrorText;
        return false;
    }
    return true;
}

} // namespace mvr
