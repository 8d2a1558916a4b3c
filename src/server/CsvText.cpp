#include "server/CsvText.h"

#include "core/platform/TextUtil.h"

namespace mvr {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool NeedsQuotes(std::string_view field) {
    return !field.empty() && (field.find_first_of(",\"") != std::string_view::npos ||
                              IsBlank(field.front()) || IsBlank(field.back()));
}

} // namespace

CCsvReader::CCsvReader(std::string_view text) : rest_(text) {
    if (rest_.starts_with("\xEF\xBB\xBF")) {
        rest_.remove_prefix(3);
    }
}

bool CCsvReader::Next(std::vector<std::string>& fields) {
    while (!rest_.empty()) {
        const std::size_t end = rest_.find('\n');
        std::string_view line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view{} : rest_.substr(end + 1);
        ++line_;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.size() > kMaxCsvLineBytes) {
            error_ = "line is longer than " + std::to_string(kMaxCsvLineBytes) + " bytes";
            return false;
        }
        if (TrimBlanks(line).empty()) {
            continue;
        }
        return SplitLine(line, fields);
    }
    return false;
}

bool CCsvReader::SplitLine(std::string_view line, std::vector<std::string>& fields) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (true) {
        if (fields.size() <= count) {
            fields.emplace_back();
        }
        std::string& field = fields[count++];
        field.clear();
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        if (pos < line.size() && line[pos] == '"') {
            ++pos;
            while (true) {
                const std::size_t quote = line.find('"', pos);
                if (quote == std::string_view::npos) {
                    error_ = "quoted field " + std::to_string(count) + " does not end on its line";
                    return false;
                }
                field.append(line.substr(pos, quote - pos));
                pos = quote + 1;
                if (pos < line.size() && line[pos] == '"') {
                    field += '"';
                    ++pos;
                    continue;
                }
                break;
            }
            while (pos < line.size() && IsBlank(line[pos])) {
                ++pos;
            }
            if (pos < line.size() && line[pos] != ',') {
                error_ = "text after the closing quote of field " + std::to_string(count);
                return false;
            }
        } else {
            const std::size_t comma = line.find(',', pos);
            const std::string_view raw = line.substr(
                pos, comma == std::string_view::npos ? std::string_view::npos : comma - pos);
            if (raw.find('"') != std::string_view::npos) {
                error_ = "field " + std::to_string(count) +
                         " holds a quote; put the field in quotes and double the quote";
                return false;
            }
            field.assign(TrimBlanks(raw));
            pos += raw.size();
        }
        if (pos >= line.size()) {
            fields.resize(count);
            return true;
        }
        ++pos; // the comma
    }
}

bool CCsvReader::ExpectHeader(std::span<const std::string_view> columns) {
    std::vector<std::string> fields;
    if (!Next(fields)) {
        if (error_.empty()) {
            error_ = "the header line " + JoinColumns(columns) + " is missing";
        }
        return false;
    }
    bool same = fields.size() == columns.size();
    for (std::size_t i = 0; same && i < columns.size(); ++i) {
        same = fields[i] == columns[i];
    }
    if (!same) {
        error_ = "the header line must be " + JoinColumns(columns);
    }
    return same;
}

void AppendCsvRow(std::string& out, std::span<const std::string_view> fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        const std::string_view field = fields[i];
        if (!NeedsQuotes(field)) {
            out.append(field);
            continue;
        }
        out += '"';
        for (char c : field) {
            out += c;
            if (c == '"') {
                out += '"';
            }
        }
        out += '"';
    }
    out += '\n';
}

std::string JoinColumns(std::span<const std::string_view> columns) {
    std::string text;
    for (std::string_view column : columns) {
        text += text.empty() ? "" : ",";
        text += column;
    }
    return text;
}

} // namespace mvr
