#include "core/formats/AsciiFormat.h"

#include "core/formats/DayNumber.h"
#include "core/formats/LongDate.h"
#include "core/formats/Periode.h"
#include "core/platform/OleDate.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace mvr {

namespace {

constexpr char kTab = '\t';
constexpr int kMaxDecimals = 15;
constexpr std::size_t kMaxNumberChars = 63;
constexpr int kFirstFullYear = 1900; // four-digit years from here on are taken as written
constexpr int kLastFullYear = 9999;

// ---- writing ----

// The longest column text with the separator before it: a float with the
// most decimals ("-", 39 digits, the point, 15 decimals).
constexpr std::size_t kMaxColumnChars = 64;
constexpr std::size_t kLineBufferChars = 8 * kMaxColumnChars;
constexpr std::int32_t kSecondsPerDay = 86400;

// Up to this many decimals a float times the power of ten is exact in a
// double (a 24-bit significand times 5^12 stays below 2^53), so rounding the
// product to an integer rounds the float's exact value half to even, as the
// library's fixed notation does.
constexpr int kMaxExactDecimals = 12;
constexpr double kMaxExactUnits = 9007199254740992.0; // 2^53
constexpr std::uint64_t kPowersOfTen[kMaxExactDecimals + 1] = {
    1,        10,        100,        1000,        10000,        100000,       1000000,
    10000000, 100000000, 1000000000, 10000000000, 100000000000, 1000000000000};

int DigitCount(std::uint64_t value) {
    int digits = 1;
    for (; value >= 10; value /= 10) {
        ++digits;
    }
    return digits;
}

// "00", "01", ... "99": digits are written two at a time.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// The decimal digits of `value`, zero-padded to at least `width` digits.
char* WriteDigits(char* out, std::uint64_t value, int width) {
    char* const end = out + std::max(DigitCount(value), width);
    char* p = end;
    for (; value >= 100; value /= 100) {
        p -= 2;
        std::memcpy(p, &kDigitPairs[2 * (value % 100)], 2);
    }
    if (value >= 10) {
        p -= 2;
        std::memcpy(p, &kDigitPairs[2 * value], 2);
    } else {
        *--p = static_cast<char>('0' + value);
    }
    std::fill(out, p, '0');
    return end;
}

// `value` padded to `width` characters.
// A price in a whole-number column: cut towards zero like a cast, but a NaN
// gives 0 and magnitudes beyond 32 bits saturate, where the cast would be
// undefined.
long WholePrice(float price) {
    if (std::isnan(price)) {
        return 0;
    }
    constexpr float kLimit = 2147483647.0f;
    return price >= kLimit    ? 2147483647L
           : price <= -kLimit ? -2147483647L
                              : static_cast<long>(price);
}

char* WriteInteger(char* out, long value, int width, char pad) {
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const int sign = negative ? 1 : 0;
    if (pad == '0') {
        // Zero padding goes after a sign, as printf puts it.
        if (negative) {
            *out++ = '-';
        }
        return WriteDigits(out, magnitude, width - sign);
    }
    out = std::fill_n(out, std::max(0, width - sign - DigitCount(magnitude)), pad);
    if (negative) {
        *out++ = '-';
    }
    return WriteDigits(out, magnitude, 1);
}

// Three values joined by a separator (when there is one): the parts of a date or a time.
char* WriteTriple(char* out, char separator, long a, int widthA, long b, long c, int widthC,
                  char padA = '0', char padC = '0') {
    out = WriteInteger(out, a, widthA, padA);
    if (separator != 0) {
        *out++ = separator;
    }
    out = WriteInteger(out, b, 2, '0');
    if (separator != 0) {
        *out++ = separator;
    }
    return WriteInteger(out, c, widthC, padC);
}

// Fixed notation with `decimals` places (at most 15), the decimal character
// for the point.
char* WriteDecimal(char* out, float value, int decimals, char decimalChar) {
    const char point = decimalChar != 0 ? decimalChar : '.';
    if (decimals <= kMaxExactDecimals) {
        const std::uint64_t scale = kPowersOfTen[decimals];
        const double units = std::fabs(static_cast<double>(value)) * static_cast<double>(scale);
        if (units < kMaxExactUnits) { // false for inf and NaN
            if (std::signbit(value)) {
                *out++ = '-';
            }
            const auto rounded = static_cast<std::uint64_t>(std::nearbyint(units));
            out = WriteDigits(out, rounded / scale, 1);
            if (decimals > 0) {
                *out++ = point;
                out = WriteDigits(out, rounded % scale, decimals);
            }
            return out;
        }
    }
    // Values too large for an exact product, inf and NaN, and more decimals,
    // within the room of a column after its separator.
    const auto result = std::to_chars(out, out + kMaxColumnChars - 1, static_cast<double>(value),
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc{}) {
        return out;
    }
    std::replace(out, result.ptr, '.', point);
    return result.ptr;
}

// The calendar fields a date column shows.
struct ColumnDateTime {
    long year = 0;
    long month = 0;
    long day = 0;
    long hour = 0;
    long minute = 0;
    long second = 0;
};

// As the bar's OLE date reads (see AsciiLineRecord): the day and time count
// only while that date stays within the OLE range.
ColumnDateTime ColumnDateTimeOf(std::int32_t dayNumber, std::int32_t secondsOfDay) {
    ColumnDateTime fields;
    const std::int32_t day = IsNoDate(dayNumber) ? kOleEpochDayNumber : dayNumber;
    const double oleDay = static_cast<double>(day) - kOleEpochDayNumber;
    if (!(oleDay >= kOleDateMin && oleDay <= kOleDateMax)) {
        return fields;
    }
    const DATUM date = DayNumberToDatum(day);
    fields.year = date.year;
    fields.month = date.month;
    fields.day = date.day;
    if (secondsOfDay > 0 && secondsOfDay < kSecondsPerDay) {
        // Before 30.12.1899 the OLE date's fraction counts backwards.
        const double fraction = static_cast<double>(secondsOfDay) / kSecondsPerDay;
        const double oleDate = oleDay >= 0 ? oleDay + fraction : oleDay - fraction;
        if (oleDate >= kOleDateMin && oleDate <= kOleDateMax) {
            fields.hour = secondsOfDay / 3600;
            fields.minute = (secondsOfDay / 60) % 60;
            fields.second = secondsOfDay % 60;
        }
    }
    return fields;
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
    const char* begin = line.data();
    const char* const end = begin + line.size();
    while (count < maxTokens) {
        const char* const stop = std::find(begin, end, separator);
        const std::string_view token =
            TrimToken(std::string_view(begin, static_cast<std::size_t>(stop - begin)));
        if (!token.empty()) {
            tokens[count++] = token;
        }
        if (stop == end) {
            break;
        }
        begin = stop + 1;
    }
    return count;
}

// Powers of ten that are exact in a double.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::size_t kMaxExactDigits = 19; // any 19 digits fit in 64 bits
constexpr std::uint64_t kMaxExactSignificand = std::uint64_t{1} << 53;

// The plain form prices are written in, [+][-]digits[.digits] with no
// exponent, when its digits are exact in a double. Without initialisers:
// ReadPlainDecimal sets every field, and zeroing the array of a line's
// numbers first took a string store per line.
struct PlainDecimal {
    std::uint64_t significand;
    std::size_t decimals;
    bool negative;

