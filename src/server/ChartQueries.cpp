#include "server/ChartQueries.h"

#include "core/net/IOException.h"

namespace mvr {

namespace {

constexpr int kDailyUnusedFields = 3;
constexpr int kIntradayUnusedFields = 4;

bool IsPastPayload(const CDataInputStream& in) {
    return in.Position() > in.BlockLength() + CDataStream::kHeaderSize;
}

template <typename Query, typename ReadEntry>
std::vector<Query> ReadQueries(CClientRequest& connection, ReadEntry&& readEntry,
                               const char* operation) {
    CDataInputStream& in = connection.In();
    connection.readData(); // the count travels alone in the first block
    const std::int32_t count = in.readLong();
    if (count < 0 || count > kMaxChartEntries || in.HasMore()) {
        throw CIOException(operation);
    }
    std::vector<Query> queries;
    while (queries.size() < static_cast<std::size_t>(count)) {
        if (!connection.readBlock()) {
            throw CIOException(operation);
        }
        while (in.HasMore() && queries.size() < static_cast<std::size_t>(count)) {
            queries.push_back(readEntry(in));
            if (IsPastPayload(in)) {
                throw CIOException(operation);
            }
        }
        if (in.HasMore()) {
            throw CIOException(operation);
        }
    }
    return queries;
}

void SkipFields(CDataInputStream& in, int count) {
    for (int k = 0; k < count; ++k) {
        in.readLong();
    }
}

} // namespace

std::vector<DailyBarsQuery> ReadDailyBarsQueries(CClientRequest& connection) {
    return ReadQueries<DailyBarsQuery>(
        connection,
        [](CDataInputStream& in) {
            DailyBarsQuery query;
            query.sinCode = in.readLong();
            query.firstDay = in.readLong();
            query.lastDay = in.readLong();
            SkipFields(in, kDailyUnusedFields);
            return query;
        },
        "readDailyBarsRequest");
}

std::vector<IntradayBarsQuery> ReadIntradayBarsQueries(CClientRequest& connection) {
    return ReadQueries<IntradayBarsQuery>(
        connection,
        [](CDataInputStream& in) {
            IntradayBarsQuery query;
            query.sinCode = in.readLong();
            query.daysBack = in.readLongSigned();
            query.interval = in.readLong();
            SkipFields(in, kIntradayUnusedFields);
            return query;
        },
        "readIntradayBarsRequest");
}

} // namespace mvr
