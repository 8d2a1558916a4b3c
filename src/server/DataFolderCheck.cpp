#include "server/DataFolderCheck.h"

#include "core/platform/FileSystem.h"
#include "server/BarFiles.h"
#include "server/DataFolderLayout.h"
#include "server/DataFolderReader.h"
#include "server/FieldText.h"

#include <algorithm>
#include <unordered_set>

namespace mvr {

namespace {

template <class Bar>
void Count(const std::vector<Bar>& bars, BarFileCounts* counts) {
    ++counts->files;
    counts->bars += bars.size();
    if (bars.empty()) {
        return;
    }
    if (counts->firstDay == 0 || bars.front().day < counts->firstDay) {
        counts->firstDay = bars.front().day;
    }
    counts->lastDay = std::max(counts->lastDay, bars.back().day);
}

// Reads one bar file when it exists; false with the report's error when it is broken.
template <class Bar, class Parse>
bool CheckBarFile(const std::string& folder, BarKind kind, const ServerInstrument& instrument,
                  Parse parse, DataFolderReport* report, BarFileCounts* counts) {
    const std::string name = BarFileName(kind, instrument.sinCode);
    const std::string path = DataFilePath(folder, name);
    if (!EntryExists(path)) {
        return true;
    }
    const auto bytes = ReadWholeFile(path, kMaxDataFileBytes);
    if (!bytes) {
        report->error = DataError{name, 0,
                                  "the file cannot be read or is larger than " +
                                      std::to_string(kMaxDataFileBytes >> 20) + " MB"};
        return false;
    }
    std::vector<Bar> bars;
    report->error =
        parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
              instrument.decimals, name, &bars);
    if (report->error) {
        return false;
    }
    Count(bars, counts);
    return true;
}

void WarnAboutStrayBarFiles(const std::string& folder, std::string_view subfolder,
                            const std::unordered_set<std::string>& expected,
                            std::vector<std::string>* warnings) {
    std::vector<std::string> names = ListFileNames(DataFilePath(folder, subfolder));
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        if (!expected.contains(name)) {
            warnings->push_back(std::string(subfolder) + "/" + name +
                                ": no instrument has this file; it is never read");
        }
    }
}

std::string DayRangeText(const BarFileCounts& counts) {
    if (counts.bars == 0) {
        return "";
    }
    return ", " + FormatIsoDate(counts.firstDay) + " to " + FormatIsoDate(counts.lastDay);
}

} // namespace

DataFolderReport CheckDataFolder(const std::string& folder) {
    DataFolderReport report;
    CDataFolderReader reader(folder);
    auto tables = reader.ReadTables();
    report.warnings = reader.Warnings();
    if (!tables) {
        report.error = reader.Error();
        return report;
    }
    report.tables = std::move(*tables);
    std::unordered_set<std::string> expected;
    for (const ServerInstrument& instrument : report.tables.instruments) {
        expected.insert(std::to_string(instrument.sinCode) + ".csv");
        if (!CheckBarFile<DailyBar>(folder, BarKind::Daily, instrument, ParseDailyBars, &report,
                                    &report.daily) ||
            !CheckBarFile<IntradayBar>(folder, BarKind::Intraday, instrument, ParseIntradayBars,
                                       &report, &report.intraday)) {
            return report;
        }
    }
    WarnAboutStrayBarFiles(folder, kDailyFolder, expected, &report.warnings);
    WarnAboutStrayBarFiles(folder, kIntradayFolder, expected, &report.warnings);
    return report;
}

std::string FormatDataFolderReport(const DataFolderReport& report) {
    std::string text;
    for (const std::string& warning : report.warnings) {
        text += "warning: " + warning + "\n";
    }
    if (report.error) {
        return text + "error: " + report.error->Text() + "\n";
    }
    const ServerTables& t = report.tables;
    std::size_t members = 0;
    for (const Catalogue& catalogue : t.catalogues) {
        members += catalogue.members.size();
    }
    auto line = [&](std::string_view what, std::uint64_t count, const std::string& more = "") {
        text += "  " + std::string(what) + ": " + std::to_string(count) + more + "\n";
    };
    text += "The data folder is sound.\n";
    line("accounts", t.accounts.size());
    line("security types", t.securityTypes.size());
    line("countries", t.countries.size());
    line("exchanges", t.exchanges.size());
    line("search kinds", t.searchKinds.size());
    line("catalogue groups", t.catalogueGroups.size());
    line("catalogue tree entries", t.catalogueTree.size());
    line("catalogues", t.catalogues.size(), " with " + std::to_string(members) + " members");
    line("instruments", t.instruments.size());
    line("further legacy numbers", t.legacyTranslations.size());
    line("daily bar files", report.daily.files,
         " with " + std::to_string(report.daily.bars) + " bars" + DayRangeText(report.daily));
    line("intraday bar files", report.intraday.files,
         " with " + std::to_string(report.intraday.bars) + " 1-minute bars" +
             DayRangeText(report.intraday));
    line("search hit limit", static_cast<std::uint64_t>(t.settings.searchHitLimit));
    return text;
}

} // namespace mvr
