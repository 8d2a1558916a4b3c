#pragma once

// The options of mvr-priceserver. Each run does one thing; the parser says
// which and with what, and main dispatches on it.

#include "server/DemoGenerator.h"
#include "server/ServeOptions.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace mvr {

enum class ServerCommandKind { Help, Version, MakeDemo, CheckData, Serve };

struct ServerCommand {
    ServerCommandKind kind = ServerCommandKind::Help;
    std::string folder;        // MakeDemo, CheckData, Serve
    DemoOptions demoOptions;   // MakeDemo
    ServeOptions serveOptions; // Serve
};

// The command of the arguments (without the program name), or nothing with a
// message for the user. `today` is the day number the demo data ends on when
// no --end-date is given.
std::optional<ServerCommand> ParseServerCommandLine(std::span<const std::string_view> arguments,
                                                    std::int32_t today, std::string* error);

std::string ServerUsageText();

} // namespace mvr
