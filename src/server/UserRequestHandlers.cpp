#include "server/UserRequestHandlers.h"

#include "core/net/ClientInfo.h"
#include "core/net/ReferenceTables.h"
#include "core/net/ServerRequest.h"
#include "core/net/UserRequests.h"
#include "core/platform/TextUtil.h"
#include "server/RequestBody.h"

#include <string>

namespace mvr {

namespace {

// The client's buffers for the texts of the bodies.
constexpr std::size_t kBodyTextSize = 260;

struct LoginBody {
    std::string account;
    std::string password;
};

LoginBody ReadLoginBody(CRequestContext& request) {
    request.Connection().readData();
    CDataInputStream& in = request.In();
    LoginBody body;
    body.account = in.readString(kBodyTextSize);
    body.password = in.readString(kBodyTextSize);
    in.readString(kBodyTextSize); // always empty
    in.readString(kBodyTextSize); // the client text
    RequirePayload(in, 4, "login body");
    in.readLong(); // the closing mark
    RequireWithinPayload(in, "login body");
    return body;
}

void WriteUserRecord(CRequestContext& request, const ServerAccount& account) {
    CDataOutputStream& out = request.Out();
    for (int i = 0; i < 3; ++i) {
        out.writeByte(0);
    }
    out.writeLong(account.loginNumber);
    out.writeString(Truncated(account.account, kUserRecordTextSize - 1));
    out.writeString("");
    out.writeString("");
    out.writeLong(0);
    out.writeLong64(0);
    out.writeLong(0);
    out.writeLong(static_cast<std::int32_t>(account.flagWord));
    out.writeLong(0);
    out.writeLong(0);
    out.writeBool(false);
    out.writeBool(false);
    out.writeByte(0);
    request.Connection().writeData();
}

void WriteNumberedNames(CRequestContext& request, const std::vector<NumberedName>& names) {
    for (const NumberedName& entry : names) {
        request.MakeRoom(2 + static_cast<std::int32_t>(kReferenceNameSize) + 1);
        request.Out().writeShort(static_cast<std::uint16_t>(entry.number));
        request.Out().writeString(Truncated(entry.name, kReferenceNameSize - 1));
    }
    request.EndSection();
}

void WriteExchanges(CRequestContext& request) {
    for (const ServerExchange& exchange : request.Data().Tables().exchanges) {
        request.MakeRoom(2 + static_cast<std::int32_t>(kReferenceNameSize) + 2);
        request.Out().writeShort(static_cast<std::uint16_t>(exchange.number));
        request.Out().writeString(Truncated(exchange.name, kReferenceNameSize - 1));
        request.Out().writeBool(exchange.flag);
    }
    request.EndSection();
}

// A block whose content the client reads and drops.
void WriteIgnoredBlock(CRequestContext& request) {
    request.Out().writeLong(0);
    request.Connection().writeBlock();
}

// Returns the marker that ended the last section, the search kinds.
std::int32_t WriteReferenceSections(CRequestContext& request, std::uint32_t flagWord) {
    const ServerTables& tables = request.Data().Tables();
    WriteNumberedNames(request, tables.securityTypes);
    WriteNumberedNames(request, tables.countries);
    WriteExchanges(request);
    for (int i = 0; i < kLoginSkippedSections; ++i) {
        request.EndSection();
    }
    for (int i = 0; i < 3; ++i) {
        request.Connection().writeLong(0);
    }
    if ((flagWord & kUserFlagExtraSections) != 0) {
        for (int i = 0; i < kLoginExtraSkippedSections; ++i) {
            request.EndSection();
        }
        WriteIgnoredBlock(request);
    }
    request.Connection().writeLong(0);
    request.EndSection();
    request.Connection().writeLong(0);
    WriteIgnoredBlock(request);
    for (const SearchKind& kind : tables.searchKinds) {
        request.MakeRoom(static_cast<std::int32_t>(kSearchKindNameSize) + 4);
        request.Out().writeString(Truncated(kind.name, kSearchKindNameSize - 1));
        request.Out().writeLong(kind.code);
    }
    return request.EndSection();
}

void WriteAccountResult(CRequestContext& request, std::int32_t result) {
    request.Connection().writeLong(result);
    request.Connection().writeByte(1);
    request.Connection().writeByte(0);
}

} // namespace

void AnswerLogin(CRequestContext& request) {
    const LoginBody body = ReadLoginBody(request);
    const AccountAnswer answer = request.Data().Login(body.account, body.password);
    WriteAccountResult(request, answer.result);
    if (answer.result < 1) {
        if (answer.result == kAccountServerMessage && answer.account != nullptr) {
            request.Out().writeString(Truncated(answer.account->message, kServerMessageSize - 1));
            request.Connection().writeData();
        }
        request.SetResult("login=" + std::to_string(answer.result));
        return;
    }
    WriteUserRecord(request, *answer.account);
    const std::int32_t lastMarker = WriteReferenceSections(request, answer.account->flagWord);
    if (lastMarker == kSectionTooManyResults) {
        request.SetResult("login=" + std::to_string(answer.result) + ",no-rate");
        return;
    }
    const std::uint16_t rate = request.Connection().readShort();
    request.SetResult("login=" + std::to_string(answer.result) + ",rate=" + std::to_string(rate));
}

void AnswerCheckAccount(CRequestContext& request) {
    const LoginBody body = ReadLoginBody(request);
    const AccountAnswer answer = request.Data().CheckAccount(body.account, body.password);
    request.Out().writeLong(answer.result);
    request.Out().writeLong(0);
    request.Connection().writeData();
    request.SetResult("check=" + std::to_string(answer.result));
}

void AnswerClientInfo(CRequestContext& request) {
    request.Connection().readData();
    CDataInputStream& in = request.In();
    in.readString(kBodyTextSize); // the client text; every version gets the same answer
    RequirePayload(in, 4, "client information body");
    in.readLong();
    const ClientInformation& info = request.Data().Tables().clientInfo;
    CDataOutputStream& out = request.Out();
    out.writeString(Truncated(info.message, kClientMessageSize - 1));
    out.writeBool(info.updateAvailable);
    out.writeBool(info.updateMandatory);
    out.writeString(Truncated(info.reservedText, kClientInfoTextSize - 1));
    out.writeString(Truncated(info.infoAddress, kClientInfoTextSize - 1));
    out.writeString(Truncated(info.linkCaption, kClientInfoTextSize - 1));
    out.writeLong(info.reservedNumber);
    request.Connection().writeData();
}

} // namespace mvr
