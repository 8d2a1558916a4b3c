#include "core/platform/JsonWriter.h"

#include "core/platform/TextEncoding.h"

#include <cstdio>

namespace mvr {

namespace {

void AppendEscaped(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\b':
        out += "\\b";
        return;
    case '\f':
        out += "\\f";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        break;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        out += escape;
        return;
    }
    out += c;
}

} // namespace

std::string JsonStringLiteral(std::string_view text) {
    const std::string utf8 = LocalTextToUtf8(text);
    std::string literal = "\"";
    literal.reserve(utf8.size() + 2);
    for (const char c : utf8) {
        AppendEscaped(literal, c);
    }
    literal += '"';
    return literal;
}

CJsonWriter& CJsonWriter::BeginObject() {
    return Open('{');
}

CJsonWriter& CJsonWriter::EndObject() {
    return Close('}');
}

CJsonWriter& CJsonWriter::BeginArray() {
    return Open('[');
}

CJsonWriter& CJsonWriter::EndArray() {
    return Close(']');
}

CJsonWriter& CJsonWriter::Key(std::string_view name) {
    BeginValue();
    text_ += JsonStringLiteral(name);
    text_ += ": ";
    afterKey_ = true;
    return *this;
}

CJsonWriter& CJsonWriter::String(std::string_view text) {
    BeginValue();
    text_ += JsonStringLiteral(text);
    return *this;
}

CJsonWriter& CJsonWriter::Integer(std::int64_t value) {
    BeginValue();
    text_ += std::to_string(value);
    return *this;
}

CJsonWriter& CJsonWriter::Boolean(bool value) {
    BeginValue();
    text_ += value ? "true" : "false";
    return *this;
}

CJsonWriter& CJsonWriter::Null() {
    BeginValue();
    text_ += "null";
    return *this;
}

void CJsonWriter::BeginValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levelHasValues_.empty()) {
        return;
    }
    if (levelHasValues_.back()) {
        text_ += ',';
    }
    levelHasValues_.back() = true;
    NewLine();
}

CJsonWriter& CJsonWriter::Open(char bracket) {
    BeginValue();
    text_ += bracket;
    levelHasValues_.push_back(false);
    return *this;
}

CJsonWriter& CJsonWriter::Close(char bracket) {
    const bool hadValues = levelHasValues_.back();
    levelHasValues_.pop_back();
    if (hadValues) {
        NewLine();
    }
    text_ += bracket;
    return *this;
}

void CJsonWriter::NewLine() {
    text_ += '\n';
    text_.append(2 * levelHasValues_.size(), ' ');
}

} // namespace mvr
