#include "core/formats/AsciiFormat.h"

#include "core/formats/DayNumber.h"
#include "core/formats/LongDate.h"
#include "core/formats/Periode.h"
#include "core/platform/OleDate.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace mvr {

namespace {

constexpr char kTab = '\t';
constexpr int kMaxDecimals = 15;
constexpr std::size_t kMaxNumberChars = 63;
constexpr int kFirstFullYear = 1900; // four-digit years from here on are taken as written
constexpr int kLastFullYear = 9999;

// ---- writing ----

void AppendInteger(std::string& out, long value, int width, char pad) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const auto length = static_cast<int>(result.ptr - digits);
    if (length < width) {
        // Zero padding goes after a sign, as printf puts it.
        if (pad == '0' && value < 0) {
            out.push_back('-');
            out.append(static_cast<std::size_t>(width - length), '0');
            out.append(digits + 1, result.ptr);
            return;
        }
        out.append(static_cast<std::size_t>(width - length), pad);
    }
    out.append(digits, result.ptr);
}

// Three values joined by a separator (when there is one): the parts of a date or a time.
void AppendTriple(std::string& out, char separator, long a, int widthA, long b, long c, int widthC,
                  char padA = '0', char padC = '0') {
    AppendInteger(out, a, widthA, padA);
    if (separator != 0) {
        out.push_back(separator);
    }
    AppendInteger(out, b, 2, '0');
    if (separator != 0) {
        out.push_back(separator);
    }
    AppendInteger(out, c, widthC, padC);
}

void AppendDecimal(std::string& out, double value, int decimals, char decimalChar) {
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc{}) {
        return;
    }
    const std::size_t start = out.size();
    out.append(text, result.ptr);
    if (decimalChar != 0 && decimalChar != '.') {
        const std::size_t point = out.find('.', start);
        if (point != std::string::npos) {
            out[point] = decimalChar;
        }
    }
}

bool IsDateFormat(std::int32_t format) {
    return format >= kFormatYearMonthDay && format <= kFormatHourMinuteAlt;
}

// ---- reading ----

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == kTab;
}

std::string_view TrimLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

std::string_view TrimToken(std::string_view token) {
    while (!token.empty() && IsBlank(token.front())) {
        token.remove_prefix(1);
    }
    while (!token.empty() && IsBlank(token.back())) {
        token.remove_suffix(1);
    }
    return token;
}

// Splits at the separator; consecutive separators count as one, so empty
// fields are skipped. Only the first `maxTokens` tokens are taken.
std::size_t SplitTokens(std::string_view line, char separator, std::string_view* tokens,
                        std::size_t maxTokens) {
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos <= line.size() && count < maxTokens) {
        std::size_t end = line.find(separator, pos);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        const std::string_view token = TrimToken(line.substr(pos, end - pos));
        if (!token.empty()) {
            tokens[count++] = token;
        }
        pos = end + 1;
    }
    return count;
}

// A decimal number at the start of the token, as a C library conversion reads
// it (trailing characters ignored); the layout's decimal character stands for
// the point. Nothing when no number starts there or it is not finite.
std::optional<double> ParseNumber(std::string_view token, char decimalChar) {
    char text[kMaxNumberChars + 1];
    const std::size_t n = std::min(token.size(), kMaxNumberChars);
    std::copy_n(token.data(), n, text);
    if (decimalChar != 0 && decimalChar != '.') {
        char* point = std::find(text, text + n, decimalChar);
        if (point != text + n) {
            *point = '.';
        }
    }
    const char* begin = text;
    if (n > 0 && *begin == '+') {
        ++begin;
    }
    double value = 0.0;
    const auto result = std::from_chars(begin, text + n, value);
    if (result.ec != std::errc{} || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

int TextYear(long value, std::size_t digits) {
    if (digits >= 4 && value >= kFirstFullYear && value <= kLastFullYear) {
        return static_cast<int>(value);
    }
    if (value < 0 || value > kLastFullYear) {
        return 0;
    }
    return CenturyYear(static_cast<int>(value));
}

// Reads a run of digits at `pos` (after blanks); -1 when there is none.
long ReadNumberAt(std::string_view text, std::size_t& pos, std::size_t* digitCount) {
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
    long value = 0;
    std::size_t digits = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits) {
        value = value < 100000000 ? value * 10 + (text[pos] - '0') : value;
    }
    if (digitCount != nullptr) {
        *digitCount = digits;
    }
    return digits == 0 ? -1 : value;
}

// Two characters at `pos`, the first of which may be a blank; -1 for anything else.
long ReadTwoAt(std::string_view text, std::size_t pos) {
    if (pos + 2 > text.size()) {
        return -1;
    }
    const char first = text[pos];
    const char second = text[pos + 1];
    if (!(IsDigit(first) || first == ' ') || !IsDigit(second)) {
        return -1;
    }
    return (first == ' ' ? 0 : (first - '0') * 10) + (second - '0');
}

long ReadDigitsAt(std::string_view text, std::size_t pos, std::size_t count) {
    long value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        value = value * 10 + (text[pos + i] - '0');
    }
    return value;
}

