#include "server/PriceServer.h"

#include "core/definition/DefinitionFileRequest.h"
#include "core/formats/DayNumber.h"
#include "core/net/CatalogueRequests.h"
#include "core/net/InstrumentTranslation.h"
#include "core/net/ServerRequest.h"
#include "core/net/SocketError.h"
#include "core/net/SymbolLookup.h"
#include "core/net/SymbolSearchRequest.h"
#include "core/net/UserRequests.h"
#include "core/update/ChartRequestBody.h"
#include "server/CatalogueRequestHandlers.h"
#include "server/ChartAnswers.h"
#include "server/DefinitionRequestHandler.h"
#include "server/SearchRequestHandlers.h"
#include "server/UserRequestHandlers.h"

#include <cstdio>
#include <exception>

namespace mvr {

namespace {

static_assert(std::atomic<bool>::is_always_lock_free, "Stop() must be safe in a signal handler");

// Clients beyond the workers wait in the system's queue of the listener,
// which does not block: a client that gives up between the poll and the
// accept must not stall the loop.
constexpr int kListenBacklog = 512;
// How often the listener looks at the stop flag.
constexpr std::chrono::milliseconds kStopPoll{50};

// The price answers count days back from the server's own today; any header
// number is taken, because an unknown one gets an answer without entries.
ChartAnswerContext ChartContextOf(CRequestContext& request) {
    return ChartAnswerContext{request.Data(), request.Header().parameter, TodayDayNumber()};
}

void AnswerDailyBarsRequest(CRequestContext& request) {
    AnswerDailyBars(request.Connection(), ChartContextOf(request));
}

void AnswerIntradayBarsRequest(CRequestContext& request) {
    AnswerIntradayBars(request.Connection(), ChartContextOf(request));
}

// The last word of a thread that caught what the request log could not take:
// a fixed text, because making a longer one may fail the same way.
void ReportToStderr(const char* where) noexcept {
    std::fputs("mvr-priceserver: ", stderr);
    std::fputs(where, stderr);
    std::fputs(" failed and was abandoned; the server goes on\n", stderr);
    std::fflush(stderr);
}

} // namespace

void RegisterStandardHandlers(CRequestDispatcher& dispatcher) {
    using H = HeaderNumber;
    dispatcher.Register(kRequestDefinitionFile, kSearchRequestKind, H::CheckNumber,
                        AnswerDefinitionFile);
    dispatcher.Register(kRequestLogin, kUserRequestKind, H::None, AnswerLogin);
    dispatcher.Register(kRequestCheckAccount, kUserRequestKind, H::None, AnswerCheckAccount);
    dispatcher.Register(kRequestClientInfo, kUserRequestKind, H::None, AnswerClientInfo);
    dispatcher.Register(kRequestCatalogues, kKatalogRequestKind, H::LoginNumber, AnswerCatalogues);
    dispatcher.Register(kRequestCatalogueContents, kKatalogRequestKind, H::LoginOrCheckNumber,
                        AnswerCatalogueContents);
    dispatcher.Register(kRequestSymbolSearch, kSearchRequestKind, H::LoginNumber,
                        AnswerSymbolSearch);
    dispatcher.Register(kRequestSymbolLookup, kSearchRequestKind, H::LoginNumber,
                        AnswerSymbolLookup);
    dispatcher.Register(kRequestTranslateNumbers, kSearchRequestKind, H::CheckNumber,
                        AnswerTranslation);
    dispatcher.Register(kDailyBarsRequestCode, kChartRequestKind, H::None, AnswerDailyBarsRequest);
    dispatcher.Register(kIntradayBarsRequestCode, kChartRequestKind, H::None,
                        AnswerIntradayBarsRequest);
}

CPriceServer::CPriceServer(const CServerData& data, ServeOptions options, CRequestLog& log)
    : options_(std::move(options)), dispatcher_(data, options_, log),
      queue_(static_cast<std::size_t>(options_.connections)) {
    RegisterStandardHandlers(dispatcher_);
}

CPriceServer::~CPriceServer() {
    StopAndWait();
}

bool CPriceServer::Listen(std::string* error) {
    if (!StartSockets(2, 2) ||
        !listener_.Create(options_.port, SocketType::Stream, options_.address.c_str(), true) ||
        !listener_.Listen(kListenBacklog) || !listener_.SetBlocking(false)) {
        *error = "cannot listen on " + options_.address + " port " + std::to_string(options_.port) +
                 ": " + SocketErrorName(listener_.Error());
        listener_.Close();
        return false;
    }
    return true;
}

void CPriceServer::Run() {
    if (!listener_.IsOpen()) {
        return; // Listen() failed or was not called: there is nothing to serve
    }
    for (int i = 0; i < options_.connections; ++i) {
        workers_.emplace_back([this] { WorkerLoop(); });
    }
    AcceptLoop();
    queue_.Close();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
    listener_.Close();
}

void CPriceServer::Start() {
    runner_ = std::thread([this] { Run(); });
}

void CPriceServer::StopAndWait() {
    Stop();
    if (runner_.joinable()) {
        runner_.join();
    }
}

void CPriceServer::AcceptLoop() {
    while (!stopping_.load()) {
        if (!queue_.WaitForRoom(kStopPoll) || !listener_.WaitUntilReadable(kStopPoll)) {
            continue;
        }
        try {
            AcceptOne();
        } catch (...) {
            // Out of memory for the connection's socket or its queue entry: the
            // connection, if accepted, is closed with it; the next one may fare better.
            ReportToStderr("accepting a connection");
        }
    }
}

void CPriceServer::AcceptOne() {
    AcceptedConnection connection;
    connection.socket = std::make_unique<CConnectionSocket>(options_, stopping_);
    if (!listener_.Accept(*connection.socket, &connection.peer)) {
        return; // the client gave up before it was accepted
    }
    queue_.Push(std::move(connection));
}

void CPriceServer::WorkerLoop() {
    AcceptedConnection connection;
    while (queue_.Pop(connection)) {
        try {
            dispatcher_.Serve(*connection.socket, connection.peer);
        } catch (...) {
            // Serve logs every failure of the request itself; only its log line
            // can fail here. The connection is closed as it is dropped below.
            ReportToStderr("serving a connection");
        }
        connection = AcceptedConnection{};
    }
}



} // namespace mvr
