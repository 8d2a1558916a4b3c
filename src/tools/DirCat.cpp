// mvr-dircat: shows what an export directory holds, for users and scripts.
//   mvr-dircat DIR          the detected format and one line per symbol
//   mvr-dircat DIR SYMBOL   that symbol's bars as CSV lines

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/FileSystem.h"
#include "core/platform/TextEncoding.h"
#include "CsvField.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: mvr-dircat [--format N] DIR [SYMBOL]\n"
    "\n"
    "Lists the symbols of an export directory (MetaStock, ASCII or Hermes), or\n"
    "prints the bars of one of its symbols.\n"
    "\n"
    "  DIR          the export directory\n"
    "  SYMBOL       print this symbol's bars, one CSV line per bar:\n"
    "               YYYYMMDD[,HHMMSS],open,high,low,close,volume\n"
    "               (the time column for intraday formats only)\n"
    "  --format N   read DIR as format type N instead of detecting it\n"
    "               (17 for a Hermes folder, which has no index file)\n"
    "  --help       show this text\n"
    "\n"
    "The listing starts with the line  format,<type>,<name>  followed by one line\n"
    "per symbol:  symbol,name,sincode,file number,field count,first date,last date\n"
    "with dates as YYYYMMDD (empty when there is none).\n"
    "\n"
    "Exit status: 0 on success, 1 when the folder, the symbol or its data file\n"
    "cannot be read, 2 for wrong arguments.\n";

struct Arguments {
    std::string directory;
    std::optional<std::string> symbol;
    std::optional<int> formatType;
    bool help = false;
};

int UsageError(const std::string& message) {
    std::fprintf(stderr, "mvr-dircat: %s\n\n%s", message.c_str(), kUsage);
    return kExitUsage;
}

int Unreadable(const std::string& message) {
    std::fprintf(stderr, "mvr-dircat: %s\n", message.c_str());
    return kExitUnreadable;
}

std::optional<int> ParseFormatType(std::string_view text) {
    int value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size() ||
        FindFormatType(value) == nullptr) {
        return std::nullopt;
    }
    return value;
}

// Empty optional with a message in `error` when the arguments are wrong.
std::optional<Arguments> ParseArguments(int argc, char** argv, std::string& error) {
    Arguments args;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            args.help = true;
        } else if (arg == "--format" || arg.starts_with("--format=")) {
            std::string_view value;
            if (arg == "--format") {
                if (i + 1 >= argc) {
                    error = "--format needs a format type";
                    return std::nullopt;
                }
                value = argv[++i];
            } else {
                value = arg.substr(std::string_view("--format=").size());
            }
            args.formatType = ParseFormatType(value);
            if (!args.formatType) {
                error = "not a format type (0 to 22): " + std::string(value);
                return std::nullopt;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + std::string(arg);
            return std::nullopt;
        } else {
            positional.emplace_back(arg);
        }
    }
    if (args.help) {
        return args;
    }
    if (positional.empty() || positional.size() > 2) {
        error = positional.empty() ? "no directory given" : "too many arguments";
        return std::nullopt;
    }
    args.directory = positional[0];
    if (positional.size() == 2) {
        args.symbol = positional[1];
    }
    return args;
}

void AppendDigits(std::string& out, long value, int width) {
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text, value);
    const auto length = static_cast<int>(result.ptr - text);
    out.append(static_cast<std::size_t>(width > length ? width - length : 0), '0');
    out.append(text, result.ptr);
}

void AppendDayNumber(std::string& out, std::int32_t dayNumber) {
    const DATUM date = DayNumberToDatum(dayNumber);
    AppendDigits(out, date.year, 4);
    AppendDigits(out, date.month, 2);
    AppendDigits(out, date.day, 2);
}

std::string DateText(double oleDate) {
    std::string text;
    if (oleDate != 0.0) {
        const std::int32_t day = OleDateToDayNumber(oleDate);
        if (!IsNoDate(day)) {
            AppendDayNumber(text, day);
        }
    }
    return text;
}

void AppendNumber(std::string& out, float value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
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
        return Unreadable("no symbol " + symbolText + " in " + directory.Path());
    }
    CExportDataFile file;
    file.UseFolderListing(&directory.FolderListing());
    if (!file.Read(directory.Path(), directory.GetSymbol(static_cast<std::size_t>(index)),
                   directory.FormatType())) {
        const std::string path = file.FilePath().empty() ? symbolText : file.FilePath();
        return Unreadable("cannot read the data file of " + symbolText + " (" + path + ")");
    }
    const bool intraday = IsIntradayFormat(directory.FormatType());
    std::string out;
    out.reserve(file.History().size() * 48);
    for (const PERIODE& bar : file.History()) {
        AppendDayNumber(out, bar.dayNumber);
        if (intraday) {
            out += ',';
            AppendDigits(out, bar.secondsOfDay / 3600, 2);
            AppendDigits(out, (bar.secondsOfDay / 60) % 60, 2);
            AppendDigits(out, bar.secondsOfDay % 60, 2);
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

int Run(int argc, char** argv) {
    std::string error;
    const auto args = ParseArguments(argc, argv, error);
    if (!args) {
        return UsageError(error);
    }
    if (args->help) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (!IsDirectory(args->directory)) {
        return Unreadable("not a folder: " + args->directory);
    }
    CExportDirectory directory;
    int type = 0;
    if (args->formatType) {
        type = *args->formatType;
    } else {
        type = directory.DetectFormat(args->directory);
        if (type == kFormatUnrecognised) {
            return Unreadable("no directory index (MASTER or mvrexp.mas) in " + args->directory +
                              "; use --format 17 for a Hermes folder");
        }
    }
    if (!directory.Open(args->directory, type)) {
        return Unreadable("cannot read the index of " + args->directory + " as format " +
                          std::to_string(type) + ": " + directory.Problem());
    }
    if (!directory.Problem().empty()) {
        std::fprintf(stderr, "mvr-dircat: warning: %s\n", directory.Problem().c_str());
    }
    return args->symbol ? PrintBars(directory, *args->symbol) : ListSymbols(directory);
}

} // namespace
} // namespace mvr

int main(int argc, char** argv) {
    return mvr::Run(argc, argv);
}
