#include "server/RequestLog.h"

#include <cstdio>

namespace mvr {

namespace {

// A result with blanks (an error message) is quoted so that the line still
// splits into key=value fields.
std::string ResultField(const std::string& result) {
    if (result.empty()) {
        return "-";
    }
    if (result.find_first_of(" \"") == std::string::npos) {
        return result;
    }
    std::string quoted = "\"";
    for (const char c : result) {
        quoted += c == '"' ? '\'' : c;
    }
    return quoted + "\"";
}

} // namespace

std::string FormatRequestLogLine(const RequestLogEntry& entry) {
    std::string line = "peer=" + entry.peer + " code=";
    line += entry.code < 0 ? std::string("-") : std::to_string(entry.code);
    line += " result=" + ResultField(entry.result);
    line += " in=" + std::to_string(entry.bytesIn);
    line += " out=" + std::to_string(entry.bytesOut);
    line += " ms=" + std::to_string(entry.milliseconds);
    return line;
}

CRequestLog::CRequestLog()
    : sink_([](const std::string& line) {
          std::fprintf(stderr, "%s\n", line.c_str());
          std::fflush(stderr);
      }) {}

void CRequestLog::Write(const RequestLogEntry& entry) {
    const std::string line = FormatRequestLogLine(entry);
    std::lock_guard lock(mutex_);
    sink_(line);
}

} // namespace mvr
