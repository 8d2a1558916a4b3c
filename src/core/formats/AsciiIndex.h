#pragma once

// "mvrexp.mas", the index of an ASCII-family directory: an 80-byte header
//   0  4  256
//   4  4  format type of the directory
//   8  4  number n of symbol records
//  12  4  0
//  16  8  start date of the directory (OLE date)
//  24 56  zero
// followed by n ExportSymbolInfo records of 728 bytes.

#include "core/formats/ExportSymbolInfo.h"
#include "core/platform/FileSystem.h"

#include <optional>
#include <span>
#include <vector>

namespace mvr {

inline constexpr const char* kAsciiIndexFileName = "mvrexp.mas";
inline constexpr std::size_t kAsciiIndexHeaderSize = 80;
inline constexpr std::int32_t kAsciiIndexMagic = 256;

struct AsciiIndexHeader {
    std::int32_t formatType = 0;
    std::int32_t count = 0;
    double startDate = 0.0;
};

// Nothing when the bytes are shorter than a header, do not start with 256 or
// carry a negative count: then the file is not an index this system wrote.
std::optional<AsciiIndexHeader> DecodeAsciiIndexHeader(std::span<const std::uint8_t> file);

// The records of an index whose header decoded. A count beyond the records
// present (a cut file) gives the complete records that are there.
std::vector<ExportSymbolInfo> DecodeAsciiIndexRecords(std::span<const std::uint8_t> file,
                                                      const AsciiIndexHeader& header);

ByteBuffer EncodeAsciiIndex(std::int32_t formatType, double startDate,
                            const std::vector<ExportSymbolInfo>& symbols);

} // namespace mvr
