#include "core/net/UserRequests.h"

#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/ServerRequest.h"
#include "core/platform/BuildVersion.h"
#include "core/platform/TickClock.h"

#include <algorithm>
#include <cstdio>

namespace mvr {

namespace {

constexpr const char* kInvalidText = "The specifications are invalid!";
constexpr const char* kBlockedText = "Your access has been blocked!\n"
                                     "Please contact the sales department (+49 69 4005 2210).";
constexpr const char* kRealtimeUnavailableText =
    "No connection to the Marvane Realtime server could be established.";

constexpr std::uint16_t kMaxDownloadRate = 32767;
constexpr std::uint16_t kRateWithoutTime = 10000;

// Version 5 of the protocol, and the primary host on its fallback port when
// the configuration names port 0.
void PrepareUserConnection() {
    SetProtocolVersion(kProtocolVersion);
    ServerEndpoint endpoint = GetServerEndpoint();
    if (endpoint.port == 0) {
        SetServerEndpoint({PrimaryServerHost(), kFallbackServerPort});
    }
}

void WriteLoginBody(CUserRequest& request, const std::string& account,
                    const std::string& password) {
    CDataOutputStream& out = request.Out();
    out.writeString(account);
    out.writeString(password);
    out.writeString("");
    out.writeString(ClientText());
    out.writeLong(kClientBodyMark);
    request.writeData();
}

void ReadUserRecord(CUserRequest& request, LoginUser& user) {
    request.readData();
    CDataInputStream& in = request.In();
    for (int i = 0; i < 3; ++i) {
        in.readByte();
    }
    const std::int32_t loginNumber = in.readLong();
    for (int i = 0; i < 3; ++i) {
        in.readString(kUserRecordTextSize);
    }
    in.readLong();
    in.readLong64();
    in.readLong();
    const auto flagWord = static_cast<std::uint32_t>(in.readLong());
    // Trailing items that older servers leave out; none is used.
    if (in.HasMore()) {
        in.readLong();
    }
    if (in.HasMore()) {
        in.readLong();
    }
    if (in.HasMore()) {
        in.readBool();
    }
    if (in.HasMore()) {
        in.readBool();
    }
    if (in.HasMore()) {
        in.readByte();
    }
    user.loginNumber = loginNumber;
    user.flagWord = flagWord;
    user.received = true;
}

void ReadReferenceSections(CUserRequest& request, ReferenceTables& tables, std::uint32_t flags) {
    tables.securityTypes.clear();
    request.ReadSection([&](CDataInputStream& in) {
        WPART type;
        type.number = in.readShort();
        type.name = in.readString(kReferenceNameSize);
        tables.securityTypes[type.number] = type;
    });
    request.ReadSection([](CDataInputStream& in) { // countries, not kept
        in.readShort();
        in.readString(kReferenceNameSize);
    });
    tables.exchanges.clear();
    request.ReadSection([&](CDataInputStream& in) {
        BOERSE exchange;
        exchange.number = in.readShort();
        exchange.name = ExchangeDisplayName(in.readString(kReferenceNameSize));
        exchange.flag = in.readBool();
        tables.exchanges[exchange.number] = exchange;
    });
    for (int i = 0; i < kLoginSkippedSections; ++i) {
        request.SkipSection();
    }
    for (int i = 0; i < 3; ++i) {
        request.readLong();
    }
    if ((flags & kUserFlagExtraSections) != 0) {
        for (int i = 0; i < kLoginExtraSkippedSections; ++i) {
            request.SkipSection();
        }
        request.readBlock();
    }
    request.readLong();
    request.SkipSection();
    request.readLong();
    request.readBlock();
    request.ReadSection([&](CDataInputStream& in) {
        MVRSUCHART kind;
        kind.name = in.readString(kSearchKindNameSize);
        kind.code = in.readLong();
        tables.searchKinds.push_back(kind);
    });
}

void FillMessage(std::int32_t result, CUserRequest& request, std::string& message) {
    if (result == kAccountServerMessage) {
        request.readData();
        message = request.In().readString(kServerMessageSize);
        return;
    }
    message = AccountResultMessage(result);
}

} // namespace

std::string ClientText() {
    char version[96];
    std::snprintf(version, sizeof version, "%ld.%ld.%ld.%ld", kVersionMajor, kVersionMinor,
                  kVersionBuild, kVersionRevision);
    return std::string(version) + ";6;NULL;";
}

std::string AccountResultMessage(std::int32_t result) {
    switch (result) {
    case kAccountDatabaseError:
        return kDatabaseErrorText;
    case kAccountInvalid:
        return kInvalidText;
    case kAccountBlocked:
        return kBlockedText;
    case kAccountRealtimeUnavailable:
        return kRealtimeUnavailableText;
    default:
        return {};
    }
}

std::uint16_t DownloadRate(std::int64_t bytes, std::uint32_t elapsedMilliseconds) {
    if (elapsedMilliseconds == 0) {
        return kRateWithoutTime;
    }
    const std::uint64_t rate =
        static_cast<std::uint64_t>(std::max<std::int64_t>(bytes, 0)) * 10 / elapsedMilliseconds;
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(rate, kMaxDownloadRate));
}

