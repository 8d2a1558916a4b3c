#include "server/BarStore.h"

#include "core/platform/FileSystem.h"
#include "server/BarFiles.h"

namespace mvr {

namespace {

std::uint64_t CacheKey(BarKind kind, std::int32_t sinCode) {
    return (static_cast<std::uint64_t>(kind == BarKind::Intraday) << 32) |
           static_cast<std::uint32_t>(sinCode);
}

} // namespace

CBarStore::CBarStore(std::string folder, std::size_t capacityBytes)
    : folder_(std::move(folder)), cache_(capacityBytes) {}

std::shared_ptr<const BarSeries> CBarStore::Get(BarKind kind, std::int32_t sinCode, int decimals) {
    return cache_.Get(CacheKey(kind, sinCode), [&] { return Load(kind, sinCode, decimals); });
}

CBarStore::Cache::Loaded CBarStore::Load(BarKind kind, std::int32_t sinCode, int decimals) const {
    auto series = std::make_shared<BarSeries>();
    const std::string name = BarFileName(kind, sinCode);
    const std::string path = DataFilePath(folder_, name);
    if (!EntryExists(path)) {
        return {series, sizeof(BarSeries), true};
    }
    const auto bytes = ReadWholeFile(path, kMaxDataFileBytes);
    if (!bytes) {
        series->error = DataError{name, 0,
                                  "the file cannot be read or is larger than " +
                                      std::to_string(kMaxDataFileBytes >> 20) + " MB"};
        return {series, 0, false};
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    series->error = kind == BarKind::Daily
                        ? ParseDailyBars(text, decimals, name, &series->daily)
                        : ParseIntradayBars(text, decimals, name, &series->minutes);
    if (series->error) {
        series->daily.clear();
        series->minutes.clear();
        return {series, 0, false};
    }
    series->daily.shrink_to_fit();
    series->minutes.shrink_to_fit();
    const std::size_t bytesKept = sizeof(BarSeries) + series->daily.size() * sizeof(DailyBar) +
                                  series->minutes.size() * sizeof(IntradayBar);
    return {series, bytesKept, true};
}

} // namespace mvr
