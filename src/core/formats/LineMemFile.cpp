#include "core/formats/LineMemFile.h"

#include <cstring>

namespace mvr {

bool CLineMemFile::ReadLine(std::string_view& line) {
    line = {};
    lastLineCut_ = false;
    if (position_ >= data_.size()) {
        return false;
    }
    const auto* begin = reinterpret_cast<const char*>(data_.data() + position_);
    const std::size_t rest = data_.size() - position_;
    const void* feed = std::memchr(begin, '\n', rest);
    std::size_t length =
        feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - begin) : rest;
    position_ += feed ? length + 1 : length;
    if (length > 0 && begin[length - 1] == '\r') {
        --length;
    }
    if (length + 1 > kMaxLineChars) {
        length = kMaxLineChars - 1;
        lastLineCut_ = true;
    }
    line = std::string_view(begin, length);
    return true;
}

} // namespace mvr
