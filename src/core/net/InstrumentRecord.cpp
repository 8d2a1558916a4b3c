#include "core/net/InstrumentRecord.h"

#include <cmath>
#include <limits>

namespace mvr {

namespace {

constexpr double kMillion = 1000000.0;

// Item 56: a group that newer servers append; read to stay in step, not kept.
void SkipItem56(CDataInputStream& in) {
    for (int i = 0; i < 3; ++i) {
        in.readLong();
    }
    for (int i = 0; i < 3; ++i) {
        in.readFloat();
    }
    for (int i = 0; i < 6; ++i) {
        in.readLong();
    }
    in.readFloat();
}

void ReadItem15(WATCH& record, CDataInputStream& in) {
    std::array<std::uint8_t, watch::kItem15Bytes> raw{};
    in.readBlob(raw.data(), static_cast<std::int32_t>(raw.size()));
    for (std::size_t i = 0; i < raw.size(); ++i) {
        record.item15[2 * i] = static_cast<std::uint8_t>(raw[i] >> 4);
        record.item15[2 * i + 1] = static_cast<std::uint8_t>(raw[i] & 0x0F);
    }
}

void ReadItems38to43(WATCH& record, CDataInputStream& in) {
    std::array<float, watch::kItem43Choices> choices{};
    for (float& value : choices) {
        value = in.readFloat();
    }
    record.item43Choice = TruncateTo16Bits(in.readFloat());
    const int n = record.item43Choice;
    record.item43Value =
        n >= 1 && n <= watch::kItem43Choices ? TruncateTo16Bits(choices[n - 1]) : std::int16_t{-1};
}

void ReadOptionalItems(WATCH& record, CDataInputStream& in) {
    if (!in.HasMore()) {
        return;
    }
    record.item54 = in.readLongCompress();
    if (!in.HasMore()) {
        return;
    }
    record.item55 = in.readDouble();
    record.item55Millionths = record.item55 / kMillion;
    if (!in.HasMore()) {
        return;
    }
    SkipItem56(in);
}

} // namespace

std::int16_t TruncateTo16Bits(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    constexpr float kLow = static_cast<float>(std::numeric_limits<std::int32_t>::min());
    // The largest float below 2^31.
    constexpr float kHigh = 2147483520.0f;
    const float clamped = value < kLow ? kLow : (value > kHigh ? kHigh : value);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(
        static_cast<std::uint32_t>(static_cast<std::int32_t>(clamped)) & 0xFFFFu));
}

bool ReadInstrumentRecord(WATCH& record, CDataInputStream& in) {
    if (!in.HasMore()) {
        return false;
    }
    record = WATCH{};
    record.legacyNumber = static_cast<std::int32_t>(static_cast<std::uint64_t>(in.readLong64()));
    record.sinCode = static_cast<std::int32_t>(in.readLongCompress());
    record.securityType = in.readShort();
    record.exchange = in.readShort();
    record.symbol = in.readString(watch::kSymbolSize);
    record.item6 = in.readString(watch::kItem6Size);
    record.isin = in.readString(watch::kIsinSize);
    record.item8 = in.readString(watch::kItem8Size);
    record.item9 = in.readString(watch::kItem9Size);
    record.item10 = in.readByte();
    record.name = in.readString(watch::kNameSize);
    record.currency = in.readString(watch::kCurrencySize);
    record.item13 = in.readByte();
    record.item14 = in.readLong();
    ReadItem15(record, in);
    for (Tick& tick : record.ticks) {
        tick = in.readTick();
    }
    record.item19 = in.readLong();
    for (float& value : record.item20to23) {
        value = in.readFloat();
    }
    record.item24 = in.readLongCompress();
    record.item25 = in.readLongCompress();
    record.item26 = in.readDouble();
    record.item27 = in.readLong();
    for (float& value : record.item28to30) {
        value = in.readFloat();
    }
    record.item31 = in.readByte();
    record.item32 = in.readLong();
    record.item33 = in.readString(watch::kItem33Size);
    record.item34 = in.readLong();
    record.item35 = in.readFloat();
    record.item36 = in.readShort();
    record.item37 = in.readLong();
    ReadItems38to43(record, in);
    record.item44 = in.readLongSigned();
    for (float& value : record.item45to48) {
        value = in.readFloat();
    }
    record.item49 = in.readLong();
    record.item50 = in.readByte();
    record.item51 = in.readFloat();
    record.item52 = in.readByte();
    record.item53 = in.readFloat();
    ReadOptionalItems(record, in);
    return true;
}

} // namespace mvr
