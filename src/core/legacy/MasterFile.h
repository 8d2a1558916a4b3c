#pragma once

// The symbols of a predecessor ASCII directory. Most formats keep them in
// "master.kvl": 91-byte records, record 0 a header whose bytes 0 and 1 are 20
// and whose byte 30 is the directory's format type, each further complete
// record an entry. A directory of format type 17 has no such file; its
// symbols are the base names of its "*.ASC" price files.

#include "core/legacy/MasterAsciiEntry.h"

#include <span>
#include <string>
#include <vector>

namespace mvr {

// More than 700 000 entries; bounds what a foreign file can make us hold.
inline constexpr std::size_t kMaxMasterFileBytes = std::size_t{64} << 20;

// The entries of a "master.kvl" image; none when the header is missing or
// does not match `formatType`. A shorter tail ends the entries, and damaged
// entries (qdxMasterAsciiEntry::Decode) are passed over.
std::vector<qdxMasterAsciiEntry> DecodeMasterFile(std::span<const std::uint8_t> file,
                                                  int formatType);

// The entries of the directory at `directory` (with or without a trailing
// separator). A missing "master.kvl" gives none, as does a folder of type 17
// without ".ASC" files (the extension matched without regard to letter case).
// There, base names of more than 8 characters cannot be symbols of the
// predecessor and are passed over, and the files are taken in name order so
// that every run yields the same entries whatever the folder's listing order.
std::vector<qdxMasterAsciiEntry> ReadMasterFile(const std::string& directory, int formatType);

} // namespace mvr
