#include "LegacyFileBuilder.h"

#include "core/platform/Bytes.h"

#include <algorithm>

namespace mvr::test {

namespace {

// Patterns for the bytes the readers must not interpret.
constexpr std::uint32_t kUnusedWord = 0xA5C3E1F7;
constexpr std::uint8_t kUnusedByte = 0xEE;
constexpr std::size_t kKvloUnreadPrefix = 290;

constexpr std::size_t kSdbHeaderSize = 36;
constexpr std::size_t kSdbRecordSizes[] = {74, 74, 100, 87};

// Returns where the pattern starts (valid until the next append).
std::uint8_t* AppendPattern(CByteWriter& out, std::size_t count, std::uint8_t seed) {
    std::uint8_t* p = out.AppendZeros(count);
    for (std::size_t i = 0; i < count; ++i) {
        p[i] = static_cast<std::uint8_t>(seed + 37 * i);
    }
    return p;
}

} // namespace

void AppendKvloText(CByteWriter& out, std::string_view text) {
    out.AppendLE32(static_cast<std::uint32_t>(text.size() + 1));
    out.AppendBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    out.AppendZeros(1);
}

void AppendKvloHeader(CByteWriter& out, std::uint32_t formatCount) {
    AppendPattern(out, kKvloUnreadPrefix, 0x11);
    out.AppendLE32(kUnusedWord);
    out.AppendLE32(formatCount);
}

void AppendKvloSymbol(CByteWriter& out, const LegacySymbolSpec& symbol) {
    AppendKvloText(out, symbol.symbol);
    AppendKvloText(out, symbol.name);
    *out.AppendZeros(1) = kUnusedByte;
    out.AppendLE32(kUnusedWord);
    out.AppendLE32(kUnusedWord);
    out.AppendLE32(kUnusedWord);
}

void AppendKvloDirectory(CByteWriter& out, const LegacyDirectorySpec& directory) {
    AppendKvloText(out, directory.path);
    out.AppendLE32(kUnusedWord);
    out.AppendLE32(kUnusedWord);
    out.AppendLE32(static_cast<std::uint32_t>(directory.symbols.size()));
    for (const LegacySymbolSpec& symbol : directory.symbols) {
        AppendKvloSymbol(out, symbol);
    }
}

void AppendKvloList(CByteWriter& out, const LegacyListSpec& list) {
    AppendKvloText(out, list.name);
    out.AppendLE32(kUnusedWord);
    out.AppendLE32(static_cast<std::uint32_t>(list.directories.size()));
    for (const LegacyDirectorySpec& directory : list.directories) {
        AppendKvloDirectory(out, directory);
    }
}

void AppendKvloFormat(CByteWriter& out, const LegacyFormatSpec& format) {
    AppendKvloText(out, format.shortName);
    AppendKvloText(out, format.name);
    *out.AppendZeros(1) = format.formatType;
    out.AppendLE32(kUnusedWord);
    AppendPattern(out, 4, 0x5A);
    out.AppendLE32(kUnusedWord);
    out.AppendLE32(static_cast<std::uint32_t>(format.lists.size()));
    for (const LegacyListSpec& list : format.lists) {
        AppendKvloList(out, list);
    }
    out.AppendLE32(kUnusedWord);
    out.AppendLE32(static_cast<std::uint32_t>(format.directories.size()));
    for (const LegacyDirectorySpec& directory : format.directories) {
        AppendKvloDirectory(out, directory);
    }
}

ByteBuffer BuildKvloDat(const std::vector<LegacyFormatSpec>& formats) {
    CByteWriter out;
    AppendKvloHeader(out, static_cast<std::uint32_t>(formats.size()));
    for (const LegacyFormatSpec& format : formats) {
        AppendKvloFormat(out, format);
    }
    return out.Release();
}

std::size_t KvloSdbCountOffset(int table) {
    return 4 + 8 * static_cast<std::size_t>(table - 1);
}

ByteBuffer BuildKvloSdb(const KvloSdbSpec& contents) {
    const std::uint32_t counts[] = {contents.table1Count, contents.table2Count,
                                    static_cast<std::uint32_t>(contents.symbols.size()),
                                    contents.table4Count};
    CByteWriter out;
    out.AppendLE32(kUnusedWord);
    for (const std::uint32_t count : counts) {
        out.AppendLE32(count);
        out.AppendLE32(count + contents.spareCapacity);
    }
    for (int table = 0; table < 4; ++table) {
        if (table == 2) {
            for (const LegacySymbolRecordSpec& record : contents.symbols) {
                out.AppendLEInt32(record.instrumentNumber);
                // The bytes after the terminator are left over from other symbols.
                std::uint8_t* field = out.AppendZeros(96);
                for (std::size_t i = 0; i < 96; ++i) {
                    field[i] = static_cast<std::uint8_t>('a' + i % 26);
                }
                const std::size_t n = std::min<std::size_t>(record.symbol.size(), 95);
                std::copy_n(record.symbol.begin(), n, field);
                field[n] = 0;
            }
        } else {
            AppendPattern(out, counts[table] * kSdbRecordSizes[table],
                          static_cast<std::uint8_t>(0x30 + table));
        }
    }
    static_assert(kSdbHeaderSize == 4 + 4 * 8);
    return out.Release();
}

std::vector<std::uint8_t> EncodeMasterEntry(const MasterEntrySpec& entry) {
    std::vector<std::uint8_t> record(kMasterKvlRecordSize, kUnusedByte);
    std::uint8_t* p = record.data();
    StoreFixedText(p + 0, 9, entry.symbol);
    StoreFixedText(p + 9, 41, entry.name);
    p[50] = static_cast<std::uint8_t>(entry.periodLetter);
    StoreLE16(p + 51, entry.interval);
    StoreLEInt32(p + 53, entry.firstDate);
    StoreLEInt32(p + 57, entry.time);
    StoreLEInt32(p + 61, entry.lastDate);
    StoreLE32(p + 69, entry.carriedValue);
    return record;
}

ByteBuffer BuildMasterKvl(std::uint8_t formatType, const std::vector<MasterEntrySpec>& entries) {
    CByteWriter out;
    std::uint8_t* header = AppendPattern(out, kMasterKvlRecordSize, 0x42);
    header[0] = 20;
    header[1] = 20;
    header[30] = formatType;
    for (const MasterEntrySpec& entry : entries) {
        out.AppendBytes(EncodeMasterEntry(entry));
    }
    return out.Release();
}

} // namespace mvr::test
