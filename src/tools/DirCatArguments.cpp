#include "DirCatArguments.h"

#include "core/formats/FormatCatalogue.h"

#include <array>
#include <charconv>
#include <string_view>
#include <vector>

namespace mvr {

const char* const kDirCatUsage =
    "Usage: mvr-dircat [--format N] DIR [SYMBOL]\n"
    "       mvr-dircat --check [--gap-days N] [--jump-percent P] [--format N] DIR [SYMBOL]\n"
    "\n"
    "Lists the symbols of an export directory (MetaStock, ASCII or Hermes), prints\n"
    "the bars of one of its symbols, or checks the stored prices.\n"
    "\n"
    "  DIR          the export directory\n"
    "  SYMBOL       print this symbol's bars, one CSV line per bar:\n"
    "               YYYYMMDD[,HHMMSS],open,high,low,close,volume\n"
    "               (the time column for intraday series only)\n"
    "  --format N   read DIR as format type N instead of detecting it\n"
    "               (17 for a Hermes folder, which has no index file)\n"
    "  --check      check the prices of every symbol (or of SYMBOL) as the data\n"
    "               files hold them and print one CSV line per finding\n"
    "  --gap-days N       with --check: a bar more than N business days (Monday\n"
    "                     to Friday) after the latest bar before it is a gap;\n"
    "                     a whole number from 1, default 5\n"
    "  --jump-percent P   with --check: a close more than P percent away from the\n"
    "                     previous close is a jump; above 0, default 40\n"
    "  --help       show this text\n"
    "\n"
    "The listing starts with the line  format,<type>,<name>  followed by one line\n"
    "per symbol:  symbol,name,sincode,file number,field count,first date,last date\n"
    "with dates as YYYYMMDD (empty when there is none).\n"
    "\n"
    "The check prints the header line\n"
    "  symbol,row,date,time,kind,split,factor,detail\n"
    "and one line per finding, symbol by symbol in the order of the index and\n"
    "bar by bar in the order of the file:\n"
    "  row      the bar's position in the data file, counted from 0\n"
    "  date     YYYYMMDD\n"
    "  time     HHMMSS for intraday series, empty otherwise\n"
    "  kind     out-of-order        earlier than the bar before it\n"
    "           duplicate           the same date and time as the bar before it\n"
    "           high-below          the high below the open or the close\n"
    "           low-above           the low above the open or the close\n"
    "           non-positive-price  an open, high, low or close of 0 or less\n"
    "           negative-volume     a volume below 0\n"
    "           gap                 see --gap-days\n"
    "           jump                see --jump-percent\n"
    "           unreadable          the data file cannot be read (row, date and\n"
    "                               time empty)\n"
    "  split    for a jump: the split that would explain it (2:1, 3:2, 1:10, ...)\n"
    "  factor   for a jump: the factor of the data editor's split on that date;\n"
    "           it multiplies the prices before it (0.5 for 2:1, 10 for 1:10)\n"
    "  detail   a short description\n"
    "A symbol without a data file has nothing to check.\n"
    "\n"
    "Exit status: 0 on success, 1 when the folder, the symbol or its data file\n"
    "cannot be read, 2 for wrong arguments.\n"
    "With --check: 0 when nothing was found, 1 when something was, 2 for wrong\n"
    "arguments or when the folder, the symbol or a data file cannot be read.\n";

namespace {

// An option that takes a value, as "--name VALUE" or "--name=VALUE".
struct ValueOption {
    std::string_view name;
    const char* expects; // what a valid value is, for the messages
    bool (*apply)(std::string_view value, DirCatArguments& args);
    bool checkOnly; // meaningful with --check only
};

// The whole text as a number, nothing left over.
template <typename Number>
std::optional<Number> WholeNumber(std::string_view text) {
    Number value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool ApplyFormatType(std::string_view value, DirCatArguments& args) {
    const auto type = WholeNumber<int>(value);
    if (!type || FindFormatType(*type) == nullptr) {
        return false;
    }
    args.formatType = type;
    return true;
}

bool ApplyGapDays(std::string_view value, DirCatArguments& args) {
    const auto days = WholeNumber<std::int32_t>(value);
    args.limits.gapDays = days.value_or(0);
    return days && args.limits.IsValid();
}

bool ApplyJumpPercent(std::string_view value, DirCatArguments& args) {
    const auto percent = WholeNumber<double>(value);
    args.limits.jumpPercent = percent.value_or(0.0);
    return percent && args.limits.IsValid();
}

constexpr std::array<ValueOption, 3> kValueOptions{{
    {"--format", "a format type (0 to 22)", ApplyFormatType, false},
    {"--gap-days", "a whole number of business days from 1", ApplyGapDays, true},
    {"--jump-percent", "a percentage above 0", ApplyJumpPercent, true},
}};

// The option `arg` names, or null when it names none of them.
const ValueOption* FindValueOption(std::string_view arg) {
    for (const ValueOption& option : kValueOptions) {
        if (arg == option.name ||
            (arg.starts_with(option.name) && arg.substr(option.name.size()).starts_with('='))) {
            return &option;
        }
    }
    return nullptr;
}

// Takes the option's value from `arg` or from the next argument; false with
// a message when it is missing or wrong.
bool TakeValue(const ValueOption& option, int argc, char** argv, int& i, DirCatArguments& args,
               std::string& error) {
    const std::string_view arg = argv[i];
    std::string_view value;
    if (arg == option.name) {
        if (i + 1 >= argc) {
            error = std::string(option.name) + " needs " + option.expects;
            return false;
        }
        value = argv[++i];
    } else {
        value = arg.substr(option.name.size() + 1);
    }
    if (!option.apply(value, args)) {
        error =
            std::string(option.name) + " takes " + option.expects + ", not " + std::string(value);
        return false;
    }
    return true;
}

// The positional arguments and the combination of the options.
bool Complete(const std::vector<std::string>& positional, std::string_view checkOnlyOption,
              DirCatArguments& args, std::string& error) {
    if (positional.empty() || positional.size() > 2) {
        error = positional.empty() ? "no directory given" : "too many arguments";
        return false;
    }
    if (!checkOnlyOption.empty() && !args.check) {
        error = std::string(checkOnlyOption) + " belongs to --check";
        return false;
    }
    args.directory = positional[0];
    if (positional.size() == 2) {
        args.symbol = positional[1];
    }
    return true;
}

} // namespace

std::optional<DirCatArguments> ParseDirCatArguments(int argc, char** argv, std::string& error) {
    DirCatArguments args;
    std::vector<std::string> positional;
    std::string_view checkOnlyOption; // the last one given
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            args.help = true;
        } else if (arg == "--check") {
            args.check = true;
        } else if (const ValueOption* option = FindValueOption(arg)) {
            if (!TakeValue(*option, argc, argv, i, args, error)) {
                return std::nullopt;
            }
            if (option->checkOnly) {
                checkOnlyOption = option->name;
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
    if (!Complete(positional, checkOnlyOption, args, error)) {
        return std::nullopt;
    }
    return args;
}

} // namespace mvr
