#include "server/DefinitionAnswer.h"

#include "core/formats/DayNumber.h"
#include "server/CsvText.h"
#include "server/DefinitionLine.h"
#include "server/FieldText.h"

#include <array>
#include <cstdio>
#include <limits>

namespace mvr {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

class CAnswerBuilder {
public:
    CAnswerBuilder(const CServerData& data, std::size_t maxBytes) : data_(data), max_(maxBytes) {}

    void AddLine(int lineNumber, std::string_view text) {
        const DefinitionLine line = ParseDefinitionLine(text);
        switch (line.kind) {
        case DefinitionLineKind::Skip:
            return;
        case DefinitionLineKind::Error:
            AddError(lineNumber, line.error);
            return;
        case DefinitionLineKind::Query:
            AddPrices(lineNumber, line);
            return;
        }
    }

    DefinitionAnswer Take() { return std::move(answer_); }

private:
    // A symbol first; a number no symbol has is taken as an SInCode.
    const ServerInstrument* FindInstrument(const std::string& text) const {
        if (const ServerInstrument* bySymbol = data_.InstrumentBySymbol(text)) {
            return bySymbol;
        }
        const auto sinCode = ParseInteger(text, 1, std::numeric_limits<std::int32_t>::max());
        return sinCode ? data_.InstrumentBySinCode(static_cast<std::int32_t>(*sinCode)) : nullptr;
    }

    void AddPrices(int lineNumber, const DefinitionLine& line) {
        const ServerInstrument* instrument = FindInstrument(line.instrument);
        if (instrument == nullptr) {
            AddError(lineNumber, "unknown instrument " + QuotedForMessage(line.instrument));
            return;
        }
        if (answer_.text.size() >= max_) {
            AddError(lineNumber, "the answer reached its limit of " + std::to_string(max_) +
                                     " bytes; no prices for this line");
            return;
        }
        const BarAnswer<DailyBar> bars =
            data_.DailyBars(instrument->sinCode, line.firstDay, line.lastDay);
        if (bars.status != BarStatus::Ok) {
            AddError(lineNumber,
                     "the prices of " + QuotedForMessage(instrument->symbol) + " cannot be read");
            return;
        }
        for (const DailyBar& bar : bars.bars) {
            AddBar(instrument->symbol, bars.decimals, bar);
        }
        ++answer_.queries;
        answer_.bars += static_cast<std::int64_t>(bars.bars.size());
    }

    void AddBar(const std::string& symbol, int decimals, const DailyBar& bar) {
        const DATUM date = DayNumberToDatum(bar.day);
        char day[16];
        std::snprintf(day, sizeof day, "%04u%02u%02u", static_cast<unsigned>(date.year),
                      static_cast<unsigned>(date.month), static_cast<unsigned>(date.day));
        const std::string open = FormatPrice(bar.open, decimals);
        const std::string high = FormatPrice(bar.high, decimals);
        const std::string low = FormatPrice(bar.low, decimals);
        const std::string close = FormatPrice(bar.close, decimals);
        const std::string volume = std::to_string(bar.volume);
        const std::array<std::string_view, 7> fields{symbol, day, open, high, low, close, volume};
        AppendCsvRow(answer_.text, fields);
        // The row ends in "\n"; every line of the answer ends alike.
        answer_.text.pop_back();
        answer_.text += kLineEnd;
    }

    void AddError(int lineNumber, const std::string& message) {
        answer_.text += "#ERROR line " + std::to_string(lineNumber) + ": " + message;
        answer_.text += kLineEnd;
        ++answer_.errors;
    }

    const CServerData& data_;
    std::size_t max_;
    DefinitionAnswer answer_;
};

} // namespace

DefinitionAnswer BuildDefinitionAnswer(const CServerData& data, std::string_view definition,
                                       std::size_t maxBytes) {
    CAnswerBuilder builder(data, maxBytes);
    int lineNumber = 0;
    while (!definition.empty()) {
        const std::size_t end = definition.find('\n');
        builder.AddLine(++lineNumber, definition.substr(0, end));
        definition.remove_prefix(end == std::string_view::npos ? definition.size() : end + 1);
    }
    return builder.Take();
}

} // namespace mvr
