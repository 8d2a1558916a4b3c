// mvr-priceserver: the reference price server. It serves a data folder, and
// prepares and checks data folders; every run does what its first option names.

#include "core/formats/DayNumber.h"
#include "core/platform/BuildVersion.h"
#include "server/DataFolderCheck.h"
#include "server/DemoGenerator.h"
#include "server/PriceServer.h"
#include "server/ServerCommandLine.h"
#include "server/ServerData.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int MakeDemo(const mvr::ServerCommand& command) {
    const auto start = std::chrono::steady_clock::now();
    const mvr::CDemoGenerator generator(command.demoOptions);
    mvr::DemoSummary summary;
    std::string error;
    if (!generator.Write(command.folder, &summary, &error)) {
        std::fprintf(stderr, "mvr-priceserver: %s\n", error.c_str());
        return kExitFailed;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto& days = generator.BusinessDays();
    std::printf("Wrote demo data to %s in %.1f s:\n"
                "  %zu instruments, %llu daily bars from %s to %s,\n"
                "  %zu instruments with %llu 1-minute bars of the last %zu business days.\n"
                "Log in with account %s and password %s.\n",
                command.folder.c_str(), seconds, summary.instruments,
                static_cast<unsigned long long>(summary.dailyBars),
                days.empty() ? "" : mvr::FormatDayNumber(days.front()).c_str(),
                days.empty() ? "" : mvr::FormatDayNumber(days.back()).c_str(),
                summary.intradayInstruments, static_cast<unsigned long long>(summary.minuteBars),
                mvr::kDemoMinuteDays, std::string(mvr::kDemoAccount).c_str(),
                std::string(mvr::kDemoPassword).c_str());
    return kExitDone;
}

int CheckData(const mvr::ServerCommand& command) {
    const mvr::DataFolderReport report = mvr::CheckDataFolder(command.folder);
    std::fputs(mvr::FormatDataFolderReport(report).c_str(), report.error ? stderr : stdout);
    return report.error ? kExitFailed : kExitDone;
}

std::atomic<mvr::CPriceServer*> gServing{nullptr};

extern "C" void RequestStop(int) {
    if (mvr::CPriceServer* server = gServing.load()) {
        server->Stop();
    }
}

int Serve(const mvr::ServerCommand& command) {
    mvr::DataError error;
    std::vector<std::string> warnings;
    const auto data = mvr::CServerData::Open(command.folder, &error, &warnings);
    if (!data) {
        std::fprintf(stderr, "mvr-priceserver: %s\n", error.Text().c_str());
        return kExitFailed;
    }
    for (const std::string& warning : warnings) {
        std::fprintf(stderr, "mvr-priceserver: warning: %s\n", warning.c_str());
    }
    mvr::CRequestLog log;
    if (command.serveOptions.dataUntilDay) {
        data->ServeBarsUntil(*command.serveOptions.dataUntilDay);
    }
    mvr::CPriceServer server(*data, command.serveOptions, log);
    std::string listenError;
    if (!server.Listen(&listenError)) {
        std::fprintf(stderr, "mvr-priceserver: %s\n", listenError.c_str());
        return kExitFailed;
    }
    gServing.store(&server);
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
#ifdef SIGBREAK
    std::signal(SIGBREAK, RequestStop); // Ctrl+Break in the console on Windows
#endif
    // The one line scripts and tests wait for; the port is the real one.
    std::printf("listening address=%s port=%d\n", command.serveOptions.address.c_str(),
                server.Port());
    std::fflush(stdout);
    server.Run();
    gServing.store(nullptr);
    std::fprintf(stderr, "mvr-priceserver: stopped\n");
    return kExitDone;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    std::string error;
    const auto command = mvr::ParseServerCommandLine(arguments, mvr::TodayDayNumber(), &error);
    if (!command) {
        std::fprintf(stderr, "mvr-priceserver: %s\n\n%s", error.c_str(),
                     mvr::ServerUsageText().c_str());
        return kExitUsage;
    }
    switch (command->kind) {
    case mvr::ServerCommandKind::Help:
        std::fputs(mvr::ServerUsageText().c_str(), stdout);
        return kExitDone;
    case mvr::ServerCommandKind::Version:
        std::printf("mvr-priceserver %ld.%ld.%ld.%ld\n", mvr::kVersionMajor, mvr::kVersionMinor,
                    mvr::kVersionBuild, mvr::kVersionRevision);
        return kExitDone;
    case mvr::ServerCommandKind::MakeDemo:
        return MakeDemo(*command);
    case mvr::ServerCommandKind::CheckData:
        return CheckData(*command);
    case mvr::ServerCommandKind::Serve:
        return Serve(*command);
    }
    return kExitUsage;
}
