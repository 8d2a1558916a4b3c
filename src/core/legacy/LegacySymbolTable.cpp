#include "core/legacy/LegacySymbolTable.h"

#include "core/platform/Bytes.h"

#include <algorithm>
#include <array>

namespace mvr {

namespace {

constexpr std::size_t kTableCount = 4;
constexpr std::size_t kSymbolTableIndex = 2; // table 3
constexpr std::array<std::size_t, kTableCount> kRecordSizes = {74, 74, kSymbolTableRecordSize, 87};
constexpr std::size_t kFirstCountOffset = 4;
constexpr std::size_t kNumberOffset = 0;
constexpr std::size_t kSymbolOffset = 4;
static_assert(kSymbolOffset + kSymbolTableSymbolSize == kSymbolTableRecordSize);
static_assert(kFirstCountOffset + kTableCount * 8 == kSymbolTableHeaderSize);

// Plain byte-string order: std::char_traits<char> compares as unsigned char,
// so "\xC4" sorts after "Z" whatever the signedness of char.
int CompareSymbols(std::string_view a, std::string_view b) {
    return a.compare(b);
}

} // namespace

CLegacySymbolTable::CLegacySymbolTable(std::vector<CLegacySymbolRecord> records)
    : records_(std::move(records)) {
    // Stable, so that duplicate symbols resolve the same way in every run.
    std::stable_sort(records_.begin(), records_.end(),
                     [](const CLegacySymbolRecord& a, const CLegacySymbolRecord& b) {
                         return CompareSymbols(a.symbol, b.symbol) < 0;
                     });
}

const CLegacySymbolRecord* CLegacySymbolTable::LookupSymbol(std::string_view symbol) const {
    std::ptrdiff_t low = 0;
    std::ptrdiff_t high = static_cast<std::ptrdiff_t>(records_.size()) - 1;
    while (low <= high) {
        const std::ptrdiff_t middle = low + (high - low) / 2;
        const CLegacySymbolRecord& record = records_[static_cast<std::size_t>(middle)];
        const int order = CompareSymbols(record.symbol, symbol);
        if (order == 0) {
            return &record;
        }
        if (order > 0) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return nullptr;
}

bool ReadSymbolTable(std::span<const std::uint8_t> file, CLegacySymbolTable* table) {
    if (file.size() < kSymbolTableHeaderSize) {
        return false;
    }
    // Where each table starts; 64-bit sums, so that no count can wrap the end
    // of the last table back into the file.
    std::uint64_t end = kSymbolTableHeaderSize;
    std::uint64_t symbolTableStart = 0;
    std::size_t symbolCount = 0;
    for (std::size_t t = 0; t < kTableCount; ++t) {
        const std::uint8_t* words = file.data() + kFirstCountOffset + 8 * t;
        const std::int32_t count = LoadLEInt32(words);
        const std::int32_t capacity = LoadLEInt32(words + 4);
        if (count < 0 || capacity < count) {
            return false;
        }
        if (t == kSymbolTableIndex) {
            symbolTableStart = end;
            symbolCount = static_cast<std::size_t>(count);
        }
        end += static_cast<std::uint64_t>(count) * kRecordSizes[t];
    }
    if (end > file.size()) {
        return false;
    }
    std::vector<CLegacySymbolRecord> records;
    records.reserve(symbolCount); // all of them are in the file, checked above
    const std::uint8_t* record = file.data() + symbolTableStart;
    for (std::size_t i = 0; i < symbolCount; ++i, record += kSymbolTableRecordSize) {
        // A symbol without terminator is taken with all 96 bytes, as the field
        // holds them; it can match no symbol of a directory, which has at most 8.
        records.push_back({LoadLEInt32(record + kNumberOffset),
                           LoadFixedText(record + kSymbolOffset, kSymbolTableSymbolSize)});
    }
    *table = CLegacySymbolTable(std::move(records));
    return true;
}

} // namespace mvr
