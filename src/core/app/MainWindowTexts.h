#pragma once

// The main window's captions, button tooltips and menu, as one table that
// the window builds itself from: a text the user reads exists once.

#include <array>

namespace mvr {

inline constexpr const char* kMainWindowCaption = "Marvane Kavolo";
inline constexpr const char* kListsLabel = "Lists:";
inline constexpr const char* kFormatLabel = "Format:";

enum class MainWindowButton {
    AddList,           // "+" beside the lists box
    RemoveList,        // "-" beside the lists box
    UpdateList,        // "Upd"
    AddDirectory,      // "+" beside the directory list
    RemoveDirectories, // "-" beside the directory list
    UpdateDirectories, // "U"
    EditDirectory,     // "E"
    FindSymbol,        // "S"
    AddSymbols,        // "+" beside the symbol list
    DeleteSymbols,     // "-" beside the symbol list
    OpenSymbol,        // "C"
};

struct MainWindowButtonText {
    MainWindowButton button;
    const char* caption; // shown where no icon is
    const char* tooltip;
};

inline constexpr std::array<MainWindowButtonText, 11> kMainWindowButtons{{
    {MainWindowButton::AddList, "+", "Add new List."},
    {MainWindowButton::RemoveList, "-", "Delete list."},
    {MainWindowButton::UpdateList, "Upd", "Update selected List"},
    {MainWindowButton::AddDirectory, "+", "Add new directory."},
    {MainWindowButton::RemoveDirectories, "-", "Delete directory"},
    {MainWindowButton::UpdateDirectories, "U", "Update the selected directories"},
    {MainWindowButton::EditDirectory, "E", "Settings of the selected directory"},
    {MainWindowButton::FindSymbol, "S", "Search directories for a symbol or text."},
    {MainWindowButton::AddSymbols, "+", "Add symbol."},
    {MainWindowButton::DeleteSymbols, "-", "Delete Symbol."},
    {MainWindowButton::OpenSymbol, "C", "Open selected symbol."},
}};

enum class MainWindowMenuCommand {
    UpdateAll,
    DefinitionFileDownload,
    ScheduleDailyUpdate,
    ImportLegacy,
    Account,
    Exit,
    StartMikogo,
    StartTeamviewer,
    About,
};

// One entry of a menu; a null text is a separator (its command means nothing).
struct MainWindowMenuItem {
    const char* menu;
    const char* text;
    MainWindowMenuCommand command;
};

inline constexpr const char* kFileMenu = "File";
inline constexpr const char* kHelpMenu = "?";

// In menu order. The "?" menu begins with the manuals (MainManual and
// LanguageManualEntries of the help commands) and a separator.
inline constexpr std::array<MainWindowMenuItem, 13> kMainWindowMenu{{
    {kFileMenu, "Update all directories", MainWindowMenuCommand::UpdateAll},
    {kFileMenu, "Definition File Download", MainWindowMenuCommand::DefinitionFileDownload},
    {kFileMenu, "Schedule daily update ...", MainWindowMenuCommand::ScheduleDailyUpdate},
    {kFileMenu, nullptr, MainWindowMenuCommand::UpdateAll},
    {kFileMenu, "Import from Kavolo ...", MainWindowMenuCommand::ImportLegacy},
    {kFileMenu, nullptr, MainWindowMenuCommand::UpdateAll},
    {kFileMenu, "Account ...", MainWindowMenuCommand::Account},
    {kFileMenu, nullptr, MainWindowMenuCommand::UpdateAll},
    {kFileMenu, "Exit", MainWindowMenuCommand::Exit},
    {kHelpMenu, "Start mikogo", MainWindowMenuCommand::StartMikogo},
    {kHelpMenu, "Start Teamviewer", MainWindowMenuCommand::StartTeamviewer},
    {kHelpMenu, nullptr, MainWindowMenuCommand::StartTeamviewer},
    {kHelpMenu, "About", MainWindowMenuCommand::About},
}};

} // namespace mvr
