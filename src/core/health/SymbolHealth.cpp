#include "core/health/SymbolHealth.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/FormatCatalogue.h"
#include "core/formats/MetaStockDataFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/Paths.h"

namespace mvr {

namespace {

OpenPrice OpenPriceOf(const FormatTypeInfo& format, const CExportDataFile& file) {
    const bool kept = format.reads != DataFileCodec::MetaStock || HasOpenField(file.SeriesLayout());
    return kept ? OpenPrice::Stored : OpenPrice::NotStored;
}

SymbolHealth Unreadable(std::string problem) {
    return SymbolHealth{
        .state = SymbolHealthState::Unreadable, .findings = {}, .problem = std::move(problem)};
}

// Why a read of `file` failed, or nothing when there was simply no file.
SymbolHealth FailedRead(const CExportDataFile& file) {
    if (file.FilePath().empty()) {
        return Unreadable("the symbol names no data file");
    }
    if (!IsRegularFile(file.FilePath())) {
        return SymbolHealth{};
    }
    return Unreadable("cannot read " + file.FilePath());
}

} // namespace

SymbolHealth CheckSymbolHealth(const std::string& directory, const ExportSymbolInfo& symbol,
                               int formatType, const HealthLimits& limits,
                               CFolderListing* listing) {
    const FormatTypeInfo* format = FindFormatType(formatType);
    if (format == nullptr || format->reads == DataFileCodec::None) {
        return Unreadable("no reader for the files of format " + std::to_string(formatType));
    }
    CExportDataFile file;
    file.UseFolderListing(listing);
    if (!file.ReadAsStored(directory, symbol, formatType)) {
        return FailedRead(file);
    }
    SymbolHealth health;
    health.intraday = file.IsIntradaySeries();
    CPriceHealthCheck(limits, OpenPriceOf(*format, file)).Check(file.History(), health.findings);
    health.state =
        health.findings.empty() ? SymbolHealthState::Healthy : SymbolHealthState::Findings;
    return health;
}

std::vector<SymbolHealth> CheckDirectoryHealth(const std::string& directory,
                                               std::span<const ExportSymbolInfo> symbols,
                                               int formatType, const HealthLimits& limits,
                                               const std::atomic<bool>& run) {
    // One listing for the whole folder instead of one per file.
    CFolderListing listing(WithTrailingSeparator(directory));
    std::vector<SymbolHealth> results;
    results.reserve(symbols.size());
    for (const ExportSymbolInfo& symbol : symbols) {
        if (!run.load(std::memory_order_relaxed)) {
            break;
        }
        results.push_back(CheckSymbolHealth(directory, symbol, formatType, limits, &listing));
    }
    return results;
}

} // namespace mvr
