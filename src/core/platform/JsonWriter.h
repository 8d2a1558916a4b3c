#pragma once

// A JSON document (RFC 8259) written value by value, indented by two spaces
// so that it reads well in an editor as well as in a script. Texts of the
// system come in the local code page; they leave here as escaped UTF-8, so
// that the document is valid whatever a symbol's name holds.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CJsonWriter {
public:
    CJsonWriter& BeginObject();
    CJsonWriter& EndObject();
    CJsonWriter& BeginArray();
    CJsonWriter& EndArray();
    // The name of the object member whose value comes next.
    CJsonWriter& Key(std::string_view name);
    CJsonWriter& String(std::string_view text);
    CJsonWriter& Integer(std::int64_t value);
    CJsonWriter& Boolean(bool value);
    CJsonWriter& Null();

    // The document so far, with a final line break.
    std::string Text() const { return text_ + "\n"; }

private:
    // The separator and indentation before a value (none after a key).
    void BeginValue();
    CJsonWriter& Open(char bracket);
    CJsonWriter& Close(char bracket);
    void NewLine();

    std::string text_;
    std::vector<bool> levelHasValues_; // one per open object or array
    bool afterKey_ = false;
};

// `text` as a JSON string literal: quoted, converted to UTF-8, and with quotes,
// backslashes and control characters escaped.
std::string JsonStringLiteral(std::string_view text);

} // namespace mvr
