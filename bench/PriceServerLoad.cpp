// Load on the reference price server: many clients at once, each logging in,
// listing a catalogue and searching, again and again. Reports requests per
// second, the latency of the slowest request, and the peak memory of the
// server process. Not a timed test: run it by hand.
//
//   bench_priceserver_load [--clients N] [--rounds R] [--connections C] [--data DIR]
//
// Without --data it writes a demo data folder of 500 instruments first.

#include "core/formats/DayNumber.h"
#include "core/net/CatalogueRequests.h"
#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/ServerEndpoint.h"
#include "core/net/SymbolSearchRequest.h"
#include "core/net/UserRequests.h"
#include "server/DemoGenerator.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Nothing cancels the benchmark's requests.
const mvr::RunFlag kRunning{1};

using Clock = std::chrono::steady_clock;

struct Options {
    int clients = 200;
    int rounds = 5;
    int connections = 16;
    std::string data;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--clients") {
            options.clients = std::max(1, std::atoi(value));
        } else if (name == "--rounds") {
            options.rounds = std::max(1, std::atoi(value));
        } else if (name == "--connections") {
            options.connections = std::max(1, std::atoi(value));
        } else if (name == "--data") {
            options.data = value;
        }
    }
    return options;
}

// mvr-priceserver as a child process; its request log goes to /dev/null.
struct Server {
    pid_t pid = 0;
    int port = 0;
};

Server StartServer(const std::string& folder, int connections) {
    int ends[2];
    if (pipe(ends) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> arguments = {
        MVR_PRICESERVER_PATH,       "--serve", folder, "--port", "0", "--connections",
        std::to_string(connections)};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    Server server;
    if (posix_spawn(&server.pid, MVR_PRICESERVER_PATH, &actions, nullptr, argv.data(), environ) !=
        0) {
        std::perror("posix_spawn");
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    std::FILE* out = fdopen(ends[0], "r");
    char line[256] = {};
    if (std::fgets(line, sizeof line, out) == nullptr) {
        std::fprintf(stderr, "the server did not start\n");
        std::exit(1);
    }
    const char* port = std::strstr(line, "port=");
    server.port = port != nullptr ? std::atoi(port + 5) : 0;
    std::fclose(out);
    return server;
}

// The peak resident memory of a process, in KiB (VmHWM of /proc).
long PeakResidentKiB(pid_t pid) {
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    std::FILE* status = std::fopen(path.c_str(), "r");
    if (status == nullptr) {
        return -1;
    }
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            kib = std::atol(line + 6);
        }
    }
    std::fclose(status);
    return kib;
}

struct ClientResult {
    int requests = 0;
    int failures = 0;
    std::chrono::microseconds slowest{0};
};

template <typename Request>
void Timed(ClientResult& result, Request request) {
    const auto start = Clock::now();
    bool ok = false;
    try {
        ok = request();
    } catch (const mvr::CIOException&) {
    }
    result.slowest =
        std::max(result.slowest,
                 std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start));
    ++result.requests;
    result.failures += ok ? 0 : 1;
}

// One client: login, the 100-member catalogue, a search; `rounds` times.
ClientResult RunClient(int rounds, const std::atomic<bool>& go) {
    while (!go.load()) {
        std::this_thread::yield();
    }
    ClientResult result;
    const mvr::RunFlag run{1};
    for (int round = 0; round < rounds; ++round) {
        Timed(result, [] {
            mvr::ReferenceTables tables;
            mvr::LoginUser user;
            std::string message;
            return mvr::ExchangeLogin("DEMO", "DEMO", tables, user, message, kRunning) >= 1 &&
                   tables.searchKinds.size() >= 3 && user.received;
        });
        Timed(result, [&] {
            std::vector<mvr::WATCH> records;
            return mvr::LoadCatalogueContents(1, mvr::LoginNumber(), run, records) &&
                   records.size() == 100;
        });
        Timed(result, [&] {
            std::vector<mvr::WATCH> records;
            std::string text;
            mvr::SearchInstruments({1, 0, 0, "an"}, run, records, text);
            return !records.empty(); // complete, or cut at the hit limit
        });
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = ParseOptions(argc, argv);
    std::string folder = options.data;
    std::filesystem::path temporary;
    if (folder.empty()) {
        temporary =
            std::filesystem::temp_directory_path() / ("mvr-load-" + std::to_string(getpid()));
        folder = temporary.string();
        mvr::DemoOptions demo;
        demo.lastDay = mvr::TodayDayNumber();
        mvr::DemoSummary summary;
        std::string error;
        if (!mvr::CDemoGenerator(demo).Write(folder, &summary, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    const Server server = StartServer(folder, options.connections);
    mvr::SetServerEndpoint({"127.0.0.1", server.port});
    std::string message;
    if (mvr::Login("DEMO", "DEMO", message, kRunning) < 1) {
        std::fprintf(stderr, "login failed: %s\n", message.c_str());
        return 1;
    }
    const long idleKiB = PeakResidentKiB(server.pid);

    std::atomic<bool> go{false};
    std::vector<ClientResult> results(static_cast<std::size_t>(options.clients));
    std::vector<std::thread> clients;
    for (int i = 0; i < options.clients; ++i) {
        clients.emplace_back(
            [&, i] { results[static_cast<std::size_t>(i)] = RunClient(options.rounds, go); });
    }
    const auto start = Clock::now();
    go.store(true);
    for (std::thread& client : clients) {
        client.join();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long peakKiB = PeakResidentKiB(server.pid);
    kill(server.pid, SIGTERM);
    int status = 0;
    waitpid(server.pid, &status, 0);

    ClientResult total;
    for (const ClientResult& result : results) {
        total.requests += result.requests;
        total.failures += result.failures;
        total.slowest = std::max(total.slowest, result.slowest);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("clients %d x rounds %d (login, catalogue of 100, search), server workers %d\n",
                options.clients, options.rounds, options.connections);
    std::printf("requests %d, failed %d, in %.2f s: %.0f requests/s, slowest %.1f ms\n",
                total.requests, total.failures, seconds, total.requests / seconds,
                total.slowest.count() / 1000.0);
    std::printf("server peak RSS %ld KiB (%ld KiB after start); client process %ld KiB; "
                "server exit %s\n",
                peakKiB, idleKiB, usage.ru_maxrss,
                WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "clean" : "NOT clean");
    if (!temporary.empty()) {
        std::filesystem::remove_all(temporary);
    }
    return total.failures == 0 ? 0 : 1;
}
