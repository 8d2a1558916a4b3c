#pragma once

// A request to the price server on a connection of its own: Open connects to
// the configured server, writeHeader names the request and waits for the
// server's go-ahead. The four request classes differ only in the kind byte
// of their header; two of them turn the end of an answer section into a
// result for the user.

#include "core/net/ClientRequest.h"

#include <cstdint>
#include <string>

namespace mvr {

inline constexpr std::uint8_t kUserRequestKind = 1;
inline constexpr std::uint8_t kSearchRequestKind = 2;
inline constexpr std::uint8_t kKatalogRequestKind = 3;
inline constexpr std::uint8_t kChartRequestKind = 9;

// Status bytes of the handshake: zeros may precede the go-ahead; this one
// refuses a request that is already running.
inline constexpr std::uint8_t kStatusRequestRunning = 2;

inline constexpr std::int32_t kSectionDatabaseError = -1;
inline constexpr std::int32_t kSectionTooManyResults = -2;

inline constexpr const char* kDatabaseErrorText = "The server reported a database error!";
inline constexpr const char* kTooManyResultsText =
    "Search canceled! Please enter a more precise search term.";
inline constexpr const char* kServerErrorText = "The server reported an error!";
inline constexpr const char* kTitlesFoundText = "Titles found:";

class CServerRequest : public CClientRequest {
public:
    explicit CServerRequest(std::uint8_t kind) : kind_(kind) {}
    ~CServerRequest() override = default;

    std::uint8_t Kind() const { return kind_; }

    // Connects `socket` to the configured server (one more try after a pause
    // unless the first one timed out), makes it blocking and sets the
    // receive and send time-outs.
    void Open(CWinSocket& socket, const RunFlag& runFlag);
    // Sends the header and reads status bytes up to the go-ahead, which it
    // returns; 0 when the first status byte does not arrive.
    std::uint8_t writeHeader(std::uint8_t code, std::int32_t parameter);
    // One raw byte; true when it is 1.
    bool readServerDatum();

protected:
    // The pause after a failed first connection attempt.
    virtual void PauseAfterFailedConnect();

private:
    std::uint8_t kind_;
};

class CUserRequest : public CServerRequest {
public:
    CUserRequest() : CServerRequest(kUserRequestKind) {}
};

class CSearchRequest : public CServerRequest {
public:
    CSearchRequest() : CServerRequest(kSearchRequestKind) {}
    // After an answer section: true for a normal end; `text` gets the text
    // for the user in every case.
    bool SectionResult(std::string& text) const;
};

class CKatalogRequest : public CServerRequest {
public:
    CKatalogRequest() : CServerRequest(kKatalogRequestKind) {}
    // After an answer section: false only for a database error, with its text
    // in `text` (left alone otherwise).
    bool SectionResult(std::string& text) const;
};

class CChartRequest : public CServerRequest {
public:
    CChartRequest() : CServerRequest(kChartRequestKind) {}
};

} // namespace mvr