    // The quotient of the digits and a power of ten, both exact, is the
    // correctly rounded value, as the library gives it.
    double Value() const {
        const double value = static_cast<double>(significand) / kExactPowersOfTen[decimals];
        return negative ? -value : value;
    }
};

// Reads the digits from `p` on, not past `end`, into `value` after the
// digits it already holds. Returns how many there were; a run too long for
// 64 bits wraps, and callers refuse that many digits. The loop works on
// locals: stores through the references could alias the characters read.
std::size_t ReadDigits(const char*& p, const char* const end, std::uint64_t& value) {
    const char* const start = p;
    const char* q = start;
    std::uint64_t digits = value;
    for (; q != end; ++q) {
        const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*q) - '0');
        if (digit > 9) {
            break;
        }
        digits = digits * 10 + digit;
    }
    value = digits;
    p = q;
    return static_cast<std::size_t>(q - start);
}

// Reads a plain decimal number from `p` on into `number`, and leaves `p` on
// the first character after its digits. `point` is the decimal character
// besides '.' (0 for none). False for any other form.
bool ReadPlainDecimal(const char*& p, const char* const end, char point, PlainDecimal& number) {
    if (p != end && *p == '+') {
        ++p;
    }
    number.significand = 0;
    number.decimals = 0;
    number.negative = p != end && *p == '-';
    if (number.negative) {
        ++p;
    }
    std::size_t digits = ReadDigits(p, end, number.significand);
    if (p != end && (*p == '.' || (*p == point && point != 0))) {
        ++p;
        number.decimals = ReadDigits(p, end, number.significand);
        digits += number.decimals;
    }
    const bool exponent = p != end && (*p == 'e' || *p == 'E');
    return digits != 0 && digits <= kMaxExactDigits && !exponent &&
           number.significand <= kMaxExactSignificand;
}

// A plain decimal number at the start of the token (trailing characters ignored).
std::optional<double> ParsePlainDecimal(std::string_view token, char point) {
    const char* p = token.data();
    PlainDecimal number;
    if (!ReadPlainDecimal(p, p + token.size(), point, number)) {
        return std::nullopt;
    }
    return number.Value();
}

