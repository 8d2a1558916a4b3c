#pragma once

// Builders of the files a predecessor installation leaves behind ("kvlo.dat",
// "kvlo.sdb", "master.kvl"), written field by field as the predecessor wrote
// them, for the tests of the readers and of the import. The bytes the readers
// pass over are filled with patterns, so that a reader that looks at them, or
// reads from a wrong offset, goes wrong visibly.

#include "core/platform/ByteStream.h"
#include "core/platform/FileSystem.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvr::test {

// --- kvlo.dat ---------------------------------------------------------------

struct LegacySymbolSpec {
    std::string symbol; // up to 12 characters fit the predecessor's field
    std::string name;   // up to 50
};

struct LegacyDirectorySpec {
    std::string path; // up to 256 characters; may end in a separator
    std::vector<LegacySymbolSpec> symbols;
};

struct LegacyListSpec {
    std::string name; // up to 256 characters
    std::vector<LegacyDirectorySpec> directories;
};

struct LegacyFormatSpec {
    std::string shortName; // up to 8 characters
    std::string name;      // up to 256
    std::uint8_t formatType = 0;
    std::vector<LegacyListSpec> lists;
    std::vector<LegacyDirectorySpec> directories;
};

// A text as the predecessor stored it: its length with the terminator, its
// characters and the terminator. Texts longer than a field are written as
// given, for tests of damaged files.
void AppendKvloText(CByteWriter& out, std::string_view text);
void AppendKvloHeader(CByteWriter& out, std::uint32_t formatCount);
void AppendKvloFormat(CByteWriter& out, const LegacyFormatSpec& format);
void AppendKvloList(CByteWriter& out, const LegacyListSpec& list);
void AppendKvloDirectory(CByteWriter& out, const LegacyDirectorySpec& directory);
void AppendKvloSymbol(CByteWriter& out, const LegacySymbolSpec& symbol);

ByteBuffer BuildKvloDat(const std::vector<LegacyFormatSpec>& formats);

// --- kvlo.sdb ---------------------------------------------------------------

struct LegacySymbolRecordSpec {
    std::int32_t instrumentNumber = 0;
    std::string symbol; // up to 95 characters
};

struct KvloSdbSpec {
    std::vector<LegacySymbolRecordSpec> symbols; // table 3, in file order
    // Records of the tables that are only passed over.
    std::uint32_t table1Count = 0;
    std::uint32_t table2Count = 0;
    std::uint32_t table4Count = 0;
    // Every table's capacity is its count plus this.
    std::uint32_t spareCapacity = 0;
};

// Offset of the count word of table t (1..4); its capacity follows it.
std::size_t KvloSdbCountOffset(int table);

ByteBuffer BuildKvloSdb(const KvloSdbSpec& contents);

// --- master.kvl -------------------------------------------------------------

struct MasterEntrySpec {
    std::string symbol; // up to 8 characters
    std::string name;   // up to 40
    char periodLetter = 'D';
    std::uint16_t interval = 0;
    std::int32_t firstDate = 0; // YYMMDD, YYYMMDD or YYYYMMDD
    std::int32_t time = 0;      // HHMMSS
    std::int32_t lastDate = 0;
    std::uint32_t carriedValue = 0; // offset 69
};

inline constexpr std::size_t kMasterKvlRecordSize = 91;

std::vector<std::uint8_t> EncodeMasterEntry(const MasterEntrySpec& entry);
// A header naming `formatType`, then one record per entry.
ByteBuffer BuildMasterKvl(std::uint8_t formatType, const std::vector<MasterEntrySpec>& entries);

} // namespace mvr::test
