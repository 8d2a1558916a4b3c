#include "core/app/RunReport.h"

#include "core/app/HelpCommands.h"
#include "core/formats/DayNumber.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/JsonWriter.h"
#include "core/platform/LocalTime.h"

#include <cstdio>

namespace mvr {

namespace {

void TextOrNull(CJsonWriter& json, const std::string& text) {
    if (text.empty()) {
        json.Null();
    } else {
        json.String(text);
    }
}

// "2025-12-10"; null while the history holds no bar (the first date of an
// index entry may then hold the start date that was asked for).
void DateOrNull(CJsonWriter& json, double oleDate, bool hasBars) {
    const DATUM date = DayNumberToDatum(OleDateToDayNumber(oleDate));
    if (!hasBars || date.year == 0) {
        json.Null();
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", static_cast<unsigned>(date.year),
                  static_cast<unsigned>(date.month), static_cast<unsigned>(date.day));
    json.String(text);
}

void WriteFigures(CJsonWriter& json, const UpdateSummary& summary) {
    json.BeginObject();
    json.Key("directories").Integer(summary.directories);
    json.Key("symbolsRequested").Integer(summary.symbolsRequested);
    json.Key("symbolsWritten").Integer(summary.symbolsWritten);
    json.Key("barsAdded").Integer(summary.barsAdded);
    json.Key("barsChanged").Integer(summary.barsChanged);
    json.Key("symbolsWithoutAnswer").Integer(summary.symbolsWithoutAnswer);
    json.Key("indexesNotSaved").Integer(summary.indexesNotSaved);
    json.Key("symbolsNotAdded").Integer(static_cast<std::int64_t>(summary.refusedSymbols.size()));
    json.Key("stopped").Boolean(summary.stopped);
    json.Key("milliseconds").Integer(summary.elapsed.count());
    json.EndObject();
}

void WriteSymbol(CJsonWriter& json, const SymbolOutcome& symbol) {
    json.BeginObject();
    json.Key("symbol").String(symbol.symbol);
    json.Key("name").String(symbol.name);
    json.Key("barsAdded").Integer(symbol.barsAdded);
    json.Key("barsChanged").Integer(symbol.barsChanged);
    const bool hasBars = symbol.lastDate != 0.0;
    DateOrNull(json.Key("firstDate"), symbol.firstDate, hasBars);
    DateOrNull(json.Key("lastDate"), symbol.lastDate, hasBars);
    TextOrNull(json.Key("error"), symbol.error);
    json.EndObject();
}

void WriteDirectory(CJsonWriter& json, const DirectoryOutcome& directory) {
    json.BeginObject();
    json.Key("path").String(directory.path);
    json.Key("formatType").Integer(directory.formatType);
    json.Key("formatName").String(FormatDisplayName(directory.formatType));
    TextOrNull(json.Key("error"), directory.error);
    json.Key("symbols").BeginArray();
    for (const SymbolOutcome& symbol : directory.symbols) {
        WriteSymbol(json, symbol);
    }
    json.EndArray();
    json.EndObject();
}

} // namespace

std::string RunReportJson(const RunReport& report) {
    CJsonWriter json;
    json.BeginObject();
    json.Key("version").String(VersionText());
    json.Key("started").String(LocalIso8601Time(report.started));
    json.Key("ended").String(LocalIso8601Time(report.ended));
    json.Key("switch").String(report.runSwitch);
    TextOrNull(json.Key("argument"), report.argument);
    json.Key("exitCode").Integer(report.end.status);
    TextOrNull(json.Key("error"), report.end.reason);
    if (report.summary) {
        WriteFigures(json.Key("summary"), *report.summary);
    } else {
        json.Key("summary").Null();
    }
    json.Key("directories").BeginArray();
    if (report.summary) {
        for (const DirectoryOutcome& directory : report.summary->directoryOutcomes) {
            WriteDirectory(json, directory);
        }
    }
    json.EndArray();
    json.EndObject();
    return json.Text();
}

bool WriteRunReport(const std::string& path, const RunReport& report, std::string& error) {
    const std::string text = RunReportJson(report);
    ClearLastAtomicWriteError();
    if (WriteFileAtomically(
            path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
        return true;
    }
    const std::error_code reason = LastAtomicWriteError();
    error = "cannot write the report " + path + " (" +
            (reason ? reason.message() : std::string("write error")) + ")";
    return false;
}

} // namespace mvr
