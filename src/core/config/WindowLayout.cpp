#include "core/config/WindowLayout.h"

#include "core/platform/ByteStream.h"

namespace mvr {

void WindowPlacement::Serialize(std::uint8_t* out) const {
    const std::uint32_t words[11] = {length,
                                     flags,
                                     showCommand,
                                     static_cast<std::uint32_t>(minX),
                                     static_cast<std::uint32_t>(minY),
                                     static_cast<std::uint32_t>(maxX),
                                     static_cast<std::uint32_t>(maxY),
                                     static_cast<std::uint32_t>(left),
                                     static_cast<std::uint32_t>(top),
                                     static_cast<std::uint32_t>(right),
                                     static_cast<std::uint32_t>(bottom)};
    for (std::size_t i = 0; i < 11; ++i) {
        StoreLE32(out + 4 * i, words[i]);
    }
}

WindowPlacement WindowPlacement::Deserialize(const std::uint8_t* in) {
    const auto word = [in](std::size_t i) { return LoadLEInt32(in + 4 * i); };
    WindowPlacement p;
    p.length = LoadLE32(in);
    p.flags = LoadLE32(in + 4);
    p.showCommand = LoadLE32(in + 8);
    p.minX = word(3);
    p.minY = word(4);
    p.maxX = word(5);
    p.maxY = word(6);
    p.left = word(7);
    p.top = word(8);
    p.right = word(9);
    p.bottom = word(10);
    return p;
}

std::vector<std::uint8_t> WindowLayout::Serialize() const {
    CByteWriter out;
    mainPlacement.Serialize(out.AppendZeros(WindowPlacement::kSize));
    out.AppendLEInt32(splitterPosition);
    out.AppendLEInt32(static_cast<std::int32_t>(columnWidths.size()));
    for (std::int32_t width : columnWidths) {
        out.AppendLEInt32(width);
    }
    searchPlacement.Serialize(out.AppendZeros(WindowPlacement::kSize));
    out.AppendLEInt32(searchSplitterPosition);
    return out.Release();
}

WindowLayout WindowLayout::Deserialize(std::span<const std::uint8_t> file) {
    WindowLayout layout;
    CByteReader in(file);
    const auto placement = in.Take(WindowPlacement::kSize);
    if (placement.empty()) {
        return layout;
    }
    layout.mainPlacementRead = true;
    layout.mainPlacement = WindowPlacement::Deserialize(placement.data());
    if (!in.ReadLEInt32(&layout.splitterPosition)) {
        return layout;
    }
    std::int32_t columns = 0;
    // A column count that the file cannot hold is a damaged file: the widths
    // and the search values after it are not trusted.
    if (!in.ReadLEInt32(&columns) || columns < 0 || columns > kMaxColumns ||
        static_cast<std::size_t>(columns) * 4 > in.Remaining()) {
        return layout;
    }
    for (std::int32_t i = 0; i < columns; ++i) {
        std::int32_t width = 0;
        in.ReadLEInt32(&width);
        layout.columnWidths.push_back(width);
    }
    const auto search = in.Take(WindowPlacement::kSize);
    if (!search.empty()) {
        layout.searchPlacement = WindowPlacement::Deserialize(search.data());
        in.ReadLEInt32(&layout.searchSplitterPosition);
    }
    return layout;
}

} // namespace mvr