std::int32_t ExchangeLogin(const std::string& account, const std::string& password,
                           ReferenceTables& tables, LoginUser& user, std::string& message,
                           const RunFlag& run) {
    message.clear();
    if (!StartSockets(1, 1)) {
        return 0;
    }
    PrepareUserConnection();
    try {
        CWinSocket socket;
        CUserRequest request;
        request.Open(socket, run);
        request.writeHeader(kRequestLogin, 0);
        WriteLoginBody(request, account, password);
        const std::int32_t result = request.readLong();
        request.readServerDatum();
        request.readServerDatum();
        if (result < 1) {
            FillMessage(result, request, message);
            return 0;
        }
        const std::uint32_t start = SystemTickClock().TickCount();
        const std::int64_t receivedBefore = socket.BytesReceived();
        ReadUserRecord(request, user);
        ReadReferenceSections(request, tables, user.flagWord);
        if (!(request.Running() && request.In().BlockLength() == kSectionTooManyResults)) {
            const std::uint32_t elapsed = SystemTickClock().TickCount() - start;
            request.writeShort(DownloadRate(socket.BytesReceived() - receivedBefore, elapsed));
        }
        return result;
    } catch (const CIOException&) {
        return 0;
    }
}

std::int32_t Login(const std::string& account, const std::string& password, std::string& message,
                   const RunFlag& run) {
    if (LoginNumber() != 0) {
        return 1;
    }
    LoginUser user;
    const std::int32_t result =
        ExchangeLogin(account, password, ReferenceTablesForLogin(), user, message, run);
    if (user.received) {
        SetLoginNumber(user.loginNumber);
    }
    return result;
}

std::int32_t CheckAccount(const std::string& account, const std::string& password,
                          const RunFlag& run) {
    if (!StartSockets(1, 1)) {
        return kCheckSocketsUnavailable;
    }
    PrepareUserConnection();
    try {
        CWinSocket socket;
        CUserRequest request;
        request.Open(socket, run);
        request.writeHeader(kRequestCheckAccount, 0);
        WriteLoginBody(request, account, password);
        if (!request.readBlock()) {
            return 0;
        }
        const std::int32_t result = request.In().readLong();
        request.In().readLong();
        return result;
    } catch (const CIOException&) {
        return kCheckExchangeFailed;
    }
}

int GetClientInfo(CWinSocket& socket, ClientInfo& info, const RunFlag& run) {
    try {
        CUserRequest request;
        request.Open(socket, run);
        request.writeHeader(kRequestClientInfo, 0);
        request.Out().writeString(ClientText());
        request.Out().writeLong(kClientBodyMark);
        request.writeData();
        if (!request.readBlock()) {
            return 0;
        }
        CDataInputStream& in = request.In();
        ClientInfo received;
        received.message = in.readString(kClientMessageSize);
        received.updateAvailable = in.readBool();
        received.updateMandatory = in.readBool();
        received.reservedText = in.readString(kClientInfoTextSize);
        received.infoAddress = in.readString(kClientInfoTextSize);
        received.linkCaption = in.readString(kClientInfoTextSize);
        received.reservedNumber = in.readLong();
        info = received;
        return 1;
    } catch (const CIOException&) {
        return -1;
    }
}

} // namespace mvr
