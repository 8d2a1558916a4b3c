#pragma once

// The window-layout file: placement of the main window, its splitter, the
// column widths of the directory list, and placement and splitter of the symbol
// search dialog. The core keeps the values; the GUI applies and fills them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace mvr {

// The platform's window-placement record (44 bytes): length, flags, show
// command, minimised and maximised position, normal rectangle.
struct WindowPlacement {
    static constexpr std::size_t kSize = 44;

    std::uint32_t length = 0; // 0 = nothing stored
    std::uint32_t flags = 0;
    std::uint32_t showCommand = 0;
    std::int32_t minX = 0, minY = 0;
    std::int32_t maxX = 0, maxY = 0;
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;

    bool IsStored() const { return length != 0; }
    void Serialize(std::uint8_t* out) const;
    static WindowPlacement Deserialize(const std::uint8_t* in);

    bool operator==(const WindowPlacement&) const = default;
};

struct WindowLayout {
    // More columns than any list of the system has marks a damaged file.
    static constexpr std::int32_t kMaxColumns = 64;

    bool mainPlacementRead = false; // false: the window keeps the template layout
    WindowPlacement mainPlacement;
    std::int32_t splitterPosition = 0; // 0 or below: the template position
    std::vector<std::int32_t> columnWidths;
    WindowPlacement searchPlacement;
    std::int32_t searchSplitterPosition = 0;

    std::vector<std::uint8_t> Serialize() const;
    static WindowLayout Deserialize(std::span<const std::uint8_t> file);

    bool operator==(const WindowLayout&) const = default;
};

} // namespace mvr
