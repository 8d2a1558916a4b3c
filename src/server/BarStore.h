#pragma once

// The bar files of a data folder, read when an instrument's bars are first
// asked for and kept in a bounded cache shared by all connection threads. A
// data set of thousands of instruments over decades is thus never read whole.
// An instrument without a bar file has no bars; a broken bar file gives its
// error on every request (it is not kept, so a repaired file is read again).

#include "server/DataError.h"
#include "server/DataFolderLayout.h"
#include "server/PriceBars.h"
#include "server/SharedLoadCache.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mvr {

// The content of one bar file: daily bars or 1-minute bars, by its kind.
struct BarSeries {
    std::vector<DailyBar> daily;
    std::vector<IntradayBar> minutes;
    std::optional<DataError> error;
};

class CBarStore {
public:
    CBarStore(std::string folder, std::size_t capacityBytes);

    // Thread-safe. `decimals` are the instrument's decimal places.
    std::shared_ptr<const BarSeries> Get(BarKind kind, std::int32_t sinCode, int decimals);

    CacheStatistics Statistics() const { return cache_.Statistics(); }

private:
    using Cache = CSharedLoadCache<std::uint64_t, BarSeries>;

    Cache::Loaded Load(BarKind kind, std::int32_t sinCode, int decimals) const;

    std::string folder_;
    Cache cache_;
};

} // namespace mvr
