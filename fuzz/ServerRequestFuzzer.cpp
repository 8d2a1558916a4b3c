// The server's readers of every request on any bytes a client may send. The
// first byte picks what is read: the request header, or the body of one of
// the request codes with its handler; its top bit gives the price requests a
// valid account check number, so that the entitled path is reached too. The
// rest is what arrives on the connection. A handler may refuse
// (CIOException) but must never read beyond a limit, allocate without bound
// or crash.

#include "support/FuzzServerData.h"
#include "support/InputSocket.h"
#include "support/ServerRoutes.h"

#include "core/net/ClientRequest.h"
#include "core/net/IOException.h"
#include "server/CatalogueRequestHandlers.h"
#include "server/ChartAnswers.h"
#include "server/DefinitionRequestHandler.h"
#include "server/SearchRequestHandlers.h"
#include "server/UserRequestHandlers.h"

#include <cstdint>
#include <iterator>

namespace {

void AnswerDaily(mvr::CRequestContext& request) {
    mvr::AnswerDailyBars(request.Connection(), {request.Data(), request.Header().parameter,
                                                mvr::fuzz::FuzzToday()});
}

void AnswerIntraday(mvr::CRequestContext& request) {
    mvr::AnswerIntradayBars(request.Connection(), {request.Data(), request.Header().parameter,
                                                   mvr::fuzz::FuzzToday()});
}

using Handler = void (*)(mvr::CRequestContext&);

Handler HandlerOf(std::uint8_t code) {
    switch (code) {
    case mvr::kRequestLogin:
        return mvr::AnswerLogin;
    case mvr::kRequestCheckAccount:
        return mvr::AnswerCheckAccount;
    case mvr::kRequestClientInfo:
        return mvr::AnswerClientInfo;
    case mvr::kRequestCatalogues:
        return mvr::AnswerCatalogues;
    case mvr::kRequestCatalogueContents:
        return mvr::AnswerCatalogueContents;
    case mvr::kRequestSymbolSearch:
        return mvr::AnswerSymbolSearch;
    case mvr::kRequestSymbolLookup:
        return mvr::AnswerSymbolLookup;
    case mvr::kRequestTranslateNumbers:
        return mvr::AnswerTranslation;
    case mvr::kDailyBarsRequestCode:
        return AnswerDaily;
    case mvr::kIntradayBarsRequestCode:
        return AnswerIntraday;
    case mvr::kRequestDefinitionFile:
        return mvr::AnswerDefinitionFile;
    default:
        return nullptr;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t code =
        mvr::fuzz::kServerRoutes[(data[0] & 0x7f) % std::size(mvr::fuzz::kServerRoutes)];
    const Handler handler = HandlerOf(code);
    mvr::fuzz::CInputSocket socket({data + 1, size - 1});
    const mvr::RunFlag run{1};
    mvr::CClientRequest connection(socket, run);
    try {
        if (handler == nullptr) {
            connection.readRequestHeader();
            return 0;
        }
        mvr::RequestHeader header;
        header.code = code;
        header.parameter =
            (data[0] & mvr::fuzz::kValidNumberBit) != 0 ? mvr::fuzz::kValidCheckNumber : 0;
        const mvr::FaultOptions faults;
        mvr::CRequestContext request(connection, mvr::fuzz::FuzzServerData(), header, faults);
        handler(request);
    } catch (const mvr::CIOException&) {
    }
    return 0;
}
