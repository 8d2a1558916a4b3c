#include "core/formats/AsciiDataFile.h"

#include "core/formats/AsciiFormat.h"
#include "core/formats/LineMemFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/RandomAccessFile.h"

#include <algorithm>

namespace mvr {

namespace {

// Ascii lines are well below this; the head and tail windows always hold
// several complete lines.
constexpr std::size_t kEdgeWindowBytes = 4096;

// The expected length of a line, for sizing the history before reading.
constexpr std::size_t kTypicalLineBytes = 30;
constexpr std::size_t kTypicalWrittenLineBytes = 50;

bool IsBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
}

// Fills the bar in place: a bar built on the stack and copied into the
// history costs a stalled load per line, as its fields are stored one by one
// and read back in wider pieces.
void SetBar(PERIODE& bar, const AsciiLineRecord& record, std::int32_t sourcePos) {
    bar.dayNumber = record.dayNumber;
    bar.secondsOfDay = record.secondsOfDay;
    bar.open = record.open;
    bar.high = record.high;
    bar.low = record.low;
    bar.close = record.close;
    bar.volume = record.volume;
    bar.sourcePos = sourcePos;
    bar.isNew = 0;
}

PERIODE BarOf(const AsciiLineRecord& record, std::int32_t sourcePos) {
    PERIODE bar;
    SetBar(bar, record, sourcePos);
    return bar;
}

// The first bar line of `text`, searched from its start. When `text` is a head
// window, its last line may be a fragment and is not taken.
std::optional<PERIODE> FirstBarIn(std::span<const std::uint8_t> text, bool endsMidLine,
                                  const AsciiFormatInfo& layout) {
    CLineMemFile lines(text);
    std::string_view line;
    AsciiLineRecord record;
    while (lines.ReadLine(line)) {
        const bool fragment = endsMidLine && lines.Position() == text.size() && text.back() != '\n';
        if (!fragment && !lines.LastLineWasCut() && layout.ParseLine(line, record)) {
            return BarOf(record, 0);
        }
    }
    return std::nullopt;
}

// The last bar line of `text`, searched from its end. When `text` is a tail
// window, its first line may be a fragment and is not taken.
std::optional<PERIODE> LastBarIn(std::span<const std::uint8_t> text, bool startsMidLine,
                                 const AsciiFormatInfo& layout) {
    std::size_t end = text.size();
    AsciiLineRecord record;
    while (end > 0) {
        std::size_t begin = end;
        // Skip this line's own line feed, then walk back to the previous one.
        if (text[begin - 1] == '\n') {
            --begin;
        }
        while (begin > 0 && text[begin - 1] != '\n') {
            --begin;
        }
        if (begin == 0 && startsMidLine) {
            break;
        }
        // The line as the line file hands it to the whole-file reader: without
        // its line end, and passed over when the line end does not fit behind
        // it, so that both readers take the same lines.
        std::size_t length = end - begin;
        if (length > 0 && text[begin + length - 1] == '\n') {
            --length;
        }
        if (length > 0 && text[begin + length - 1] == '\r') {
            --length;
        }
        const std::string_view line(reinterpret_cast<const char*>(text.data() + begin), length);
        if (line.size() < CLineMemFile::kMaxLineChars && layout.ParseLine(line, record)) {
            return BarOf(record, -1);
        }
        end = begin;
    }
    return std::nullopt;
}

} // namespace

std::optional<PriceHistory> DecodeAsciiFile(std::span<const std::uint8_t> file, int formatType,
                                            BarReading reading) {
    const AsciiFormatInfo layout = AsciiFormatInfo::ForFormatType(formatType);
    PriceHistory history;
    history.reserve(file.size() / kTypicalLineBytes);
    CLineMemFile lines(file);
    std::string_view line;
    AsciiLineRecord record;
    CCalendarDayReader days;
    bool holdsText = false;
    for (std::size_t offset = lines.Position(); lines.ReadLine(line); offset = lines.Position()) {
        // A line that reads as a bar is never blank: only the others are looked at twice.
        if (lines.LastLineWasCut() || !layout.ParseLine(line, days, record)) {
            holdsText = holdsText || !IsBlankLine(line);
            continue;
        }
        holdsText = true;
        PERIODE& bar = history.emplace_back();
        SetBar(bar, record, static_cast<std::int32_t>(offset));
        if (reading == BarReading::Corrected) {
            CorrectBar(bar);
        }
    }
    if (holdsText && history.empty()) {
        return std::nullopt;
    }
    return history;
}

