#pragma once

// Selecting a row of a sorted list by typing the beginning of its key: the
// typed characters collect into a prefix of at most 30 characters until the
// user pauses for more than a second, and each character moves the selection
// forward to the first row whose key reaches the prefix in the sort order.
// Shared by the symbol list and the search result list.

#include "core/lists/RowSelection.h"
#include "core/platform/TextUtil.h"
#include "core/platform/TickClock.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mvr {

// The first prefix.size() characters of `text` against `prefix`, letter case
// of A-Z ignored: negative, zero or positive. A shorter text compares as if
// padded with characters below every other.
int ComparePrefixIgnoreCase(std::string_view text, std::string_view prefix);

// What the type-ahead needs to know about the list it searches.
struct TypeAheadRows {
    bool sorted = false;     // an unsorted list passes every character on
    bool descending = false; // the order in which the rows are shown
    std::size_t count = 0;
    // The row's key against the typed text over the text's length (as
    // ComparePrefixIgnoreCase). Empty when the sort column has no text key;
    // every row then compares equal.
    std::function<int(std::size_t row, std::string_view text)> compare;
};

struct TypeAheadResult {
    bool taken = false; // false: the list's default handling gets the character
    std::optional<std::size_t>
        row; // the row to select, focus and scroll to; none: no row qualifies
};

// The key of a list whose records have a name and a symbol: the text of the
// one the list is sorted by. `recordOfRow` gives the row's record or null.
template <class RecordOfRow>
std::function<int(std::size_t, std::string_view)> NameOrSymbolKey(bool byName,
                                                                  RecordOfRow recordOfRow) {
    return [byName, recordOfRow](std::size_t row, std::string_view text) {
        const auto* record = recordOfRow(row);
        if (record == nullptr) {
            return 0;
        }
        return ComparePrefixIgnoreCase(byName ? record->name : record->symbol, text);
    };
}

class CTypeAhead {
public:
    static constexpr std::size_t kMaxChars = 30;
    static constexpr std::uint32_t kPauseMilliseconds = 1000;

    explicit CTypeAhead(const CTickClock& clock) : clock_(clock) {}

    TypeAheadResult Type(char character, bool ctrlDown, const TypeAheadRows& rows);
    // Types as above; a character that is taken leaves the row found (if
    // any) as the only selected row.
    TypeAheadResult TypeAndSelect(char character, bool ctrlDown, const TypeAheadRows& rows,
                                  CRowSelection& selection);

    // Forgets the prefix and starts the next search at the first row again.
    void Reset();

    const std::string& Text() const { return text_; }
    std::size_t Position() const { return position_; }

private:
    // Enter, Tab, the keys that the lists use as commands, and control characters.
    static bool IsPassedOn(char character);

    const CTickClock& clock_;
    std::string text_;
    std::size_t position_ = 0;
    std::uint32_t lastKeyTime_ = 0;
};

} // namespace mvr
