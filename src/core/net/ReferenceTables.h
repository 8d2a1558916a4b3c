#pragma once

// The reference data that the login downloads for the symbol search: the
// security types and exchanges (keyed by their numbers) and the search kinds
// (in arrival order).

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

// Buffer size of the names as they travel (at most 50 characters).
inline constexpr std::size_t kReferenceNameSize = 51;
inline constexpr std::size_t kSearchKindNameSize = 50;

struct WPART {
    std::uint16_t number = 0;
    std::string name;

    bool operator==(const WPART&) const = default;
};

struct BOERSE {
    std::uint16_t number = 0;
    std::string name; // after the first-word rule
    bool flag = false;

    bool operator==(const BOERSE&) const = default;
};

struct MVRSUCHART {
    std::string name;
    std::int32_t code = 0; // what the search request sends for this kind (as one byte)

    bool operator==(const MVRSUCHART&) const = default;
};

struct ReferenceTables {
    std::map<std::uint16_t, WPART> securityTypes;
    std::map<std::uint16_t, BOERSE> exchanges;
    std::vector<MVRSUCHART> searchKinds;

    // The display names of a security type and an exchange; empty for a number
    // the maps do not hold.
    std::string SecurityTypeName(std::uint16_t number) const;
    std::string ExchangeName(std::uint16_t number) const;
};

// Exchange names arrive as a short code, blanks and the long name ("XETR
// Xetra"): the name shown is the text after the first blank and the blanks
// that follow it, unless that text is empty; a name without a blank stays.
std::string ExchangeDisplayName(std::string_view name);

} // namespace mvr
