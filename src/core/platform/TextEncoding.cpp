#include "core/platform/TextEncoding.h"

#include <cstdint>

namespace mvr {

namespace {

// Windows-1252 0x80..0x9F; 0 where the code page leaves a byte undefined.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence starting at `i`, or 0 when there is none.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) {
            return 0;
        }
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = Utf8SequenceAt(text, i);
        if (length == 0) {
            return false;
        }
        i += length;
    }
    return true;
}

void AppendUtf8(std::string& out, char16_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

} // namespace

std::string LocalTextToUtf8(std::string_view text) {
    if (IsUtf8(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        char16_t code = byte;
        if (byte >= 0x80 && byte < 0xA0) {
            code = kCp1252High[byte - 0x80] != 0 ? kCp1252High[byte - 0x80] : u'?';
        }
        AppendUtf8(out, code);
    }
    return out;
}

} // namespace mvr
