#pragma once

// The logic of the directory editor, in which the user enters a new export
// directory or changes the settings of an existing one: what its controls
// offer and show when it opens, what it says about an entered folder, and the
// checks of OK with their questions and messages.

#include "core/config/ExportInfo.h"
#include "core/formats/FormatCatalogue.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CUserInteraction;

// What the editor is handed and what it gives back after OK.
struct DirectoryEditorValues {
    bool existing = false; // an existing directory: path and format cannot be changed
    std::string path;      // after OK it ends in a separator
    std::int32_t formatType = kFormatNotSet;
    std::int32_t startDate = 0; // day number; 0: the editor proposes one
    std::int32_t catalogueId = 0;
    std::string catalogueName;
    std::int32_t interval = MVRKrsExportInfo::kDefaultInterval;
};

struct FormatChoice {
    std::int32_t formatType;
    std::string name;
};

// The formats offered for a directory as the format box shows them: sorted
// by name, the intraday formats after the daily ones.
std::vector<FormatChoice> EditorFormatChoices();

// Bar intervals in minutes, in the order the interval box offers them.
std::span<const std::int32_t> OfferedIntervals();

// The interval box is shown only for the intraday formats.
bool ShowsIntervalBox(std::int32_t formatType);

// 1 January of the year reached by going back 365 days from today.
std::int32_t ProposedStartDate(std::int32_t today);

// The controls when the editor opens.
struct DirectoryEditorOpening {
    std::int32_t formatType = kFormatNotSet; // selected in the format box; a format that is
                                             // not offered selects nothing
    bool pathAndFormatFixed = false;
    std::string dateText; // "dd.mm.yyyy", empty for no date
    std::string intervalText;
    bool intervalShown = false;
    std::int32_t previousCatalogueId = 0;
};
DirectoryEditorOpening OpenDirectoryEditor(const DirectoryEditorValues& values, std::int32_t today);

// What the editor shows for the text of its path field.
struct EnteredFolderInfo {
    std::string informationLine;            // empty when the folder holds no known index
    std::optional<std::int32_t> formatType; // the format to select in the format box
};
EnteredFolderInfo InspectEnteredFolder(const std::string& pathText);

// The controls' contents when OK is pressed.
struct DirectoryEditorEntries {
    bool existing = false;
    std::string pathText;
    std::int32_t formatType = kFormatNotSet;
    std::string dateText;
    std::int32_t catalogueId = 0; // the catalogue field's number
    std::string catalogueName;
    std::int32_t previousCatalogueId = 0;
    std::string intervalText;
};

// The checks of OK in their order. Nothing when the editor stays open (the
// user said No, or a message told why); otherwise the values to take over. A
// missing folder of a new directory is created here when the user agrees.
std::optional<DirectoryEditorValues> AcceptDirectoryEditor(const DirectoryEditorEntries& entries,
                                                           CUserInteraction& interaction);

// The interval box's text as minutes: a decimal number from 1 to 65535, 10 otherwise.
std::int32_t ParseIntervalText(std::string_view text);

} // namespace mvr
