#include "server/ServerCommandLine.h"

#include "core/formats/DayNumber.h"
#include "server/FieldText.h"

#include <charconv>

namespace mvr {

namespace {

// The earliest year a demo history may start in (bar files carry four-digit years).
constexpr int kFirstDemoYear = 1000;
// Bounds of the serving options: a day for any time, a terabyte for a cut.
constexpr std::int64_t kMaxMilliseconds = 86'400'000;
constexpr std::int64_t kMaxCloseAfter = std::int64_t{1} << 40;

bool ReadNumberOption(std::string_view name, std::string_view value, std::int64_t min,
                      std::int64_t max, std::int64_t* out, std::string* error) {
    const auto number = ParseInteger(value, min, max);
    if (!number) {
        *error = std::string(name) + " needs a whole number from " + std::to_string(min) + " to " +
                 std::to_string(max) + ", not '" + std::string(value) + "'";
        return false;
    }
    *out = *number;
    return true;
}

bool ReadDemoOption(std::string_view name, std::string_view value, DemoOptions* options,
                    std::string* error) {
    std::int64_t number = 0;
    if (name == "--instruments") {
        if (!ReadNumberOption(name, value, DemoOptions::kMinInstruments,
                              DemoOptions::kMaxInstruments, &number, error)) {
            return false;
        }
        options->instruments = static_cast<std::int32_t>(number);
        return true;
    }
    if (name == "--years") {
        if (!ReadNumberOption(name, value, DemoOptions::kMinYears, DemoOptions::kMaxYears, &number,
                              error)) {
            return false;
        }
        options->years = static_cast<std::int32_t>(number);
        return true;
    }
    if (name == "--seed") {
        std::uint64_t parsed = 0;
        const char* const last = value.data() + value.size();
        const auto [stop, failure] = std::from_chars(value.data(), last, parsed);
        if (value.empty() || failure != std::errc{} || stop != last) {
            *error = "--seed needs a whole number from 0 to 18446744073709551615, not '" +
                     std::string(value) + "'";
            return false;
        }
        options->seed = parsed;
        return true;
    }
    if (name == "--end-date") {
        const auto day = ParseIsoDate(value);
        if (!day) {
            *error = "--end-date needs a date YYYY-MM-DD, not '" + std::string(value) + "'";
            return false;
        }
        options->lastDay = *day;
        return true;
    }
    *error = "unknown option " + std::string(name);
    return false;
}

std::optional<std::chrono::milliseconds> ReadMilliseconds(std::string_view name,
                                                          std::string_view value, std::int64_t min,
                                                          std::string* error) {
    std::int64_t number = 0;
    if (!ReadNumberOption(name, value, min, kMaxMilliseconds, &number, error)) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(number);
}

// The options of --serve that take a value.
bool ReadServeValue(std::string_view name, std::string_view value, ServeOptions* options,
                    std::string* error) {
    std::int64_t number = 0;
    if (name == "--address") {
        options->address = value;
        return true;
    }
    if (name == "--port") {
        if (!ReadNumberOption(name, value, 0, 65535, &number, error)) {
            return false;
        }
        options->port = static_cast<int>(number);
        return true;
    }
    if (name == "--connections") {
        if (!ReadNumberOption(name, value, 1, ServeOptions::kMaxConnections, &number, error)) {
            return false;
        }
        options->connections = static_cast<int>(number);
        return true;
    }
    std::chrono::milliseconds* duration = nullptr;
    if (name == "--timeout") {
        duration = &options->ioTimeout;
    } else if (name == "--connection-limit") {
        duration = &options->connectionLimit;
    } else if (name == "--fault-delay") {
        duration = &options->faults.blockDelay;
    }
    if (duration != nullptr) {
        const auto ms = ReadMilliseconds(name, value, name == "--fault-delay" ? 0 : 1, error);
        if (!ms) {
            return false;
        }
        *duration = *ms;
        return true;
    }
    if (name == "--data-until") {
        const auto day = ParseIsoDate(value);
        if (!day) {
            *error = "--data-until needs a date YYYY-MM-DD, not '" + std::string(value) + "'";
            return false;
        }
        options->dataUntilDay = *day;
        return true;
    }
    if (name == "--fault-close-after") {
        if (!ReadNumberOption(name, value, 0, kMaxCloseAfter, &number, error)) {
            return false;
        }
        options->faults.closeAfterBytes = number;
        return true;
    }
    if (name == "--fault-marker") {
        if (value != "-1" && value != "-2") {
            *error = "--fault-marker needs -1 or -2, not '" + std::string(value) + "'";
            return false;
        }
        options->faults.sectionMarker = value == "-1" ? -1 : -2;
        return true;
    }
    *error = "unknown option " + std::string(name);
    return false;
}

bool ReadServeOptions(std::span<const std::string_view> arguments, ServeOptions* options,
                      std::string* error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view name = arguments[i];
        if (name == "--fault-refuse") {
            options->faults.refuse = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            *error = std::string(name) + " needs a value";
            return false;
        }
        if (!ReadServeValue(name, arguments[++i], options, error)) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<ServerCommand> ParseServerCommandLine(std::span<const std::string_view> arguments,
                                                    std::int32_t today, std::string* error) {
    if (arguments.empty()) {
        *error = "no option given";
        return std::nullopt;
    }
    ServerCommand command;
    const std::string_view first = arguments[0];
    if (first == "--help" || first == "-h" || first == "--version") {
        if (arguments.size() > 1) {
            *error = std::string(first) + " takes no further arguments";
            return std::nullopt;
        }
        command.kind = first == "--version" ? ServerCommandKind::Version : ServerCommandKind::Help;
        return command;
    }
    if (first != "--make-demo" && first != "--check-data" && first != "--serve") {
        *error = "unknown option " + std::string(first);
        return std::nullopt;
    }
    if (arguments.size() < 2 || arguments[1].starts_with("--")) {
        *error = std::string(first) + " needs a folder";
        return std::nullopt;
    }
    command.folder = arguments[1];
    if (first == "--check-data") {
        if (arguments.size() > 2) {
            *error = "--check-data takes only the folder";
            return std::nullopt;
        }
        command.kind = ServerCommandKind::CheckData;
        return command;
    }
    if (first == "--serve") {
        command.kind = ServerCommandKind::Serve;
        if (!ReadServeOptions(arguments.subspan(2), &command.serveOptions, error)) {
            return std::nullopt;
        }
        return command;
    }
    command.kind = ServerCommandKind::MakeDemo;
    command.demoOptions.lastDay = today;
    for (std::size_t i = 2; i < arguments.size(); i += 2) {
        if (i + 1 >= arguments.size()) {
            *error = std::string(arguments[i]) + " needs a value";
            return std::nullopt;
        }
        if (!ReadDemoOption(arguments[i], arguments[i + 1], &command.demoOptions, error)) {
            return std::nullopt;
        }
    }
    if (DayNumberToDatum(command.demoOptions.lastDay).year - command.demoOptions.years <
        kFirstDemoYear) {
        *error = "the history would start before the year " + std::to_string(kFirstDemoYear);
        return std::nullopt;
    }
    return command;
}

std::string ServerUsageText() {
    return "Usage:\n"
           "  mvr-priceserver --make-demo DIR [--instruments N] [--years Y] [--seed S]\n"
           "                  [--end-date YYYY-MM-DD]\n"
           "      Writes a demo data folder into DIR (missing or empty): N instruments\n"
           "      (100 to 100000, default 500) with Y years of daily prices (1 to 100,\n"
           "      default 10) up to the end date (default today), and 1-minute prices for\n"
           "      the last 5 business days of every tenth instrument. The same options give\n"
           "      the same files. The seed defaults to 1. Log in with account DEMO and\n"
           "      password DEMO.\n"
           "  mvr-priceserver --check-data DIR\n"
           "      Reads every file of the data folder DIR and prints a summary, or the\n"
           "      first fault with its file and line.\n"
           "  mvr-priceserver --serve DIR [--address A] [--port P] [--connections N]\n"
           "                  [--timeout MS] [--connection-limit MS] [--data-until D]\n"
           "                  [fault options]\n"
           "      Answers the client's requests from the data folder DIR on address A\n"
           "      (default 127.0.0.1) and port P (default 5000; 0 picks a free port). It\n"
           "      prints 'listening address=A port=P' when ready and one line per request\n"
           "      on stderr, and ends on SIGINT or SIGTERM. N connections are served at\n"
           "      once (1 to 1024, default 16); each receive or send waits at most the\n"
           "      time-out (default 10000 ms), a whole connection at most its limit\n"
           "      (default 120000 ms).\n"
           "      --data-until YYYY-MM-DD serves no bars after that day, as if the data\n"
           "      ended there (a later run without it has new days to bring).\n"
           "      Fault options, for tests of the client:\n"
           "        --fault-close-after N   close each connection after N bytes of answer\n"
           "        --fault-delay MS        wait MS before each block of an answer\n"
           "        --fault-refuse          refuse every request with the status byte 2\n"
           "        --fault-marker -1|-2    end every answer section with that marker\n"
           "  mvr-priceserver --help | --version\n"
           "\n"
           "Exit codes: 0 done, 1 the data folder is faulty or cannot be written (or\n"
           "the server cannot listen), "
           "2 wrong options.\n";
}

} // namespace mvr