std::size_t LeadingDigits(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && IsDigit(text[n])) {
        ++n;
    }
    return n;
}

std::optional<double> OleDateOf(int year, long month, long day) {
    if (year < 1 || year > kLastFullYear || month < 1 || month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    const DATUM date{static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                     static_cast<std::uint16_t>(year)};
    if (!IsValidDatum(date)) {
        return std::nullopt;
    }
    return DayNumberToPlainOleDate(DatumToDayNumber(date));
}

} // namespace

AsciiFormatInfo AsciiFormatInfo::ForFormatType(int type) {
    AsciiFormatInfo layout;
    layout.BuildForFormatType(type);
    return layout;
}

void AsciiFormatInfo::Reset() {
    *this = AsciiFormatInfo();
}

void AsciiFormatInfo::BuildForFormatType(int type) {
    Reset();
    decimals = 3;
    std::int32_t dateFormat = kFormatShortYearMonthDay;
    bool hasDate = true;
    switch (type) {
    case kFormatAsciiComma:
        break;
    case kFormatAsciiTab:
        columnSeparator = kTab;
        break;
    case kFormatAsciiExcelComma:
        columnSeparator = kTab;
        decimalChar = ',';
        dateSeparator = '-';
        dateFormat = kFormatDayMonthShortYear;
        break;
    case kFormatAsciiExcelPoint:
        columnSeparator = kTab;
        dateSeparator = '/';
        dateFormat = kFormatDayMonthShortYear;
        break;
    case kFormatAsciiCommaLongYear:
    case kFormatHermes:
    case kFormatAsciiIntraday:
        dateFormat = kFormatYearMonthDay;
        break;
    case kFormatAsciiNoDate13:
    case kFormatAsciiNoDate14:
        hasDate = false;
        break;
    default:
        formatType = type;
        return;
    }
    if (hasDate) {
        AddColumn(kColumnDate, dateFormat);
    }
    if (type == kFormatAsciiIntraday) {
        AddColumn(kColumnDate, kFormatHourMinuteSecond);
    }
    AddColumn(kColumnOpen, kFormatDecimal);
    AddColumn(kColumnHigh, kFormatDecimal);
    AddColumn(kColumnLow, kFormatDecimal);
    AddColumn(kColumnClose, kFormatDecimal);
    AddColumn(kColumnVolume, kFormatInteger);
    formatType = type;
}

void AsciiFormatInfo::AddColumn(std::int32_t kind, std::int32_t format) {
    columns.push_back(ASCIICOLINFO{kind, format});
}

std::size_t AsciiFormatInfo::FormatLine(std::string& out, const AsciiLineRecord& record) const {
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0) {
            out.push_back(columnSeparator);
        }
        AppendColumn(out, columns[i], record);
    }
    out.append("\r\n");
    return out.size() - start;
}

void AsciiFormatInfo::AppendColumn(std::string& out, const ASCIICOLINFO& column,
                                   const AsciiLineRecord& record) const {
    const int places = std::clamp(static_cast<int>(decimals), 0, kMaxDecimals);
    switch (column.kind) {
    case kColumnText:
        if (column.format == kFormatTextAsIs) {
            out.append(record.text.substr(0, AsciiLineRecord::kTextSize - 1));
        }
        return;
    case kColumnDate:
    case kColumnTime: {
        if (!IsDateFormat(column.format)) {
            return;
        }
        SystemTime t;
        if (!VariantTimeToSystemTime(record.date, &t)) {
            t = SystemTime{};
        }
        const char ds = dateSeparator;
        const char ts = timeSeparator;
        switch (column.format) {
        case kFormatYearMonthDay:
            AppendTriple(out, ds, t.year, 4, t.month, t.day, 2, ' ');
            return;
        case kFormatDayMonthYear:
            AppendTriple(out, ds, t.day, 2, t.month, t.year, 4, '0', ' ');
            return;
        case kFormatMonthDayYear:
            AppendTriple(out, ds, t.month, 2, t.day, t.year, 4, '0', ' ');
            return;
        case kFormatShortYearMonthDay:
            AppendTriple(out, ds, t.year % 100, 2, t.month, t.day, 2);
            return;
        case kFormatDayMonthShortYear:
            AppendTriple(out, ds, t.day, 2, t.month, t.year % 100, 2);
            return;
        case kFormatHourMinuteSecond:
            AppendTriple(out, ts, t.hour, 2, t.minute, t.second, 2);
            return;
        default: // hour and minute
            AppendInteger(out, t.hour, 2, '0');
            if (ts != 0) {
                out.push_back(ts);
            }
            AppendInteger(out, t.minute, 2, '0');
            return;
        }
    }
    case kColumnOpen:
    case kColumnLow:
    case kColumnHigh:
    case kColumnClose:
    case kColumnVolume: {
        const float price = column.kind == kColumnOpen   ? record.open
                            : column.kind == kColumnLow  ? record.low
                            : column.kind == kColumnHigh ? record.high
                                                         : record.close;
        const bool isVolume = column.kind == kColumnVolume;
        if (column.format == kFormatDecimal) {
            const float value = isVolume ? static_cast<float>(record.volume) : price;
            AppendDecimal(out, value, places, decimalChar);
        } else if (column.format == kFormatInteger) {
            AppendInteger(out, isVolume ? record.volume : static_cast<long>(price), 0, '0');
        }
        return;
    }
    default:
        return;
    }
}

