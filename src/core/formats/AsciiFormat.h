#pragma once

// How one line of an ASCII price file is laid out (column separator, decimal
// character, date layout, columns), the built-in layout of every ASCII format
// type, and the line writer and reader.

#include "core/formats/DayNumber.h"
#include "core/formats/FormatCatalogue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

// What a column shows.
enum AsciiColumnKind : std::int32_t {
    kColumnText = 0,
    kColumnDate = 1, // kinds 1 and 2 both carry the bar's date and time
    kColumnTime = 2,
    kColumnOpen = 3,
    kColumnLow = 4,
    kColumnHigh = 5,
    kColumnClose = 6,
    kColumnVolume = 7,
};

// How a column's value is written.
enum AsciiColumnFormat : std::int32_t {
    kFormatTextAsIs = 0,
    kFormatYearMonthDay = 1,      // YYYY ds MM ds DD
    kFormatDayMonthYear = 2,      // DD ds MM ds YYYY
    kFormatMonthDayYear = 3,      // MM ds DD ds YYYY
    kFormatShortYearMonthDay = 4, // YY ds MM ds DD
    kFormatDayMonthShortYear = 5, // DD ds MM ds YY
    kFormatHourMinuteSecond = 6,  // HH ts MM ts SS
    kFormatHourMinute = 7,        // HH ts MM
    kFormatHourMinuteAlt = 8,     // HH ts MM
    kFormatDecimal = 9,           // the layout's decimals, the decimal character for the point
    kFormatInteger = 10,
};

struct ASCIICOLINFO {
    std::int32_t kind = kColumnText;
    std::int32_t format = kFormatTextAsIs;

    bool operator==(const ASCIICOLINFO&) const = default;
};

// The values of one line between the line writer/reader and the data file.
struct AsciiLineRecord {
    static constexpr std::size_t kTextSize = 16;

    std::string text; // kind 0; at most 15 characters
    // Kinds 1 and 2: the bar's day and time of day. Written as the bar's OLE
    // date shows them: no date is 30.12.1899, a day outside the OLE range is
    // all zeros, and a time outside the day (or the range) is midnight.
    std::int32_t dayNumber = 0;
    std::int32_t secondsOfDay = 0;
    float open = 0.0f;
    float low = 0.0f;
    float high = 0.0f;
    float close = 0.0f;
    std::int32_t volume = 0;
};

class AsciiFormatInfo {
public:
    char decimalChar = '.'; // 0 or '.' mean the point itself
    char dateSeparator = 0; // 0 = none
    char timeSeparator = 0; // 0 = none
    char columnSeparator = ',';
    std::int32_t decimals = 4;
    std::vector<ASCIICOLINFO> columns;
    std::string layoutName = "default";
    std::int32_t formatType = kFormatNotSet;

    // The built-in layout of an ASCII format type (the reset layout for any other type).
    static AsciiFormatInfo ForFormatType(int type);

    void Reset();
    void BuildForFormatType(int type);
    void AddColumn(std::int32_t kind, std::int32_t format);

    // Appends the line with its "\r\n" to `out`; returns the line's length
    // including the two line-end characters.
    std::size_t FormatLine(std::string& out, const AsciiLineRecord& record) const;

    // Reads a line of the form date, [time (type 21)], open, high, low, close,
    // [volume], whatever the column list says. Empty fields are skipped. False
    // when the line does not carry a valid date (and time) and four prices; a
    // missing volume gives 0.
    bool ParseLine(std::string_view line, AsciiLineRecord& record) const;
    // The same for the lines of one file in their order: `days` carries the
    // month of a line's date on to the next.
    bool ParseLine(std::string_view line, CCalendarDayReader& days, AsciiLineRecord& record) const;

private:
    bool ParseWrittenLine(std::string_view text, CCalendarDayReader& days,
                          AsciiLineRecord& record) const;
    bool ParseFieldByField(std::string_view text, AsciiLineRecord& record) const;

    // Writes the column's text at `out` and returns its end.
    char* WriteColumn(char* out, const ASCIICOLINFO& column, const AsciiLineRecord& record) const;
};

// A date read against a mask ("?md", "D-M-Y", ...), as its day number;
// nothing when the text does not give a valid date.
//   '?'      the run of digits at the start: 6 digits hold a 2-digit year,
//            7 a 3-digit year, 8 a 4-digit year, followed by month and day
//   'd' 'm'  two characters (the first may be a blank)   'y' a 2-digit year
//   'D' 'M'  a decimal number of any length              'Y' a year number
//   other    skips one character (a separator)
// Years of up to three digits go through the century rule; four-digit years
// from 1900 on are taken as written.
std::optional<std::int32_t> ParseDateMask(std::string_view mask, std::string_view text);

// The time of day of an intraday token in seconds: HHMMSS when the first six
// characters are digits, HMMSS when the first five are, otherwise midnight.
// Nothing for an hour, minute or second out of range.
std::optional<std::int32_t> ParseTimeText(std::string_view text);

} // namespace mvr
