#include "core/net/ReferenceTables.h"

namespace mvr {

std::string ReferenceTables::SecurityTypeName(std::uint16_t number) const {
    const auto it = securityTypes.find(number);
    return it == securityTypes.end() ? std::string() : it->second.name;
}

std::string ReferenceTables::ExchangeName(std::uint16_t number) const {
    const auto it = exchanges.find(number);
    return it == exchanges.end() ? std::string() : it->second.name;
}

std::string ExchangeDisplayName(std::string_view name) {
    const std::size_t blank = name.find(' ');
    if (blank == std::string_view::npos) {
        return std::string(name);
    }
    const std::size_t start = name.find_first_not_of(' ', blank);
    if (start == std::string_view::npos) {
        return std::string(name);
    }
    return std::string(name.substr(start));
}

} // namespace mvr
