#include "core/app/FindInstrumentInDirectories.h"

#include "core/app/Session.h"
#include "core/config/UserInteraction.h"
#include "core/editing/SymbolMatch.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/TextUtil.h"

#include <algorithm>

namespace mvr {

namespace {

std::int32_t CountMatches(const MVRKrsExportInfo& record, std::string_view lowerText) {
    CExportDirectory index(record.formatType);
    if (!index.Open(record.path, record.formatType)) {
        return 0;
    }
    const auto& symbols = index.Symbols();
    return static_cast<std::int32_t>(
        std::count_if(symbols.begin(), symbols.end(), [&](const ExportSymbolInfo& symbol) {
            return SymbolMatchesText(symbol, lowerText);
        }));
}

} // namespace

CFindInstrumentInDirectories::CFindInstrumentInDirectories(
    std::vector<MVRKrsExportInfo> directories)
    : directories_(std::move(directories)) {}

bool CFindInstrumentInDirectories::Find(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    resultText_ = std::string(text);
    const std::string lowerText = ToLowerAscii(text);
    hits_.clear();
    for (const MVRKrsExportInfo& record : directories_) {
        const std::int32_t matches = CountMatches(record, lowerText);
        if (matches > 0) {
            hits_.push_back(record);
            hits_.back().symbolCount = matches;
        }
    }
    resultList_.FillDirectories(hits_, -1);
    return true;
}

void CFindInstrumentInDirectories::Accept() {
    resultIndex_ = kNoResult;
    const std::vector<std::size_t> rows = resultList_.Selection().Rows();
    if (rows.empty()) {
        return;
    }
    const std::int32_t hit = resultList_.RowDirectory(static_cast<std::int64_t>(rows.front()));
    if (hit < 0 || static_cast<std::size_t>(hit) >= hits_.size()) {
        return;
    }
    const std::string& path = hits_[static_cast<std::size_t>(hit)].path;
    for (std::size_t i = 0; i < directories_.size(); ++i) {
        if (directories_[i].path == path) {
            resultIndex_ = static_cast<std::int32_t>(i);
            return;
        }
    }
}

void CFindInstrumentInDirectories::AcceptRow(std::size_t row) {
    resultList_.Selection().SelectOnly(row);
    Accept();
}

bool FindInstrumentCommand(CMVRKrsExpSession& session, CUserInteraction& interaction) {
    CFindInstrumentInDirectories dialog(session.Directories());
    if (!interaction.FindInstrument(dialog) ||
        dialog.ResultIndex() == CFindInstrumentInDirectories::kNoResult) {
        return false;
    }
    // A directory the format filter hides has no row: its symbols are not
    // shown, so none are selected.
    if (!session.DirectoryList().SelectDirectory(dialog.ResultIndex())) {
        return false;
    }
    session.OpenCurrentDirectory(dialog.ResultIndex());
    session.SymbolList().SelectMatching(dialog.ResultText());
    return true;
}

} // namespace mvr
