#pragma once

// ASCII price files: one bar per line in the layout of the file's format type
// (AsciiFormatInfo), no header line.

#include "core/formats/Periode.h"
#include "core/formats/StoredTail.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace mvr {

class CRandomAccessFile;

// Larger files are refused as damaged rather than loaded.
inline constexpr std::uint64_t kMaxAsciiPriceFileBytes = std::uint64_t{256} << 20;

// The bars of a whole file. Lines that do not carry a date and four prices
// (blank lines, header lines of other programs, overlong lines) are skipped.
// Bars are corrected (CorrectBar) unless read as stored, and carry their
// line's byte offset. Nothing when the file holds text but not one line of the
// format: such a file is not this format's, and rewriting it from an empty
// history would destroy it.
std::optional<PriceHistory> DecodeAsciiFile(std::span<const std::uint8_t> file, int formatType,
                                            BarReading reading = BarReading::Corrected);

// The text of a whole file: every bar of the history, new or not, one line each.
std::string EncodeAsciiFile(std::span<const PERIODE> history, int formatType);

// The first and the last bar of a file (as written, no correction), taken from
// its first and last lines that carry a bar; a file with one such line gives it
// twice. Only the file's head and tail are read unless they hold no bar line.
struct FirstAndLastBars {
    PERIODE first;
    PERIODE last;
};
enum class FirstAndLastResult { Found, NoBar, Unreadable };
FirstAndLastResult ReadAsciiFirstAndLast(const std::string& path, int formatType,
                                         FirstAndLastBars& bars);

// The tail of a file for appending lines to it, reaching back before `from`
// (StoredTail::header stays empty: an append changes no byte before the end).
// Nothing when the file is not one an append may extend: empty, larger than
// the reader takes, not ending with a line feed, without a bar line, or a read
// that failed.
std::optional<StoredTail> ReadAsciiTail(const CRandomAccessFile& file, int formatType,
                                        const PERIODE& from);

} // namespace mvr
