#pragma once

// The client information that the price server answers to the client's
// version (request 43): a message, the update flags and a link to the update
// information. Empty until a check has succeeded.

#include <cstdint>
#include <string>

namespace mvr {

// Buffer sizes as the texts travel.
inline constexpr std::size_t kClientMessageSize = 2001;
inline constexpr std::size_t kClientInfoTextSize = 257;

struct ClientInfo {
    std::string message;
    bool updateAvailable = false;
    bool updateMandatory = false;
    std::string reservedText;
    std::string infoAddress;
    std::string linkCaption;
    std::int32_t reservedNumber = 0;

    bool operator==(const ClientInfo&) const = default;
};

} // namespace mvr
