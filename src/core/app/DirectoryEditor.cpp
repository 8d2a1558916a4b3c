#include "core/app/DirectoryEditor.h"

#include "core/config/UserInteraction.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace mvr {

namespace {

constexpr std::array<std::int32_t, 10> kOfferedIntervals{1, 2, 3, 5, 10, 12, 15, 30, 60, 120};

constexpr const char* kCreateFailed = "Error creating Dir!";
constexpr const char* kPathTooLong = "The path of the directory is too long!";

// The record's interval field holds 16 bits.
constexpr std::int64_t kLongestInterval = std::numeric_limits<std::uint16_t>::max();

std::string CreateQuestion(std::string_view path) {
    return "The directory " + std::string(path) + " does not exist. Create it?";
}

std::string NotAFolderMessage(std::string_view path) {
    return std::string(path) + " is a file, not a directory!";
}

std::string DifferentFormatMessage(std::int32_t foundType) {
    return "The existing ASCII - Master contains a different Format (" +
           FormatDisplayName(foundType) + ")!\nChoose a different Directory or Format!";
}

std::string CatalogueReplaceQuestion(std::string_view catalogueName) {
    return "The existing symbols in the directory will be replaced by the content of the "
           "catalog '" +
           std::string(catalogueName) + "'!";
}

std::string InformationLine(std::int32_t formatType, std::size_t symbols) {
    return "Directory contains format '" + FormatDisplayName(formatType) + "' with " +
           std::to_string(symbols) + " symbol" + (symbols == 1 ? "" : "s") + ".";
}

// The first offered format whose name begins with the found format's name;
// the ASCII family shares the beginnings of its names.
std::optional<std::int32_t> FormatChoiceFor(std::int32_t foundType) {
    const std::string name = FormatDisplayName(foundType);
    for (const FormatChoice& choice : EditorFormatChoices()) {
        if (StartsWithIgnoreCase(choice.name, name)) {
            return choice.formatType;
        }
    }
    return std::nullopt;
}

// A MASTER folder is detected as a MetaStock one; it serves the intraday
// MetaStock format as well.
bool HoldsIndexOf(std::int32_t foundType, std::int32_t chosenType) {
    return foundType == chosenType || (DirectoryIndexOf(foundType) == DirectoryIndex::MetaStock &&
                                       DirectoryIndexOf(chosenType) == DirectoryIndex::MetaStock);
}

// A MetaStock folder whose series are all intraday is an intraday folder.
std::int32_t ProposedFormatOf(const CExportDirectory& directory) {
    const auto& symbols = directory.Symbols();
    const bool intraday = directory.FormatType() == kFormatMetaStock && !symbols.empty() &&
                          std::all_of(symbols.begin(), symbols.end(),
                                      [](const auto& s) { return s.period == kPeriodIntraday; });
    return intraday ? kFormatMetaStockIntraday : directory.FormatType();
}

// The checks of a new directory's folder. True when OK may go on; `hasIndex`
// tells whether the folder already holds an index of the chosen format.
bool CheckNewFolder(const DirectoryEditorEntries& entries, CUserInteraction& interaction,
                    bool* hasIndex) {
    const std::string& path = entries.pathText;
    // The record keeps the path with its separator in 260 bytes.
    if (WithTrailingSeparator(path).size() > kMaxPathChars) {
        interaction.ShowMessage(kPathTooLong, MessageIcon::None);
        return false;
    }
    if (!EntryExists(path)) {
        if (!interaction.AskYesNo(CreateQuestion(path), MessageIcon::Question)) {
            return false;
        }
        if (!CreateFolders(path)) {
            interaction.ShowMessage(kCreateFailed, MessageIcon::None);
            return false;
        }
    } else if (!IsDirectory(path)) {
        interaction.ShowMessage(NotAFolderMessage(path), MessageIcon::None);
        return false;
    }
    CExportDirectory directory;
    const int found = directory.DetectFormat(path);
    if (found != kFormatUnrecognised && !HoldsIndexOf(found, entries.formatType)) {
        interaction.ShowMessage(DifferentFormatMessage(found), MessageIcon::Exclamation);
        return false;
    }
    *hasIndex = found != kFormatUnrecognised;
    return true;
}

} // namespace

