// A MetaStock data file F<n>.DAT / F<n>.MWD of 5 to 8 fields as any program
// may have left it; the first byte picks the field count and whether the
// series is intraday (a time field after the date). Every complete record
// after the header gives one bar unless a time field is damaged, and the bars
// read can be written back as a file that reads as the same bars' times.

#include "core/formats/MetaStockDataFile.h"
#include "support/RecordChecks.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using mvr::fuzz::Require;
    if (size == 0) {
        return 0;
    }
    const int fieldCount = mvr::kMinMetaStockFields + data[0] % 4;
    const mvr::MetaStockLayout layout(fieldCount, (data[0] & 4) != 0);
    const std::span<const std::uint8_t> file(data + 1, size - 1);
    const auto bars = mvr::DecodeMetaStockFile(file, layout);
    if (!bars) {
        return 0;
    }
    const std::size_t records = file.size() / mvr::MetaStockRecordLength(fieldCount);
    Require(bars->size() == (records == 0 ? 0 : records - 1));
    for (std::size_t i = 0; i < bars->size(); ++i) {
        const mvr::PERIODE& bar = (*bars)[i];
        Require(bar.sourcePos == static_cast<std::int32_t>(i));
        Require(bar.low <= bar.high || bar.low != bar.low || bar.high != bar.high);
        Require(bar.secondsOfDay >= 0 && bar.secondsOfDay < 24 * 3600);
    }
    if (const auto image = mvr::EncodeMetaStockFile(*bars, layout)) {
        const auto again = mvr::DecodeMetaStockFile(*image, layout);
        Require(again && again->size() == bars->size());
        for (std::size_t i = 0; i < bars->size(); ++i) {
            Require((*again)[i].secondsOfDay == (*bars)[i].secondsOfDay);
        }
    }
    return 0;
}
