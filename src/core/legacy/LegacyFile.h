#pragma once

// Reading a file of a predecessor installation into memory. The readers take
// the whole image at once; a limit per file keeps a damaged or foreign file of
// any size from being loaded whole.

#include "core/platform/FileSystem.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace mvr {

inline constexpr const char* kLegacyFormatsFileName = "kvlo.dat";
inline constexpr const char* kLegacySymbolTableFileName = "kvlo.sdb";
inline constexpr const char* kLegacyMasterFileName = "master.kvl";

// The file `name` in `folder`, found without regard to letter case (an
// installation copied from Windows may hold KVLO.DAT), read from its start up
// to `maxBytes` bytes. Nothing when there is no such file or it cannot be
// read. Bytes beyond the limit are never read: a reader that needs them finds
// its records incomplete and fails as for a cut file.
std::optional<ByteBuffer> ReadLegacyFile(const std::string& folder, std::string_view name,
                                         std::size_t maxBytes);

} // namespace mvr
