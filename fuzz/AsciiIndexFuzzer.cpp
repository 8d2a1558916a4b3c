// "mvrexp.mas", the index of an ASCII-family directory, as any program may
// have left it. A header that decodes gives as many symbols as it counts and
// the file holds, and the symbols read are written back byte for byte as
// they were read.

#include "support/RecordChecks.h"

#include "core/formats/AsciiIndex.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using mvr::fuzz::Require;
    const std::span<const std::uint8_t> file(data, size);
    const auto header = mvr::DecodeAsciiIndexHeader(file);
    if (!header) {
        return 0;
    }
    Require(header->count >= 0);
    const auto symbols = mvr::DecodeAsciiIndexRecords(file, *header);
    const std::size_t present = (size - mvr::kAsciiIndexHeaderSize) / mvr::ExportSymbolInfo::kSize;
    Require(symbols.size() == std::min(present, static_cast<std::size_t>(header->count)));
    // Doubles are compared as bytes: a NaN date must survive too.
    const mvr::ByteBuffer written =
        mvr::EncodeAsciiIndex(header->formatType, header->startDate, symbols);
    const auto again = mvr::DecodeAsciiIndexHeader(written);
    Require(again.has_value());
    Require(mvr::EncodeAsciiIndex(again->formatType, again->startDate,
                                  mvr::DecodeAsciiIndexRecords(written, *again)) == written);
    return 0;
}
