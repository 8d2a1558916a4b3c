#pragma once

// "kvlo.dat", the configuration of a predecessor installation: its formats,
// each with lists of directories and with directories of its own.
//   0    290  not read
//   290    4  unused word (must be present)
//   294    4  n = number of format records
//   298  ...  n format records, one after the other
// The records are sequences of 32-bit little-endian words, single bytes and
// texts. A text is a 32-bit length L (terminator included) and L bytes.
//
// Format record:    short name (text, 9), name (text, 257), format type (byte),
//                   word, four bytes, word, m + m list records, word,
//                   k + k directory records
// List record:      name (text, 257), word, k + k directory records
// Directory record: path (text, 257), word, word, s + s symbol records
// Symbol record:    symbol (text, 13), name (text, 51), byte, word, word, word
// (the number after a text is the size of the field that holds it).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mvr {

// Field sizes of the texts, terminator included.
inline constexpr std::size_t kKvloShortNameSize = 9;
inline constexpr std::size_t kKvloNameSize = 257;
inline constexpr std::size_t kKvloPathSize = 257;
inline constexpr std::size_t kKvloSymbolSize = 13;
inline constexpr std::size_t kKvloSymbolNameSize = 51;

inline constexpr std::size_t kKvloFormatsOffset = 298;

// Far above any configuration the predecessor kept (its directories' symbol
// records take most of the file); bounds what a damaged file can make us hold.
inline constexpr std::size_t kMaxFormatsFileBytes = std::size_t{32} << 20;

// A directory of a format or of a list. The path is as stored: it may or may
// not end in a separator. Its symbol records are checked and passed over; the
// predecessor's prices are taken from the directory itself.
struct Cqdx_kvlo_directory_info {
    std::string path;

    bool operator==(const Cqdx_kvlo_directory_info&) const = default;
};

struct Cprev_kvlo_list_info {
    std::string name;
    std::vector<Cqdx_kvlo_directory_info> directories;

    bool operator==(const Cprev_kvlo_list_info&) const = default;
};

struct Cqdx_kvlo_format_info {
    std::string shortName;
    std::string name;
    int formatType = 0; // of the format's directories and lists (a single byte in the file)
    std::vector<Cprev_kvlo_list_info> lists;
    std::vector<Cqdx_kvlo_directory_info> directories;

    bool operator==(const Cqdx_kvlo_format_info&) const = default;
};

// The format records of a "kvlo.dat" image, in file order. False, leaving
// `formats` untouched, when any field is missing or cannot be what the
// predecessor wrote: a text longer than its field, or a count of more records
// than the rest of the file could hold. Bytes after the last record are ignored.
bool ReadFormats(std::span<const std::uint8_t> file, std::vector<Cqdx_kvlo_format_info>* formats);

} // namespace mvr
