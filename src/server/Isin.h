#pragma once

// International Securities Identification Numbers: two letters, nine letters
// or digits and a check digit over all of them (letters count as 10..35,
// then every second digit from the right is doubled, as in the Luhn code).

#include <optional>
#include <string_view>

namespace mvr {

// The check digit ('0'..'9') for the first eleven characters, or nothing when
// they are not two upper-case letters followed by nine upper-case letters or digits.
std::optional<char> IsinCheckDigit(std::string_view firstEleven);

bool IsValidIsin(std::string_view isin);

} // namespace mvr
