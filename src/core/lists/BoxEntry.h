#pragma once

// One entry of a drop-down box: the text it shows and the value it stands for.

#include <cstdint>
#include <string>

namespace mvr {

struct BoxEntry {
    std::string text;
    std::int32_t value; // a list index, a format type, a number of the server's tables

    bool operator==(const BoxEntry&) const = default;
};

} // namespace mvr
