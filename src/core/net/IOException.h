#pragma once

// The one way communication failures travel: thrown by value, caught by const
// reference. The message names the failing operation and, for socket errors,
// the error in words; it never exceeds kMaxIOExceptionMessage characters.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace mvr {

inline constexpr std::size_t kMaxIOExceptionMessage = 516;

// What a status line or a message shows for any caught CIOException; the
// exception's own message is for logs only.
inline constexpr const char* kConnectionErrorText = "Verbindungsfehler!";

class CIOException : public std::exception {
public:
    // A failure that is not a socket error: the message is the name, the code 0.
    explicit CIOException(std::string_view name);
    // name, " Grund: ", then "Socketfehler: <code> <name of the code>" (or
    // "Socketfehler: <code>" for a code outside the name table).
    CIOException(std::string_view name, std::int32_t code);

    const std::string& Message() const { return message_; }
    std::int32_t ErrorCode() const { return errorCode_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
    std::int32_t errorCode_ = 0;
};

} // namespace mvr
