// mvr-dircat: shows what an export directory holds, for users and scripts.
//   mvr-dircat DIR                  the detected format and one line per symbol
//   mvr-dircat DIR SYMBOL           that symbol's bars as CSV lines
//   mvr-dircat --check DIR [SYMBOL] the findings of the health check as CSV lines

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/health/SymbolHealth.h"
#include "core/platform/FileSystem.h"
#include "core/platform/TextEncoding.h"
#include "DirCatArguments.h"
#include "DisplayText.h"
#include "HealthReport.h"

#include <atomic>
#include <cstdio>
#include <span>
#include <string>

namespace mvr {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;

int UsageError(const std::string& message) {
    std::fprintf(stderr, "mvr-dircat: %s\n\n%s", message.c_str(), kDirCatUsage);
    return kExitUsage;
}

int Fail(const std::string& message, int exitStatus) {
    std::fprintf(stderr, "mvr-dircat: %s\n", message.c_str());
    return exitStatus;
}

std::string DateText(double oleDate) {
    std::string text;
    if (oleDate != 0.0) {
        const std::int32_t day = OleDateToDayNumber(oleDate);
        if (!IsNoDate(day)) {
            AppendDateDigits(text, day);
        }
    }
    return text;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

std::string NoSymbol(const std::string& symbolText, const CExportDirectory& directory) {
    return "no symbol " + symbolText + " in " + directory.Path();
}

int ListSymbols(const CExportDirectory& directory) {
    std::string out = "format," + std::to_string(directory.FormatType()) + "," +
                      CsvField(FormatDisplayName(directory.FormatType())) + "\n";
    for (const ExportSymbolInfo& s : directory.Symbols()) {
        out += CsvField(LocalTextToUtf8(FullSymbolText(s)));
        out += ',';
        out += CsvField(LocalTextToUtf8(s.name));
        out += ',' + std::to_string(s.sinCode) + ',' + std::to_string(s.fileNumber) + ',' +
               std::to_string(s.fieldCount) + ',' + DateText(s.firstDate) + ',' +
               DateText(s.lastDate) + '\n';
    }
    Print(out);
    return kExitOk;
}

int PrintBars(CExportDirectory& directory, const std::string& symbolText) {
    const int index = directory.FindSymbol(symbolText);
    if (index < 0) {
        return Fail(NoSymbol(symbolText, directory), kExitUnreadable);
    }
    CExportDataFile file;
    file.UseFolderListing(&directory.FolderListing());
    if (!file.Read(directory.Path(), directory.GetSymbol(static_cast<std::size_t>(index)),
                   directory.FormatType())) {
        const std::string path = file.FilePath().empty() ? symbolText : file.FilePath();
        return Fail("cannot read the data file of " + symbolText + " (" + path + ")",
                    kExitUnreadable);
    }
    const bool intraday = file.IsIntradaySeries();
    std::string out;
    out.reserve(file.History().size() * 48);
    for (const PERIODE& bar : file.History()) {
        AppendDateDigits(out, bar.dayNumber);
        if (intraday) {
            out += ',';
            AppendTimeDigits(out, bar.secondsOfDay);
        }
        for (const float price : {bar.open, bar.high, bar.low, bar.close}) {
            out += ',';
            AppendNumber(out, price);
        }
        out += ',' + std::to_string(bar.volume) + '\n';
    }
    Print(out);
    return kExitOk;
}

int CheckHealth(const CExportDirectory& directory, const DirCatArguments& args) {
    std::span<const ExportSymbolInfo> symbols = directory.Symbols();
    if (args.symbol) {
        const int index = directory.FindSymbol(*args.symbol);
        if (index < 0) {
            return Fail(NoSymbol(*args.symbol, directory), kCheckError);
        }
        symbols = symbols.subspan(static_cast<std::size_t>(index), 1);
    }
    const std::atomic<bool> run{true};
    const auto results =
        CheckDirectoryHealth(directory.Path(), symbols, directory.FormatType(), args.limits, run);
    Print(HealthCsv(symbols, results));
    return HealthExitStatus(results);
}

// Binds `directory` to the folder and loads its index; false with a message
// in `error` when that fails.
bool OpenDirectory(const DirCatArguments& args, CExportDirectory& directory, std::string& error) {
    if (!IsDirectory(args.directory)) {
        error = "not a folder: " + args.directory;
        return false;
    }
    int type = 0;
    if (args.formatType) {
        type = *args.formatType;
    } else {
        type = directory.DetectFormat(args.directory);
        if (type == kFormatUnrecognised) {
            error = "no directory index (MASTER or mvrexp.mas) in " + args.directory +
                    "; use --format 17 for a Hermes folder";
            return false;
        }
    }
    if (!directory.Open(args.directory, type)) {
        error = "cannot read the index of " + args.directory + " as format " +
                std::to_string(type) + ": " + directory.Problem();
        return false;
    }
    if (!directory.Problem().empty()) {
        std::fprintf(stderr, "mvr-dircat: warning: %s\n", directory.Problem().c_str());
    }
    return true;
}

int Run(int argc, char** argv) {
    std::string error;
    const auto args = ParseDirCatArguments(argc, argv, error);
    if (!args) {
        return UsageError(error);
    }
    if (args->help) {
        std::fputs(kDirCatUsage, stdout);
        return kExitOk;
    }
    CExportDirectory directory;
    if (!OpenDirectory(*args, directory, error)) {
        // The check keeps 1 for its findings.
        return Fail(error, args->check ? kCheckError : kExitUnreadable);
    }
    if (args->check) {
        return CheckHealth(directory, *args);
    }
    return args->symbol ? PrintBars(directory, *args->symbol) : ListSymbols(directory);
}

} // namespace
} // namespace mvr

int main(int argc, char** argv) {
    return mvr::Run(argc, argv);
}
