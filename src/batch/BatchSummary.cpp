#include "batch/BatchSummary.h"

#include <cstdio>

namespace mvr::batch {

namespace {

void AppendLine(std::string& text, const char* label, long long value) {
    char line[96];
    std::snprintf(line, sizeof line, "%-26s%lld\n", label, value);
    text += line;
}

} // namespace

std::string FormatSummary(const UpdateSummary& summary) {
    std::string text = "Summary\n";
    AppendLine(text, "  Directories:", summary.directories);
    AppendLine(text, "  Symbols requested:", summary.symbolsRequested);
    AppendLine(text, "  Symbols written:", summary.symbolsWritten);
    AppendLine(text, "  Bars added:", summary.barsAdded);
    AppendLine(text, "  Bars changed:", summary.barsChanged);
    AppendLine(text, "  Symbols without answer:", summary.symbolsWithoutAnswer);
    if (summary.indexesNotSaved > 0) {
        AppendLine(text, "  Indexes not saved:", summary.indexesNotSaved);
    }
    for (const FolderNotWritten& failure : summary.foldersNotWritten) {
        text += "  Not written:            " + failure.folder + " (" + failure.reason + ")\n";
    }
    if (!summary.refusedSymbols.empty()) {
        AppendLine(text,
                   "  Symbols not added:", static_cast<long long>(summary.refusedSymbols.size()));
        for (const RefusedSymbol& refused : summary.refusedSymbols) {
            text += "    " + RefusedSymbolText(refused) + "\n";
        }
    }
    char line[96];
    std::snprintf(line, sizeof line, "%-26s%.1f s\n",
                  "  Time taken:", static_cast<double>(summary.elapsed.count()) / 1000.0);
    text += line;
    return text;
}

} // namespace mvr::batch
