#pragma once

// The numbers the data editor's fields hold as texts: how a field shows a
// value and how what the user typed is read back. A field that does not hold
// a number is refused with the message the dialog framework gives for it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mvr {

inline constexpr const char* kNotANumberMessage = "Geben Sie eine Zahl ein.";
inline constexpr const char* kNotAWholeNumberMessage = "Geben Sie eine ganze Zahl ein.";

// A float with at most 6 significant digits ("%.6g"), as an edit field shows it.
std::string FloatFieldText(float value);

// The whole text, blanks around it allowed, as a finite number that a 32-bit
// float can hold; nothing otherwise.
std::optional<float> ParseFloatField(std::string_view text);

// The whole text, blanks around it allowed, as a decimal whole number of 32
// bits; nothing otherwise (also when it lies outside that range).
std::optional<std::int32_t> ParseWholeNumberField(std::string_view text);

} // namespace mvr