std::vector<FormatChoice> EditorFormatChoices() {
    std::vector<FormatChoice> choices;
    for (const int type : OfferedFormatTypes()) {
        choices.push_back({type, FormatDisplayName(type)});
    }
    // By name, the intraday formats after the daily ones.
    std::stable_sort(choices.begin(), choices.end(),
                     [](const FormatChoice& a, const FormatChoice& b) {
                         const bool aIntraday = IsIntradayFormat(a.formatType);
                         const bool bIntraday = IsIntradayFormat(b.formatType);
                         if (aIntraday != bIntraday) {
                             return bIntraday;
                         }
                         return CompareIgnoreCase(a.name, b.name) < 0;
                     });
    return choices;
}

std::span<const std::int32_t> OfferedIntervals() {
    return kOfferedIntervals;
}

bool ShowsIntervalBox(std::int32_t formatType) {
    return IsIntradayFormat(formatType);
}

std::int32_t ProposedStartDate(std::int32_t today) {
    // A day number before the calendar's start gives year 0.
    DATUM date = DayNumberToDatum(today - 365);
    date.day = 1;
    date.month = 1;
    return DatumToDayNumber(date);
}

DirectoryEditorOpening OpenDirectoryEditor(const DirectoryEditorValues& values,
                                           std::int32_t today) {
    DirectoryEditorOpening opening;
    opening.pathAndFormatFixed = values.existing;
    opening.formatType =
        values.existing ? values.formatType : EditorFormatChoices().front().formatType;
    const std::int32_t startDate =
        IsNoDate(values.startDate) ? ProposedStartDate(today) : values.startDate;
    opening.dateText = FormatDayNumber(startDate);
    opening.intervalText = std::to_string(values.interval);
    opening.intervalShown = ShowsIntervalBox(opening.formatType);
    opening.previousCatalogueId = values.catalogueId;
    return opening;
}

EnteredFolderInfo InspectEnteredFolder(const std::string& pathText) {
    if (!EntryExists(pathText)) {
        return {};
    }
    CExportDirectory directory;
    const int found = directory.DetectFormat(pathText);
    if (found == kFormatUnrecognised) {
        return {};
    }
    // A damaged index shows the symbols that could be read.
    directory.Open(pathText, found);
    const std::int32_t proposed = ProposedFormatOf(directory);
    EnteredFolderInfo info;
    info.informationLine = InformationLine(proposed, directory.SymbolCount());
    info.formatType = FormatChoiceFor(proposed);
    return info;
}

std::optional<DirectoryEditorValues> AcceptDirectoryEditor(const DirectoryEditorEntries& entries,
                                                           CUserInteraction& interaction) {
    bool hasIndex = false;
    if (!entries.existing && !CheckNewFolder(entries, interaction, &hasIndex)) {
        return std::nullopt;
    }
    DirectoryEditorValues values;
    values.existing = entries.existing;
    values.path = WithTrailingSeparator(entries.pathText);
    values.formatType = entries.formatType;
    values.catalogueId = entries.catalogueId;
    values.catalogueName = entries.catalogueName;
    const bool replacesSymbols = entries.catalogueId != 0 &&
                                 entries.catalogueId != entries.previousCatalogueId &&
                                 (entries.existing || hasIndex);
    if (replacesSymbols && !interaction.AskYesNo(CatalogueReplaceQuestion(entries.catalogueName),
                                                 MessageIcon::Question)) {
        return std::nullopt;
    }
    std::int32_t startDate = 0;
    values.startDate = ParseDateText(entries.dateText.c_str(), &startDate) ? startDate : 0;
    values.interval = ParseIntervalText(entries.intervalText);
    return values;
}

std::int32_t ParseIntervalText(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int64_t minutes = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), minutes);
    if (ec != std::errc{} || minutes < 1 || minutes > kLongestInterval) {
        return MVRKrsExportInfo::kDefaultInterval;
    }
    return static_cast<std::int32_t>(minutes);
}

} // namespace mvr
