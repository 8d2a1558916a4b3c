#pragma once

// The server's answers to the price history requests 4 (daily bars) and 7
// (intraday bars). Each handler reads the request body from the connection
// (after the header and the go-ahead), asks the data model and writes the
// whole answer to the connection; a malformed body raises CIOException
// before anything is answered. Only a valid account's check number gets
// prices; any other gets an answer without entries.
//
// Request 4 answer: a block with the number of entries answered, then per
// entry in request order a header block of five longs (SInCode, first day,
// last day, number of bars, bars follow), and when bars follow a block of
// two longs (decimal places, number of bars) and the bars in price blocks
// (close, open, low, high, volume) ended by a 24-bit zero length. An empty
// block ends the answer.
//
// Request 7 answer: the same first block, then per entry a header block of
// three longs (key = position of the entry in the request, so that
// neighbouring entries of one instrument stay apart; number of bars; bars
// follow),
// and when bars follow price blocks that each begin with their day number,
// the bars' dates being their times of day. An empty block ends the answer.

#include "core/net/ClientRequest.h"
#include "server/ChartQueries.h"
#include "server/PriceBars.h"
#include "server/ServerData.h"

#include <cstdint>
#include <span>

namespace mvr {

struct ChartAnswerContext {
    const CServerData& data;
    std::int32_t checkNumber = 0; // the header parameter: an account check's result
    std::int32_t today = 0;       // request 7 counts its days back from this day
};

void AnswerDailyBars(CClientRequest& connection, const ChartAnswerContext& context);
void AnswerIntradayBars(CClientRequest& connection, const ChartAnswerContext& context);

// The days request 7 asks for with `daysBack`: back from `today`, with one
// day of margin, because the client counts the days from its own end day,
// which for a normal update is the day before today. The client keeps only
// the days it wants.
struct ServedDays {
    std::int32_t firstDay = 0;
    std::int32_t lastDay = 0;
};
ServedDays IntradayDaysServed(std::int32_t daysBack, std::int32_t today);

// The parts of both answers, for senders with bars from elsewhere.
void SendChartAnswerStart(CClientRequest& connection, std::int32_t entries);
void SendDailyBarsEntry(CClientRequest& connection, const DailyBarsQuery& query, int decimals,
                        std::span<const DailyBar> bars);
void SendIntradayBarsEntry(CClientRequest& connection, std::int32_t key, int decimals,
                           std::span<const IntradayBar> bars);
void SendChartAnswerEnd(CClientRequest& connection);

} // namespace mvr
