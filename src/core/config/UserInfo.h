#pragma once

// The user settings record (1284 bytes on disk): account, password, format
// filter, active list, definition-file names and the sort state of three lists.
// An older 1048-byte layout holds bytes 8..1055 of this record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mvr {

// XORs every byte of the zero-terminated text with its position and a fixed
// mask; applying it twice gives the text back as long as no scrambled byte is
// zero. Works on at most `size` bytes.
void ScramblePassword(char* text, std::size_t size);

// True when the scrambled form of the password has no zero byte, so that it
// is stored and read back unchanged.
bool IsStorablePassword(const std::string& password);

struct ExportUserInfo {
    static constexpr std::size_t kSize = 1284;
    static constexpr std::size_t kOlderLayoutSize = 1048;
    static constexpr std::int32_t kCurrentVersion = 0x10000;
    static constexpr std::size_t kTextSize = 260;
    static constexpr std::size_t kReservedSize = 200;

    std::int32_t version = kCurrentVersion;
    std::int32_t size = static_cast<std::int32_t>(kSize);
    std::string account;
    std::string password;             // plain text in memory, scrambled on disk
    std::int32_t formatFilter = -1;   // -1 = all formats
    std::int32_t activeListEntry = 0; // 0 = no active list, k = list k - 1
    std::string definitionInput = "input.txt";
    std::string definitionOutput = "output.txt";
    std::array<std::uint8_t, kReservedSize> reserved{};
    std::int32_t directorySortColumn = 0;
    std::int32_t symbolSortColumn = -1;
    std::int32_t searchSortColumn = 0;
    std::int32_t directorySortFlag = 0; // 1 = descending
    std::int32_t symbolSortFlag = 1;    // 1 = ascending
    std::int32_t searchSortFlag = 0;
    std::int32_t currentDirectory = 0; // written for reference, ignored when read

    bool IsOlderLayout() const { return version == 0; }

    std::vector<std::uint8_t> Serialize() const;

    // Reads the file content: exactly 1048 bytes is the older layout; anything
    // else is read as the current layout over the initial values, as far as it goes.
    // The bool tells whether the sort state of the current layout was read.
    static ExportUserInfo Deserialize(std::span<const std::uint8_t> file, bool* sortStateRead);

    bool operator==(const ExportUserInfo&) const = default;
};

} // namespace mvr
