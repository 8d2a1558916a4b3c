#include "server/InstrumentRecordWriter.h"

#include "core/platform/TextUtil.h"

namespace mvr {

namespace {

void WriteText(CDataOutputStream& out, const std::string& text, std::size_t bufferSize) {
    out.writeString(Truncated(text, bufferSize - 1));
}

void WriteItem15(CDataOutputStream& out, const WATCH& record) {
    std::uint8_t raw[watch::kItem15Bytes];
    for (std::size_t i = 0; i < watch::kItem15Bytes; ++i) {
        raw[i] = static_cast<std::uint8_t>(((record.item15[2 * i] & 0x0F) << 4) |
                                           (record.item15[2 * i + 1] & 0x0F));
    }
    out.writeBlob(raw, static_cast<std::int32_t>(sizeof raw));
}

void WriteItems38to43(CDataOutputStream& out, const WATCH& record) {
    const int n = record.item43Choice;
    for (int choice = 1; choice <= watch::kItem43Choices; ++choice) {
        out.writeFloat(choice == n ? static_cast<float>(record.item43Value) : 0.0f);
    }
    out.writeFloat(static_cast<float>(record.item43Choice));
}

// Item 56 is not kept by the client; it travels as zeros.
void WriteItem56(CDataOutputStream& out) {
    for (int i = 0; i < 3; ++i) {
        out.writeLong(0);
    }
    for (int i = 0; i < 3; ++i) {
        out.writeFloat(0.0f);
    }
    for (int i = 0; i < 6; ++i) {
        out.writeLong(0);
    }
    out.writeFloat(0.0f);
}

template <std::size_t N>
void WriteFloats(CDataOutputStream& out, const std::array<float, N>& values) {
    for (const float value : values) {
        out.writeFloat(value);
    }
}

} // namespace

void WriteInstrumentRecord(CDataOutputStream& out, const WATCH& record, bool withOptionalItems) {
    out.writeLong64(record.legacyNumber);
    out.writeLongCompress(static_cast<std::uint32_t>(record.sinCode));
    out.writeShort(record.securityType);
    out.writeShort(record.exchange);
    WriteText(out, record.symbol, watch::kSymbolSize);
    WriteText(out, record.item6, watch::kItem6Size);
    WriteText(out, record.isin, watch::kIsinSize);
    WriteText(out, record.item8, watch::kItem8Size);
    WriteText(out, record.item9, watch::kItem9Size);
    out.writeByte(record.item10);
    WriteText(out, record.name, watch::kNameSize);
    WriteText(out, record.currency, watch::kCurrencySize);
    out.writeByte(static_cast<std::uint8_t>(record.item13));
    out.writeLong(record.item14);
    WriteItem15(out, record);
    for (const Tick& tick : record.ticks) {
        out.writeTick(tick);
    }
    out.writeLong(record.item19);
    WriteFloats(out, record.item20to23);
    out.writeLongCompress(record.item24);
    out.writeLongCompress(record.item25);
    out.writeDouble(record.item26);
    out.writeLong(record.item27);
    WriteFloats(out, record.item28to30);
    out.writeByte(record.item31);
    out.writeLong(record.item32);
    WriteText(out, record.item33, watch::kItem33Size);
    out.writeLong(record.item34);
    out.writeFloat(record.item35);
    out.writeShort(record.item36);
    out.writeLong(record.item37);
    WriteItems38to43(out, record);
    out.writeLongSigned(record.item44);
    WriteFloats(out, record.item45to48);
    out.writeLong(record.item49);
    out.writeByte(record.item50);
    out.writeFloat(record.item51);
    out.writeByte(record.item52);
    out.writeFloat(record.item53);
    if (withOptionalItems) {
        out.writeLongCompress(record.item54);
        out.writeDouble(record.item55);
        WriteItem56(out);
    }
}

WATCH InstrumentRecordOf(const ServerInstrument& instrument) {
    WATCH record;
    record.legacyNumber = instrument.legacyNumber;
    record.sinCode = instrument.sinCode;
    record.securityType = static_cast<std::uint16_t>(instrument.securityType);
    record.exchange = static_cast<std::uint16_t>(instrument.exchange);
    record.symbol = instrument.symbol;
    record.isin = instrument.isin;
    record.name = instrument.name;
    record.currency = instrument.currency;
    return record;
}

} // namespace mvr
