#include "IndependentMetaStockReader.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace mvr::test {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Microsoft Binary Format: byte 3 the exponent biased by 128 with the binary
// point before the mantissa, bit 7 of byte 2 the sign, the leading 1 implied.
double Mbf(const unsigned char* b) {
    if (b[3] == 0) {
        return 0.0;
    }
    const std::uint32_t mantissa = (static_cast<std::uint32_t>((b[2] & 0x7F) | 0x80) << 16) |
                                   (static_cast<std::uint32_t>(b[1]) << 8) | b[0];
    const double value = std::ldexp(static_cast<double>(mantissa), b[3] - 128 - 24);
    return (b[2] & 0x80) != 0 ? -value : value;
}

std::string Trimmed(const unsigned char* p, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(p), size);
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

// YYYMMDD as stored, printed as YYYYMMDD.
std::string DateOf(const unsigned char* field) {
    const auto packed = static_cast<long>(std::lround(Mbf(field)));
    return packed == 0 ? "" : std::to_string(packed + 19000000);
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", value);
    return text;
}

std::string BarLines(const std::string& folder, int fileNumber, int fields, bool intraday,
                     const std::string& symbol) {
    const Bytes data = ReadFile(folder + "F" + std::to_string(fileNumber) + ".DAT");
    const std::size_t length = 4 * static_cast<std::size_t>(fields);
    const bool hasOpen = fields - (intraday ? 1 : 0) > 5;
    std::string lines;
    for (std::size_t at = length; at + length <= data.size(); at += length) {
        const unsigned char* field = data.data() + at;
        lines += symbol + "," + DateOf(field);
        field += 4;
        if (intraday) {
            char time[8];
            std::snprintf(time, sizeof time, "%06ld", std::lround(Mbf(field)));
            lines += std::string(",") + time;
            field += 4;
        }
        lines += "," + (hasOpen ? Number(Mbf(field)) : std::string());
        field += hasOpen ? 4 : 0;
        for (int price = 0; price < 4; ++price, field += 4) {
            lines += "," + Number(Mbf(field));
        }
        lines += "\n";
    }
    return lines;
}

} // namespace

std::string IndependentMetaStockListing(const std::string& folder) {
    constexpr std::size_t kRecord = 53;
    const Bytes master = ReadFile(folder + "MASTER");
    std::string symbols;
    std::string bars;
    for (std::size_t at = kRecord; at + kRecord <= master.size(); at += kRecord) {
        const unsigned char* r = master.data() + at;
        const int fileNumber = r[0];
        const int fields = r[4];
        const bool intraday = r[33] == 'I';
        const std::string symbol = Trimmed(r + 36, 14);
        symbols += "#SYMBOL," + symbol + "," + Trimmed(r + 7, 16) + "," +
                   std::to_string(fileNumber) + "," + std::to_string(fields) + "," +
                   DateOf(r + 25) + "," + DateOf(r + 29) + "\n";
        bars += BarLines(folder, fileNumber, fields, intraday, symbol);
    }
    return symbols + bars;
}

} // namespace mvr::test
