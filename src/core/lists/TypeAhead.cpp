#include "core/lists/TypeAhead.h"

#include "core/platform/TextUtil.h"

#include <algorithm>

namespace mvr {

int ComparePrefixIgnoreCase(std::string_view text, std::string_view prefix) {
    return CompareIgnoreCase(text.substr(0, std::min(text.size(), prefix.size())), prefix);
}

bool CTypeAhead::IsPassedOn(char character) {
    const auto code = static_cast<unsigned char>(character);
    return character == '#' || character == '+' || character == '-' || code < 0x20 || code == 0x7F;
}

TypeAheadResult CTypeAhead::Type(char character, bool ctrlDown, const TypeAheadRows& rows) {
    if (IsPassedOn(character) || !rows.sorted || ctrlDown) {
        return {};
    }
    // Unsigned 32-bit difference, so a wrap of the tick count is no pause.
    const std::uint32_t now = clock_.TickCount();
    if (now - lastKeyTime_ > kPauseMilliseconds) {
        Reset();
    }
    lastKeyTime_ = now;
    if (text_.size() >= kMaxChars) {
        return {};
    }
    text_.push_back(character);

    // Only forward: a longer prefix continues from the row the shorter one found.
    std::size_t row = std::min(position_, rows.count);
    for (; row < rows.count; ++row) {
        const int order = rows.compare ? rows.compare(row, text_) : 0;
        if (rows.descending ? order <= 0 : order >= 0) {
            break;
        }
    }
    position_ = row;
    TypeAheadResult result;
    result.taken = true;
    if (row < rows.count) {
        result.row = row;
    }
    return result;
}

void CTypeAhead::Reset() {
    text_.clear();
    position_ = 0;
}

TypeAheadResult CTypeAhead::TypeAndSelect(char character, bool ctrlDown, const TypeAheadRows& rows,
                                          CRowSelection& selection) {
    const TypeAheadResult result = Type(character, ctrlDown, rows);
    if (result.taken) {
        selection.ClearAll();
        if (result.row) {
            selection.SelectOnly(*result.row);
        }
    }
    return result;
}

} // namespace mvr
