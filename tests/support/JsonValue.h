#pragma once

// A strict JSON reader for tests of the documents the system writes: the
// grammar of RFC 8259 and valid UTF-8, nothing more lenient, so that a
// document it accepts is one that every consumer accepts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mvr::test {

class JsonValue {
public:
    enum class Kind { Null, Boolean, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text; // a string's value, in UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members; // in document order

    bool IsNull() const { return kind == Kind::Null; }
    std::int64_t Integer() const { return static_cast<std::int64_t>(number); }
    bool Has(std::string_view key) const;
    // The member or item; a null value when there is none.
    const JsonValue& operator[](std::string_view key) const;
    const JsonValue& operator[](std::size_t index) const;
};

// The document; nothing, and where and why in `error`, when it is not valid.
std::optional<JsonValue> ParseJson(std::string_view document, std::string* error = nullptr);

} // namespace mvr::test
