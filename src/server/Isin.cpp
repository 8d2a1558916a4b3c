#include "server/Isin.h"

#include <string>

namespace mvr {

namespace {

bool IsUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<char> IsinCheckDigit(std::string_view firstEleven) {
    if (firstEleven.size() != 11 || !IsUpperLetter(firstEleven[0]) ||
        !IsUpperLetter(firstEleven[1])) {
        return std::nullopt;
    }
    std::string digits;
    for (char c : firstEleven) {
        if (IsDigit(c)) {
            digits += c;
        } else if (IsUpperLetter(c)) {
            digits += std::to_string(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
    }
    int sum = 0;
    bool doubled = true; // the digit next to the check digit is doubled
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        int value = *it - '0';
        if (doubled) {
            value *= 2;
            value = value / 10 + value % 10;
        }
        sum += value;
        doubled = !doubled;
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

bool IsValidIsin(std::string_view isin) {
    if (isin.size() != 12) {
        return false;
    }
    const auto check = IsinCheckDigit(isin.substr(0, 11));
    return check && *check == isin[11];
}

} // namespace mvr