std::string EncodeAsciiFile(std::span<const PERIODE> history, int formatType) {
    const AsciiFormatInfo layout = AsciiFormatInfo::ForFormatType(formatType);
    std::string text;
    text.reserve(history.size() * kTypicalWrittenLineBytes);
    AsciiLineRecord record;
    for (const PERIODE& bar : history) {
        record.dayNumber = bar.dayNumber;
        record.secondsOfDay = bar.secondsOfDay;
        record.open = bar.open;
        record.low = bar.low;
        record.high = bar.high;
        record.close = bar.close;
        record.volume = bar.volume;
        layout.FormatLine(text, record);
    }
    return text;
}

FirstAndLastResult ReadAsciiFirstAndLast(const std::string& path, int formatType,
                                         FirstAndLastBars& bars) {
    const auto size = FileSizeOf(path);
    const auto head = ReadFileRange(path, 0, kEdgeWindowBytes);
    if (!size || !head) {
        return FirstAndLastResult::Unreadable;
    }
    const AsciiFormatInfo layout = AsciiFormatInfo::ForFormatType(formatType);
    std::optional<PERIODE> first = FirstBarIn(*head, *size > head->size(), layout);
    std::optional<PERIODE> last;
    if (*size <= kEdgeWindowBytes) {
        last = LastBarIn(*head, false, layout);
    } else if (const auto tail = ReadFileRange(path, *size - kEdgeWindowBytes, kEdgeWindowBytes)) {
        last = LastBarIn(*tail, true, layout);
    }
    if (!first || !last) {
        // The bar lines lie beyond the edge windows: read the whole file once.
        const auto whole = ReadFileImage(path, kMaxAsciiPriceFileBytes);
        if (!whole) {
            return FirstAndLastResult::Unreadable;
        }
        first = FirstBarIn(*whole, false, layout);
        last = LastBarIn(*whole, false, layout);
    }
    if (!first || !last) {
        return FirstAndLastResult::NoBar;
    }
    bars.first = *first;
    bars.last = *last;
    return FirstAndLastResult::Found;
}

std::optional<StoredTail> ReadAsciiTail(const CRandomAccessFile& file, int formatType,
                                        const PERIODE& from) {
    const auto size = file.RegularFileSize();
    if (!size || *size == 0 || *size > kMaxAsciiPriceFileBytes) {
        return std::nullopt;
    }
    StoredTail tail;
    tail.length = *size;
    bool wholeFile = false;
    for (std::uint64_t window = std::min<std::uint64_t>(*size, kEdgeWindowBytes);;
         window = std::min(*size, window * 8)) {
        const auto bytes = file.ReadAt(*size - window, static_cast<std::size_t>(window));
        if (!bytes || bytes->size() != window || bytes->back() != '\n') {
            return std::nullopt;
        }
        wholeFile = window == *size;
        // A window that starts inside the file starts inside a line.
        std::span<const std::uint8_t> lines(*bytes);
        if (!wholeFile) {
            const auto lineEnd = std::find(lines.begin(), lines.end(), '\n');
            lines = lines.subspan(static_cast<std::size_t>(lineEnd - lines.begin()) + 1);
        }
        auto bars = DecodeAsciiFile(lines, formatType);
        if (bars && !bars->empty() && (wholeFile || IsEarlierBar(bars->front(), from))) {
            tail.bars = std::move(*bars);
            break;
        }
        if (wholeFile) {
            return std::nullopt;
        }
    }
    if (wholeFile) {
        tail.first = tail.bars.front();
        return tail;
    }
    const auto head = file.ReadAt(0, kEdgeWindowBytes);
    const auto first =
        head ? FirstBarIn(*head, true, AsciiFormatInfo::ForFormatType(formatType)) : std::nullopt;
    if (!first) {
        return std::nullopt;
    }
    tail.first = *first;
    return tail;
}

} // namespace mvr
