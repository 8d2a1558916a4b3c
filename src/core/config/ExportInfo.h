#pragma once

// One export directory: a folder in which a chart program reads prices in one
// format. Stored byte for byte (544 bytes) in the directory file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace mvr {

struct MVRKrsExportInfo {
    static constexpr std::size_t kSize = 544;
    static constexpr std::uint16_t kDefaultInterval = 10;

    std::string path;                          // ends in a separator
    std::int32_t formatType = 0;               // format catalogue type
    double startDate = 0.0;                    // OLE date from which history is wanted; 0.0 = none
    std::int32_t symbolCount = 0;              // a count to show instead of counting the index
    std::int32_t catalogueId = 0;              // linked server catalogue; 0 = not linked
    std::string catalogueName;                 // path text of the linked catalogue
    std::uint16_t interval = kDefaultInterval; // bar interval in minutes
    std::uint16_t reserved = 0;

    bool IsLinked() const { return catalogueId != 0; }

    void Serialize(std::span<std::uint8_t, kSize> out) const;
    static MVRKrsExportInfo Deserialize(std::span<const std::uint8_t, kSize> in);

    bool operator==(const MVRKrsExportInfo&) const = default;
};

} // namespace mvr
