#pragma once

// What the typed edit fields do to their text, without any window: the spin
// step of a date, a whole number and a decimal number, and the completion of
// a date typed without full stops. The window's controls call these and show
// the text they give back.

#include "core/formats/DayNumber.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

// A date field looks at no more than this many characters of its text.
inline constexpr std::size_t kDateFieldChars = 17;

// One spin click on a date field with the spin's position delta (the up arrow
// gives -1): an empty field shows `today`; a date moves by -delta x step days;
// a text that is no date, or a step before day 0, empties the field.
std::string DateFieldStep(std::string_view text, int delta, std::int32_t step, std::int32_t today);

// The text a date field shows once the user leaves it: eight digits DDMMYYYY
// become DD.MM.YYYY and six digits DDMMYY become DD.MM.YY when that is a date;
// everything else (a text with a full stop, no date) stays as typed.
std::string DateFieldOnLeave(std::string_view text);

// The weekday the calendar pop-up starts with for a day number: 0 Sunday to
// 6 Saturday.
int CalendarWeekday(std::int32_t dayNumber);

// The text a day picked in the calendar pop-up puts into its date field:
// day and month with two digits, the year with at least two ("07.03.2005").
std::string CalendarChoiceText(const DATUM& date);

// One spin click on a whole-number field: the text read as a 64-bit integer
// (leading blanks and tabs skipped, a leading minus, every digit anywhere
// after it taken, so "1.234" reads as 1234) minus step x delta cut toward
// zero, printed plainly. An empty field shows 0.
std::string WholeNumberFieldStep(std::string_view text, int delta, float step);

// The value of a decimal-number field: its first comma read as a decimal
// point, then the longest leading number (blanks before it skipped); 0.0 when
// the text begins with none.
double DecimalControlValue(std::string_view text);

// The field's value as the control hands it out: its text gets the decimal
// point in place of its first comma, as the control shows it from then on.
double TakeDecimalValue(std::string& text);

// One spin click on a decimal-number field: its value minus step x delta,
// printed with "%g". An empty field shows 0.
std::string DecimalFieldStep(std::string_view text, int delta, float step);

// The filter of a file field's browser for files with `extension` (no dot),
// in the pipe-separated form description|patterns|...||:
// "Files (*.txt)|*.txt;|All files (*.*)|*.*||" for "txt".
std::string FileFieldFilter(std::string_view extension);

// One choice of a file browser's filter: what the user reads and the
// patterns it shows ("*.txt").
struct FileFilterChoice {
    std::string description;
    std::vector<std::string> patterns;
};

// The choices of a pipe-separated filter in order. Patterns are separated by
// semicolons, empty ones are dropped; the list ends at an empty description
// (the double pipe) or a description without patterns after it.
std::vector<FileFilterChoice> FileFilterChoices(std::string_view filter);

// The name of a filter choice as a file dialog takes it, its patterns in
// parentheses at its end: the description as it is when it already ends with
// exactly those patterns ("Files (*.txt)"), else with them appended.
std::string FileFilterName(const FileFilterChoice& choice);

} // namespace mvr
