#pragma once

// The about box's version text and the commands of the "?" menu: the user
// manuals beside the executable and the two remote-support tools.

#include <cstdint>
#include <string>
#include <vector>

namespace mvr {

class CUserInteraction;

struct ManualEntry {
    std::int32_t commandId;
    const char* fileName;
    const char* caption; // the menu item's text
};

// The four numbers of the build's version, "major.minor.build.revision".
std::string VersionText();

// "Marvane Kavolo manual", always in the menu.
const ManualEntry& MainManual();

// The language manuals present in the executable's folder, in the order the
// menu shows them after the main manual: FR, DE, NL, BE.
std::vector<ManualEntry> LanguageManualEntries(const std::string& executableFolder);

// The manual of a menu command, or null for a command that opens none.
const ManualEntry* ManualOfCommand(std::int32_t commandId);

// Opens the command's manual from the executable's folder, the folder the
// menu entries were made from; a missing file is reported.
void OpenManual(std::int32_t commandId, const std::string& executableFolder,
                CUserInteraction& interaction);

// "Start Teamviewer": starts the remote-view tool found beside the executable.
void StartRemoteViewTool(const std::string& executableFolder, CUserInteraction& interaction);

// "Start mikogo": opens the remote-support web page; nothing is reported.
void StartRemoteSupportPage(CUserInteraction& interaction);

// The address of the remote-support web page, set when the system is built.
const char* RemoteSupportAddress();

} // namespace mvr
