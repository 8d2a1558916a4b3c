#pragma once

// One line per request on the server's log (stderr by default):
//   peer=127.0.0.1:50412 code=63 result=ok in=312 out=1874 ms=3
// (a result with blanks in double quotes).
// Lines are written whole, also when many connections end at once.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace mvr {

struct RequestLogEntry {
    std::string peer; // address:port
    int code = -1;    // -1 when no header arrived
    std::string result;
    std::int64_t bytesIn = 0;
    std::int64_t bytesOut = 0;
    std::int64_t milliseconds = 0;
};

std::string FormatRequestLogLine(const RequestLogEntry& entry);

class CRequestLog {
public:
    using LineSink = std::function<void(const std::string& line)>;

    // Writes to stderr.
    CRequestLog();
    explicit CRequestLog(LineSink sink) : sink_(std::move(sink)) {}

    void Write(const RequestLogEntry& entry);

private:
    std::mutex mutex_;
    LineSink sink_;
};

} // namespace mvr