// A decimal character that can stand for the point without being read as
// part of the number's digits, sign or exponent.
bool IsPlainPoint(char decimalChar) {
    return !IsDigit(decimalChar) && decimalChar != '+' && decimalChar != '-' &&
           decimalChar != 'e' && decimalChar != 'E';
}

// The token as the C library reads it, the decimal character standing for
// the point: exponents, long digit strings, inf and nan.
std::optional<double> ReadNumberWithLibrary(std::string_view token, char decimalChar) {
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

// A decimal number at the start of the token, as a C library conversion reads
// it (trailing characters ignored); the layout's decimal character stands for
// the point. Nothing when no number starts there or it is not finite.
std::optional<double> ParseNumber(std::string_view token, char decimalChar) {
    if (IsPlainPoint(decimalChar)) {
        if (const auto plain = ParsePlainDecimal(token, decimalChar)) {
            return plain;
        }
    }
    return ReadNumberWithLibrary(token, decimalChar);
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

// DAY_NUMBER_INVALID for a date that does not exist or lies after year 9999.
std::int32_t DayNumberOf(int year, long month, long day, CCalendarDayReader& days) {
    if (year < 1 || year > kLastFullYear || month < 1 || month > 12 || day < 1 || day > 31) {
        return DAY_NUMBER_INVALID;
    }
    return days.DayNumber(year, static_cast<int>(month), static_cast<int>(day));
}

// The field from `p` up to the next separator (or the end); `p` is left on
// that separator.
std::string_view NextField(const char*& p, const char* end, char separator) {
    const char* const begin = p;
    p = std::find(p, end, separator);
    return {begin, static_cast<std::size_t>(p - begin)};
}

bool HasBlankEdge(std::string_view field) {
    return field.empty() || IsBlank(field.front()) || IsBlank(field.back());
}

// The date field of a line in the written form, read from `p` up to the next
// separator: YYMMDD, YYYMMDD or YYYYMMDD without a date separator (the "?md"
// mask on digits only), the "D-M-Y" mask with one. DAY_NUMBER_INVALID for
// any other field. (Not an optional: copying one out of its two stores is a
// stall on every line.)
std::int32_t ReadDateField(const char*& p, const char* end, char separator, char dateSeparator,
                           CCalendarDayReader& days) {
    if (dateSeparator != 0) {
        const std::string_view field = NextField(p, end, separator);
        return HasBlankEdge(field) ? DAY_NUMBER_INVALID
                                   : ParseDateMask("D-M-Y", field).value_or(DAY_NUMBER_INVALID);
    }
    std::uint64_t digits = 0;
    const std::size_t count = ReadDigits(p, end, digits);
    if (count < 6 || count > 8 || (p != end && *p != separator)) {
        return DAY_NUMBER_INVALID;
    }
    return DayNumberOf(TextYear(static_cast<long>(digits / 10000), count - 4),
                       static_cast<long>(digits / 100 % 100), static_cast<long>(digits % 100),
                       days);
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
    // The line is gathered here and appended in as few pieces as its columns allow.
    char text[kLineBufferChars];
    char* end = text;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (end + kMaxColumnChars > text + sizeof text) {
            out.append(text, static_cast<std::size_t>(end - text));
            end = text;
        }
        if (i > 0) {
            *end++ = columnSeparator;
        }
        end = WriteColumn(end, columns[i], record);
    }
    out.append(text, static_cast<std::size_t>(end - text));
    out.append("\r\n", 2);
    return out.size() - start;
}

char* AsciiFormatInfo::WriteColumn(char* out, const ASCIICOLINFO& column,
                                   const AsciiLineRecord& record) const {
    const int places = std::clamp(static_cast<int>(decimals), 0, kMaxDecimals);
    switch (column.kind) {
    case kColumnText:
        if (column.format == kFormatTextAsIs) {
            const std::size_t n = std::min(record.text.size(), AsciiLineRecord::kTextSize - 1);
            out = std::copy_n(record.text.data(), n, out);
        }
        return out;
    case kColumnDate:
    case kColumnTime: {
        if (!IsDateFormat(column.format)) {
            return out;
        }
        const ColumnDateTime t = ColumnDateTimeOf(record.dayNumber, record.secondsOfDay);
        const char ds = dateSeparator;
        const char ts = timeSeparator;
        switch (column.format) {
        case kFormatYearMonthDay:
            return WriteTriple(out, ds, t.year, 4, t.month, t.day, 2, ' ');
        case kFormatDayMonthYear:
            return WriteTriple(out, ds, t.day, 2, t.month, t.year, 4, '0', ' ');
        case kFormatMonthDayYear:
            return WriteTriple(out, ds, t.month, 2, t.day, t.year, 4, '0', ' ');
        case kFormatShortYearMonthDay:
            return WriteTriple(out, ds, t.year % 100, 2, t.month, t.day, 2);
        case kFormatDayMonthShortYear:
            return WriteTriple(out, ds, t.day, 2, t.month, t.year % 100, 2);
        case kFormatHourMinuteSecond:
            return WriteTriple(out, ts, t.hour, 2, t.minute, t.second, 2);
        default: // hour and minute
            out = WriteInteger(out, t.hour, 2, '0');
            if (ts != 0) {
                *out++ = ts;
            }
            return WriteInteger(out, t.minute, 2, '0');
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
            return WriteDecimal(out, value, places, decimalChar);
        }
        if (column.format == kFormatInteger) {
            return WriteInteger(out, isVolume ? record.volume : WholePrice(price), 0, '0');
        }
        return out;
    }
    default:
        return out;
    }
}

bool AsciiFormatInfo::ParseLine(std::string_view line, AsciiLineRecord& record) const {
    CCalendarDayReader days;
    return ParseLine(line, days, record);
}

bool AsciiFormatInfo::ParseLine(std::string_view line, CCalendarDayReader& days,
                                AsciiLineRecord& record) const {
    const std::string_view text = TrimLineEnd(line);
    return ParseWrittenLine(text, days, record) || ParseFieldByField(text, record);
}

// Nearly every line read is one this system wrote, so that form is read in one
// pass, without splitting the line first: one separator between fields, no
// blanks around them, plain numbers (what follows the volume is ignored, as
// field by field). Any other line is left to ParseFieldByField, which gives
// the same values for this form.
bool AsciiFormatInfo::ParseWrittenLine(std::string_view text, CCalendarDayReader& days,
                                       AsciiLineRecord& record) const {
    const char separator = columnSeparator;
    if (!IsPlainPoint(decimalChar) || !IsPlainPoint(separator) || separator == '.' ||
        separator == decimalChar) {
        return false;
    }
    const char* p = text.data();
    const char* const end = p + text.size();
    const std::int32_t date = ReadDateField(p, end, separator, dateSeparator, days);
    if (date == DAY_NUMBER_INVALID) {
        return false;
    }
    std::int32_t secondsOfDay = 0;
    if (formatType == kFormatAsciiIntraday && p != end) {
        const std::string_view timeField = NextField(++p, end, separator);
        const auto seconds = HasBlankEdge(timeField) ? std::nullopt : ParseTimeText(timeField);
        if (!seconds) {
            return false;
        }
        secondsOfDay = *seconds;
    }
    // The four prices and the volume, each after its separator. The divisions
    // come after the scan, so that they overlap.
    PlainDecimal numbers[5];
    int count = 0;
    for (; count < 5 && p != end; ++count) {
        if (*p != separator) {
            return false;
        }
        if (!ReadPlainDecimal(++p, end, decimalChar, numbers[count]) ||
            (p != end && *p != separator)) {
            return false;
        }
    }
    if (count < 4) {
        return false;
    }
    record.dayNumber = date;
    record.secondsOfDay = secondsOfDay;
    record.open = static_cast<float>(numbers[0].Value());
    record.high = static_cast<float>(numbers[1].Value());
    record.low = static_cast<float>(numbers[2].Value());
    record.close = static_cast<float>(numbers[3].Value());
    record.volume = count > 4 ? TruncateToInt32(numbers[4].Value()) : 0;
    return true;
}

bool AsciiFormatInfo::ParseFieldByField(std::string_view text, AsciiLineRecord& record) const {
    constexpr std::size_t kMaxTokens = 7; // date, time, four prices, volume
    std::string_view tokens[kMaxTokens];
    const std::size_t count = SplitTokens(text, columnSeparator, tokens, kMaxTokens);
    const bool hasTime = formatType == kFormatAsciiIntraday;
    const std::size_t firstPrice = hasTime ? 2 : 1;
    if (count < firstPrice + 4) {
        return false;
    }
    const auto date = ParseDateMask(dateSeparator != 0 ? "D-M-Y" : "?md", tokens[0]);
    if (!date) {
        return false;
    }
    std::int32_t secondsOfDay = 0;
    if (hasTime) {
        const auto seconds = ParseTimeText(tokens[1]);
        if (!seconds) {
            return false;
        }
        secondsOfDay = *seconds;
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
            volume = TruncateToInt32(*value);
        }
    }
    record.dayNumber = *date;
    record.secondsOfDay = secondsOfDay;
    record.open = prices[0];
    record.high = prices[1];
    record.low = prices[2];
    record.close = prices[3];
    record.volume = volume;
    return true;
}

std::optional<std::int32_t> ParseDateMask(std::string_view mask, std::string_view text) {
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
    CCalendarDayReader days;
    const std::int32_t dayNumber = DayNumberOf(year, month, day, days);
    if (dayNumber == DAY_NUMBER_INVALID) {
        return std::nullopt;
    }
    return dayNumber;
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
