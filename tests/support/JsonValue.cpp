#include "support/JsonValue.h"

#include <cstdlib>

namespace mvr::test {

namespace {

const JsonValue kMissing;

struct Invalid {
    std::size_t at;
    const char* why;
};

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    JsonValue Document() {
        JsonValue value = Value();
        SkipBlanks();
        if (at_ != text_.size()) {
            Fail("text after the document");
        }
        return value;
    }

private:
    [[noreturn]] void Fail(const char* why) const { throw Invalid{at_, why}; }

    char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    void SkipBlanks() {
        while (at_ < text_.size() &&
               std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos) {
            ++at_;
        }
    }

    void Expect(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) {
            Fail("unexpected character");
        }
        at_ += word.size();
    }

    JsonValue Value() {
        SkipBlanks();
        JsonValue value;
        switch (Peek()) {
        case '{':
            value.kind = JsonValue::Kind::Object;
            Members(value);
            break;
        case '[':
            value.kind = JsonValue::Kind::Array;
            Items(value);
            break;
        case '"':
            value.kind = JsonValue::Kind::String;
            value.text = String();
            break;
        case 't':
            Expect("true");
            value.kind = JsonValue::Kind::Boolean;
            value.boolean = true;
            break;
        case 'f':
            Expect("false");
            value.kind = JsonValue::Kind::Boolean;
            break;
        case 'n':
            Expect("null");
            break;
        default:
            value.kind = JsonValue::Kind::Number;
            value.number = Number();
            break;
        }
        return value;
    }

    void Members(JsonValue& object) {
        ++at_;
        SkipBlanks();
        if (Peek() == '}') {
            ++at_;
            return;
        }
        while (true) {
            SkipBlanks();
            if (Peek() != '"') {
                Fail("a member name must be a string");
            }
            std::string key = String();
            SkipBlanks();
            Expect(":");
            object.members.emplace_back(std::move(key), Value());
            SkipBlanks();
            if (Peek() == '}') {
                ++at_;
                return;
            }
            Expect(",");
        }
    }

    void Items(JsonValue& array) {
        ++at_;
        SkipBlanks();
        if (Peek() == ']') {
            ++at_;
            return;
        }
        while (true) {
            array.items.push_back(Value());
            SkipBlanks();
            if (Peek() == ']') {
                ++at_;
                return;
            }
            Expect(",");
        }
    }

    std::size_t Digits() {
        const std::size_t start = at_;
        while (Peek() >= '0' && Peek() <= '9') {
            ++at_;
        }
        return at_ - start;
    }

    double Number() {
        const std::size_t start = at_;
        if (Peek() == '-') {
            ++at_;
        }
        const bool leadingZero = Peek() == '0';
        const std::size_t whole = Digits();
        if (whole == 0 || (leadingZero && whole > 1)) {
            Fail("not a number");
        }
        if (Peek() == '.') {
            ++at_;
            if (Digits() == 0) {
                Fail("no digits after the decimal point");
            }
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++at_;
            if (Peek() == '+' || Peek() == '-') {
                ++at_;
            }
            if (Digits() == 0) {
                Fail("no digits in the exponent");
            }
        }
        return std::strtod(std::string(text_.substr(start, at_ - start)).c_str(), nullptr);
    }

    unsigned HexQuad() {
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = Peek();
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                Fail("a \\u escape needs four hex digits");
            }
            value = value * 16 + static_cast<unsigned>(digit);
            ++at_;
        }
        return value;
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    unsigned Escaped() {
        const char c = Peek();
        ++at_;
        switch (c) {
        case '"':
        case '\\':
        case '/':
            return static_cast<unsigned char>(c);
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'u':
            break;
        default:
            Fail("unknown escape");
        }
        const unsigned code = HexQuad();
        if (code >= 0xDC00 && code <= 0xDFFF) {
            Fail("a low surrogate without its high one");
        }
        if (code < 0xD800 || code > 0xDBFF) {
            return code;
        }
        Expect("\\u");
        const unsigned low = HexQuad();
        if (low < 0xDC00 || low > 0xDFFF) {
            Fail("a high surrogate without its low one");
        }
        return 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }

    // One UTF-8 sequence, checked for its length, continuation bytes,
    // overlong forms, surrogates and range.
    void Utf8Sequence(std::string& out) {
        const auto lead = static_cast<unsigned char>(Peek());
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || at_ + length > text_.size()) {
            Fail("invalid UTF-8");
        }
        unsigned code = lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text_[at_ + i]);
            if ((next & 0xC0) != 0x80) {
                Fail("invalid UTF-8");
            }
            code = (code << 6) | (next & 0x3F);
        }
        constexpr unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            Fail("invalid UTF-8");
        }
        out.append(text_.substr(at_, length));
        at_ += length;
    }

    std::string String() {
        ++at_;
        std::string out;
        while (true) {
            if (at_ >= text_.size()) {
                Fail("unterminated string");
            }
            const auto c = static_cast<unsigned char>(text_[at_]);
            if (c == '"') {
                ++at_;
                return out;
            }
            if (c < 0x20) {
                Fail("a control character in a string");
            }
            if (c == '\\') {
                ++at_;
                AppendUtf8(out, Escaped());
            } else if (c >= 0x80) {
                Utf8Sequence(out);
            } else {
                out += static_cast<char>(c);
                ++at_;
            }
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace

bool JsonValue::Has(std::string_view key) const {
    for (const auto& member : members) {
        if (member.first == key) {
            return true;
        }
    }
    return false;
}

const JsonValue& JsonValue::operator[](std::string_view key) const {
    for (const auto& member : members) {
        if (member.first == key) {
            return member.second;
        }
    }
    return kMissing;
}

const JsonValue& JsonValue::operator[](std::size_t index) const {
    return index < items.size() ? items[index] : kMissing;
}

std::optional<JsonValue> ParseJson(std::string_view document, std::string* error) {
    try {
        return Reader(document).Document();
    } catch (const Invalid& invalid) {
        if (error != nullptr) {
            *error = std::string(invalid.why) + " at byte " + std::to_string(invalid.at);
        }
        return std::nullopt;
    }
}

} // namespace mvr::test
