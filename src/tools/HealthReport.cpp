#include "HealthReport.h"

#include "core/platform/TextEncoding.h"
#include "DisplayText.h"

#include <algorithm>

namespace mvr {

namespace {

constexpr const char* kHeader = "symbol,row,date,time,kind,split,factor,detail\n";

void AppendFinding(std::string& out, const std::string& symbol, const HealthFinding& finding,
                   bool intraday) {
    out += symbol;
    out += ',' + std::to_string(finding.row) + ',';
    AppendDateDigits(out, finding.dayNumber);
    out += ',';
    if (intraday) {
        AppendTimeDigits(out, finding.secondsOfDay);
    }
    out += ',';
    out += HealthFindingWord(finding.kind);
    out += ',';
    if (finding.kind == HealthFindingKind::Jump) {
        out += finding.split.Text() + ',';
        AppendNumber(out, finding.split.SplitFactor());
    } else {
        out += ',';
    }
    out += ',' + CsvField(finding.description) + '\n';
}

void AppendUnreadable(std::string& out, const std::string& symbol, const SymbolHealth& health) {
    out += symbol + ",,,,unreadable,,," + CsvField(LocalTextToUtf8(health.problem)) + '\n';
}

} // namespace

std::string HealthCsv(std::span<const ExportSymbolInfo> symbols,
                      std::span<const SymbolHealth> results) {
    std::string out = kHeader;
    for (std::size_t i = 0; i < results.size() && i < symbols.size(); ++i) {
        const std::string symbol = CsvField(LocalTextToUtf8(FullSymbolText(symbols[i])));
        if (results[i].state == SymbolHealthState::Unreadable) {
            AppendUnreadable(out, symbol, results[i]);
        }
        for (const HealthFinding& finding : results[i].findings) {
            AppendFinding(out, symbol, finding, results[i].intraday);
        }
    }
    return out;
}

int HealthExitStatus(std::span<const SymbolHealth> results) {
    const auto any = [results](SymbolHealthState state) {
        return std::any_of(results.begin(), results.end(),
                           [state](const SymbolHealth& health) { return health.state == state; });
    };
    if (any(SymbolHealthState::Unreadable)) {
        return kCheckError;
    }
    return any(SymbolHealthState::Findings) ? kCheckFindings : kCheckClean;
}

} // namespace mvr
