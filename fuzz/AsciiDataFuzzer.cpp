// ASCII price files of every type the system reads (the Hermes ".asc"
// files of a predecessor folder included), as any program may have left
// them; the first byte picks the type. The file is read line by line as the
// line file hands the lines out; every bar comes from the start of a line,
// and the first and last bars read from the file's edges are the first and
// last bars of the whole file.

#include "support/RecordChecks.h"
#include "support/TempFolder.h"

#include "core/formats/AsciiDataFile.h"
#include "core/formats/FormatCatalogue.h"
#include "core/formats/LineMemFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using mvr::fuzz::Require;

const std::vector<int>& ReadableAsciiTypes() {
    static const std::vector<int> types = [] {
        std::vector<int> found;
        for (int type = 0; type <= mvr::kLastFormatType; ++type) {
            const mvr::FormatTypeInfo* info = mvr::FindFormatType(type);
            if (info != nullptr && info->reads == mvr::DataFileCodec::Ascii) {
                found.push_back(type);
            }
        }
        return found;
    }();
    return types;
}

void CheckLines(std::span<const std::uint8_t> file) {
    mvr::CLineMemFile lines(file);
    std::string_view line;
    std::size_t position = lines.Position();
    while (lines.ReadLine(line)) {
        Require(lines.Position() > position && lines.Position() <= file.size());
        Require(line.size() < mvr::CLineMemFile::kMaxLineChars);
        Require(line.find('\n') == std::string_view::npos);
        // A line is a view into the file at the position it was read from.
        Require(line.empty() ||
                reinterpret_cast<const std::uint8_t*>(line.data()) == file.data() + position);
        position = lines.Position();
    }
    Require(position == file.size());
}

void CheckEdges(std::span<const std::uint8_t> file, int type, const mvr::PriceHistory* bars) {
    const std::string path = (std::filesystem::path(mvr::fuzz::ProcessTempFolder()) / "F.ASC").string();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        Require(static_cast<bool>(out));
    }
    mvr::FirstAndLastBars edges;
    const mvr::FirstAndLastResult result = mvr::ReadAsciiFirstAndLast(path, type, edges);
    Require(result != mvr::FirstAndLastResult::Unreadable);
    const bool anyBar = bars != nullptr && !bars->empty();
    Require((result == mvr::FirstAndLastResult::Found) == anyBar);
    if (anyBar) {
        Require(edges.first.dayNumber == bars->front().dayNumber &&
                edges.first.secondsOfDay == bars->front().secondsOfDay);
        Require(edges.last.dayNumber == bars->back().dayNumber &&
                edges.last.secondsOfDay == bars->back().secondsOfDay);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::vector<int>& types = ReadableAsciiTypes();
    const int type = types[(data[0] & 0x7f) % types.size()];
    const std::span<const std::uint8_t> file(data + 1, size - 1);
    CheckLines(file);
    const auto bars = mvr::DecodeAsciiFile(file, type);
    if (bars) {
        for (const mvr::PERIODE& bar : *bars) {
            Require(bar.sourcePos >= 0 && static_cast<std::size_t>(bar.sourcePos) < file.size());
            Require(bar.sourcePos == 0 || file[static_cast<std::size_t>(bar.sourcePos) - 1] == '\n');
        }
    }
    // The edge reader works on a file: only when asked, to keep runs fast.
    if ((data[0] & 0x80) != 0) {
        CheckEdges(file, type, bars ? &*bars : nullptr);
    }
    return 0;
}
