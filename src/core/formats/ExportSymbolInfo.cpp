#include "core/formats/ExportSymbolInfo.h"

#include "core/formats/MetaStockIndex.h"
#include "core/platform/Bytes.h"

#include <cstring>
#include <string_view>

namespace mvr {

namespace {

// Field offsets and widths of the 728-byte record.
constexpr std::size_t kSymbolOffset = 0;
constexpr std::size_t kSymbolSize = 12;
constexpr std::size_t kSinCodeOffset = 12;
constexpr std::size_t kNameOffset = 16;
constexpr std::size_t kNameSize = 260;
constexpr std::size_t kReserved276Offset = 276;
constexpr std::size_t kFirstDateOffset = 280;
constexpr std::size_t kLastDateOffset = 288;
constexpr std::size_t kPeriodOffset = 296;
constexpr std::size_t kIntervalOffset = 300;
constexpr std::size_t kReserved302Offset = 302;
constexpr std::size_t kFieldCountOffset = 304;
constexpr std::size_t kFileNumberOffset = 308;
constexpr std::size_t kHasEmasterOffset = 312;
constexpr std::size_t kInXmasterOffset = 316;
constexpr std::size_t kMasterPosOffset = 320;
constexpr std::size_t kXmasterPosOffset = 324;
constexpr std::size_t kMasterRecordOffset = 328;
constexpr std::size_t kEmasterRecordOffset = 381;
constexpr std::size_t kXmasterRecordOffset = 573;
constexpr std::size_t kReserved723Offset = 723;
constexpr std::size_t kImportedValueOffset = 724;
static_assert(kSymbolOffset + kSymbolSize == kSinCodeOffset);
static_assert(kNameOffset + kNameSize == kReserved276Offset);
static_assert(kMasterRecordOffset + kMasterRecordSize == kEmasterRecordOffset);
static_assert(kEmasterRecordOffset + kEmasterRecordSize == kXmasterRecordOffset);
static_assert(kXmasterRecordOffset + kXmasterRecordSize == kReserved723Offset);
static_assert(kImportedValueOffset + 4 == ExportSymbolInfo::kSize);

template <std::size_t N>
void CopyOut(std::uint8_t* p, const std::array<std::uint8_t, N>& raw) {
    std::memcpy(p, raw.data(), N);
}

template <std::size_t N>
void CopyIn(std::array<std::uint8_t, N>& raw, const std::uint8_t* p) {
    std::memcpy(raw.data(), p, N);
}

} // namespace

void ExportSymbolInfo::Serialize(std::span<std::uint8_t, kSize> out) const {
    std::uint8_t* p = out.data();
    StoreFixedText(p + kSymbolOffset, kSymbolSize, symbol);
    StoreLEInt32(p + kSinCodeOffset, sinCode);
    StoreFixedText(p + kNameOffset, kNameSize, name);
    StoreLE32(p + kReserved276Offset, reserved276);
    StoreLEDouble(p + kFirstDateOffset, firstDate);
    StoreLEDouble(p + kLastDateOffset, lastDate);
    StoreLEInt32(p + kPeriodOffset, period);
    StoreLE16(p + kIntervalOffset, interval);
    StoreLE16(p + kReserved302Offset, reserved302);
    StoreLEInt32(p + kFieldCountOffset, fieldCount);
    StoreLEInt32(p + kFileNumberOffset, fileNumber);
    StoreLEInt32(p + kHasEmasterOffset, hasEmaster);
    StoreLEInt32(p + kInXmasterOffset, inXmaster);
    StoreLEInt32(p + kMasterPosOffset, masterPos);
    StoreLEInt32(p + kXmasterPosOffset, xmasterPos);
    CopyOut(p + kMasterRecordOffset, masterRecord);
    CopyOut(p + kEmasterRecordOffset, emasterRecord);
    CopyOut(p + kXmasterRecordOffset, xmasterRecord);
    p[kReserved723Offset] = reserved723;
    StoreLE32(p + kImportedValueOffset, importedValue);
}

ExportSymbolInfo ExportSymbolInfo::Deserialize(std::span<const std::uint8_t, kSize> in) {
    const std::uint8_t* p = in.data();
    ExportSymbolInfo info;
    info.symbol = LoadFixedText(p + kSymbolOffset, kSymbolSize);
    info.sinCode = LoadLEInt32(p + kSinCodeOffset);
    info.name = LoadFixedText(p + kNameOffset, kNameSize);
    info.reserved276 = LoadLE32(p + kReserved276Offset);
    info.firstDate = LoadLEDouble(p + kFirstDateOffset);
    info.lastDate = LoadLEDouble(p + kLastDateOffset);
    info.period = LoadLEInt32(p + kPeriodOffset);
    info.interval = LoadLE16(p + kIntervalOffset);
    info.reserved302 = LoadLE16(p + kReserved302Offset);
    info.fieldCount = LoadLEInt32(p + kFieldCountOffset);
    info.fileNumber = LoadLEInt32(p + kFileNumberOffset);
    info.hasEmaster = LoadLEInt32(p + kHasEmasterOffset);
    info.inXmaster = LoadLEInt32(p + kInXmasterOffset);
    info.masterPos = LoadLEInt32(p + kMasterPosOffset);
    info.xmasterPos = LoadLEInt32(p + kXmasterPosOffset);
    CopyIn(info.masterRecord, p + kMasterRecordOffset);
    CopyIn(info.emasterRecord, p + kEmasterRecordOffset);
    CopyIn(info.xmasterRecord, p + kXmasterRecordOffset);
    info.reserved723 = p[kReserved723Offset];
    info.importedValue = LoadLE32(p + kImportedValueOffset);
    return info;
}

std::string FullSymbolText(const ExportSymbolInfo& symbol) {
    std::string full = LongSymbolOfRecords(symbol);
    if (full.size() <= ExportSymbolInfo::kMaxSymbolChars) {
        return symbol.symbol;
    }
    // A record left from an earlier symbol (the symbol changed since it was
    // read) lends no text: `symbol` must be the cut of the long one.
    auto withoutBlanks = [](std::string_view text) {
        while (!text.empty() && text.back() == ' ') {
            text.remove_suffix(1);
        }
        return text;
    };
    const std::string_view cut =
        std::string_view(full).substr(0, ExportSymbolInfo::kMaxSymbolChars);
    return withoutBlanks(cut) == withoutBlanks(symbol.symbol) ? full : symbol.symbol;
}

SymbolPeriod PeriodOfLetter(std::uint8_t letter) {
    switch (letter) {
    case 'I':
        return kPeriodIntraday;
    case 'M':
        return kPeriodMonthly;
    case 'W':
        return kPeriodWeekly;
    default:
        return kPeriodDaily;
    }
}

} // namespace mvr
