#include "server/ChartAnswers.h"

#include "core/net/PriceDelta.h"
#include "server/PriceBlockWriter.h"

#include <algorithm>

namespace mvr {

namespace {

// 1.1.0000 to 31.12.9999: no request reaches further back.
constexpr std::int32_t kMaxDaysBack = 3652425;

bool IsEntitled(const ChartAnswerContext& context) {
    return context.data.AccountByCheckNumber(context.checkNumber) != nullptr;
}

template <class Bar>
DeltaBar WireBar(std::int32_t date, const Bar& bar, int decimals) {
    // Wire order of the prices: close, open, low, high.
    return DeltaBar{date,
                    PriceOfUnits(bar.close, decimals),
                    PriceOfUnits(bar.open, decimals),
                    PriceOfUnits(bar.low, decimals),
                    PriceOfUnits(bar.high, decimals),
                    bar.volume};
}

template <class Bar>
std::span<const Bar> BarsOf(const BarAnswer<Bar>& answer) {
    // An unknown instrument or a broken bar file has no bars to send.
    return answer.status == BarStatus::Ok ? std::span<const Bar>(answer.bars)
                                          : std::span<const Bar>();
}

} // namespace

ServedDays IntradayDaysServed(std::int32_t daysBack, std::int32_t today) {
    const std::int64_t days = std::clamp<std::int64_t>(-std::int64_t{daysBack}, 0, kMaxDaysBack);
    ServedDays served;
    served.firstDay = static_cast<std::int32_t>(std::max<std::int64_t>(1, today - days - 1));
    served.lastDay = today;
    return served;
}

void SendChartAnswerStart(CClientRequest& connection, std::int32_t entries) {
    connection.Out().writeLong(entries);
    connection.writeData();
}

void SendChartAnswerEnd(CClientRequest& connection) {
    connection.writeEndOfSection(0);
}

void SendDailyBarsEntry(CClientRequest& connection, const DailyBarsQuery& query, int decimals,
                        std::span<const DailyBar> bars) {
    CDataOutputStream& out = connection.Out();
    const auto count = static_cast<std::int32_t>(bars.size());
    out.writeLong(query.sinCode);
    out.writeLong(query.firstDay);
    out.writeLong(query.lastDay);
    out.writeLong(count);
    out.writeLong(bars.empty() ? 0 : 1);
    connection.writeData();
    if (bars.empty()) {
        return;
    }
    out.writeLong(decimals);
    out.writeLong(count);
    connection.writeData();
    CPriceBlockWriter writer(connection);
    for (const DailyBar& bar : bars) {
        writer.Write(WireBar(bar.day, bar, decimals), decimals);
    }
    writer.Finish();
}

void SendIntradayBarsEntry(CClientRequest& connection, std::int32_t key, int decimals,
                           std::span<const IntradayBar> bars) {
    CDataOutputStream& out = connection.Out();
    out.writeLong(key);
    out.writeLong(static_cast<std::int32_t>(bars.size()));
    out.writeLong(bars.empty() ? 0 : 1);
    connection.writeData();
    if (bars.empty()) {
        return;
    }
    CPriceBlockWriter writer(connection);
    for (const IntradayBar& bar : bars) {
        writer.WriteOfDay(bar.day, WireBar(bar.secondsOfDay, bar, decimals), decimals);
    }
    writer.Finish();
}

void AnswerDailyBars(CClientRequest& connection, const ChartAnswerContext& context) {
    const std::vector<DailyBarsQuery> queries = ReadDailyBarsQueries(connection);
    if (!IsEntitled(context)) {
        SendChartAnswerStart(connection, 0);
        SendChartAnswerEnd(connection);
        return;
    }
    SendChartAnswerStart(connection, static_cast<std::int32_t>(queries.size()));
    for (const DailyBarsQuery& query : queries) {
        const BarAnswer<DailyBar> answer =
            context.data.DailyBars(query.sinCode, query.firstDay, query.lastDay);
        SendDailyBarsEntry(connection, query, answer.decimals, BarsOf(answer));
    }
    SendChartAnswerEnd(connection);
}

void AnswerIntradayBars(CClientRequest& connection, const ChartAnswerContext& context) {
    const std::vector<IntradayBarsQuery> queries = ReadIntradayBarsQueries(connection);
    if (!IsEntitled(context)) {
        SendChartAnswerStart(connection, 0);
        SendChartAnswerEnd(connection);
        return;
    }
    SendChartAnswerStart(connection, static_cast<std::int32_t>(queries.size()));
    std::int32_t key = 0;
    for (const IntradayBarsQuery& query : queries) {
        const ServedDays days = IntradayDaysServed(query.daysBack, context.today);
        const BarAnswer<IntradayBar> answer =
            context.data.IntradayBars(query.sinCode, days.firstDay, days.lastDay, query.interval);
        SendIntradayBarsEntry(connection, key++, answer.decimals, BarsOf(answer));
    }
    SendChartAnswerEnd(connection);
}

} // namespace mvr