bool AsciiFormatInfo::ParseLine(std::string_view line, AsciiLineRecord& record) const {
    constexpr std::size_t kMaxTokens = 7; // date, time, four prices, volume
    std::string_view tokens[kMaxTokens];
    const std::size_t count = SplitTokens(TrimLineEnd(line), columnSeparator, tokens, kMaxTokens);
    const bool hasTime = formatType == kFormatAsciiIntraday;
    const std::size_t firstPrice = hasTime ? 2 : 1;
    if (count < firstPrice + 4) {
        return false;
    }
    const auto date = ParseDateMask(dateSeparator != 0 ? "D-M-Y" : "?md", tokens[0]);
    if (!date) {
        return false;
    }
    double dateTime = *date;
    if (hasTime) {
        const auto seconds = ParseTimeText(tokens[1]);
        if (!seconds) {
            return false;
        }
        dateTime += *seconds / 86400.0;
    }
    float prices[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const auto value = ParseNumber(tokens[firstPrice + i], decimalChar);
        if (!value) {
            return false;
        }
        prices[i] = static_cast<float>(*value);
    }
    std::int32_t volume = 0;
    if (count > firstPrice + 4) {
        if (const auto value = ParseNumber(tokens[firstPrice + 4], decimalChar)) {
            volume = TruncateToInt32(static_cast<float>(*value));
        }
    }
    record.date = dateTime;
    record.open = prices[0];
    record.high = prices[1];
    record.low = prices[2];
    record.close = prices[3];
    record.volume = volume;
    return true;
}

std::optional<double> ParseDateMask(std::string_view mask, std::string_view text) {
    int year = 0;
    long month = -1;
    long day = -1;
    std::size_t pos = 0;
    for (const char m : mask) {
        switch (m) {
        case '?': {
            const std::size_t digits = LeadingDigits(text);
            if (digits < 6 || digits > 8) {
                return std::nullopt;
            }
            const std::size_t yearDigits = digits - 4;
            year = TextYear(ReadDigitsAt(text, 0, yearDigits), yearDigits);
            pos = yearDigits;
            break;
        }
        case 'd':
            day = ReadTwoAt(text, pos);
            pos += 2;
            break;
        case 'm':
            month = ReadTwoAt(text, pos);
            pos += 2;
            break;
        case 'y': {
            const long value = ReadTwoAt(text, pos);
            year = value < 0 ? 0 : CenturyYear(static_cast<int>(value));
            pos += 2;
            break;
        }
        case 'D':
            day = ReadNumberAt(text, pos, nullptr);
            break;
        case 'M':
            month = ReadNumberAt(text, pos, nullptr);
            break;
        case 'Y': {
            std::size_t digits = 0;
            const long value = ReadNumberAt(text, pos, &digits);
            year = value < 0 ? 0 : TextYear(value, digits);
            break;
        }
        default:
            ++pos;
            break;
        }
    }
    return OleDateOf(year, month, day);
}

std::optional<std::int32_t> ParseTimeText(std::string_view text) {
    const std::size_t digits = LeadingDigits(text);
    long hour = 0;
    long minute = 0;
    long second = 0;
    if (digits >= 6) {
        hour = ReadDigitsAt(text, 0, 2);
        minute = ReadDigitsAt(text, 2, 2);
        second = ReadDigitsAt(text, 4, 2);
    } else if (digits == 5) {
        hour = ReadDigitsAt(text, 0, 1);
        minute = ReadDigitsAt(text, 1, 2);
        second = ReadDigitsAt(text, 3, 2);
    }
    if (hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(hour * 3600 + minute * 60 + second);
}

} // namespace mvr
