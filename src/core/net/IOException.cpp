#include "core/net/IOException.h"

#include "core/net/SocketError.h"

namespace mvr {

namespace {

// Appends as much of `text` as still fits into the message limit.
void AppendWithinLimit(std::string& message, std::string_view text) {
    const std::size_t room = kMaxIOExceptionMessage - message.size();
    message.append(text.substr(0, room));
}

std::string SocketErrorText(std::int32_t code) {
    std::string text = "Socketfehler: " + std::to_string(code);
    if (IsInSocketErrorTable(code)) {
        text += ' ';
        text += SocketErrorName(code);
    }
    return text;
}

} // namespace

CIOException::CIOException(std::string_view name) {
    AppendWithinLimit(message_, name);
}

CIOException::CIOException(std::string_view name, std::int32_t code) : errorCode_(code) {
    AppendWithinLimit(message_, name);
    AppendWithinLimit(message_, " Grund: ");
    AppendWithinLimit(message_, SocketErrorText(code));
}

} // namespace mvr
