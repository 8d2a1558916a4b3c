#pragma once

// "kvlo.sdb", the table file of a predecessor installation. Its symbol table
// maps the predecessor's symbols to its own instrument numbers.
//   0   4  unused word (must be present)
//   4   8  count and capacity of table 1 (two words)
//  12   8  count and capacity of table 2
//  20   8  count and capacity of table 3, the symbol table
//  28   8  count and capacity of table 4
//  36      table 1: 74 bytes per record, then table 2: 74 bytes per record,
//          table 3: 100 bytes per record, table 4: 87 bytes per record
// A symbol-table record: the instrument number (signed 32-bit; 0 or less is
// none) and the symbol, zero-terminated in 96 bytes. Tables 1, 2 and 4 are
// only passed over, but they must be complete.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

inline constexpr std::size_t kSymbolTableHeaderSize = 36;
inline constexpr std::size_t kSymbolTableRecordSize = 100;
inline constexpr std::size_t kSymbolTableSymbolSize = 96;

// Far above any table the predecessor kept.
inline constexpr std::size_t kMaxSymbolTableFileBytes = std::size_t{256} << 20;

struct CLegacySymbolRecord {
    std::int32_t instrumentNumber = 0;
    std::string symbol;

    bool operator==(const CLegacySymbolRecord&) const = default;
};

// The symbol table, sorted by symbol in plain byte order (bytes compared as
// unsigned values) so that a symbol is found by halving.
class CLegacySymbolTable {
public:
    CLegacySymbolTable() = default;
    explicit CLegacySymbolTable(std::vector<CLegacySymbolRecord> records);

    // The record of exactly this symbol (letter case counts), or nullptr.
    // Of several records with one symbol, one of them.
    const CLegacySymbolRecord* LookupSymbol(std::string_view symbol) const;

    const std::vector<CLegacySymbolRecord>& Records() const { return records_; }

private:
    std::vector<CLegacySymbolRecord> records_;
};

// True when the header and all four tables are completely there; the symbol
// table then replaces `table`. False, leaving `table` untouched, otherwise and
// when a table's count is negative or above its capacity (no table of the
// predecessor ever held more records than it had room for).
bool ReadSymbolTable(std::span<const std::uint8_t> file, CLegacySymbolTable* table);

} // namespace mvr
