#include "core/app/HelpCommands.h"

#include "core/config/UserInteraction.h"
#include "core/platform/BuildVersion.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"

#include <array>

namespace mvr {

namespace {

constexpr ManualEntry kMainManual{32781, "Marvane Kavolo manual.pdf", "Marvane Kavolo manual"};

// In the order the menu shows them; each is inserted directly after the main
// manual, so the menu's order is the reverse of the order they are looked at.
constexpr std::array<ManualEntry, 4> kLanguageManuals{{
    {32786, "Marvane Kavolo manual FR.pdf", "Marvane Kavolo manual FR.pdf"},
    {32785, "Marvane Kavolo manual DE.pdf", "Marvane Kavolo manual DE.pdf"},
    {32784, "Marvane Kavolo manual NL.pdf", "Marvane Kavolo manual NL.pdf"},
    {32783, "Marvane Kavolo manual BE.pdf", "Marvane Kavolo manual BE.pdf"},
}};

#ifdef _WIN32
constexpr const char* kRemoteViewTool = "TeamViewerQS.exe";
#else
constexpr const char* kRemoteViewTool = "TeamViewerQS";
#endif

constexpr const char* kManualMissing = "Help-File not found..";
constexpr const char* kRemoteViewToolMissing = "Remoteview-Tool not found..";
constexpr const char* kRemoteViewToolFailed = "Error starting Remoteview-Tool.";

std::string FileBeside(const std::string& executableFolder, const char* fileName) {
    return JoinPath(WithTrailingSeparator(executableFolder), fileName);
}

} // namespace

std::string VersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionBuild) + "." + std::to_string(kVersionRevision);
}

const ManualEntry& MainManual() {
    return kMainManual;
}

std::vector<ManualEntry> LanguageManualEntries(const std::string& executableFolder) {
    std::vector<ManualEntry> entries;
    for (const ManualEntry& manual : kLanguageManuals) {
        if (IsRegularFile(FileBeside(executableFolder, manual.fileName))) {
            entries.push_back(manual);
        }
    }
    return entries;
}

const ManualEntry* ManualOfCommand(std::int32_t commandId) {
    if (commandId == kMainManual.commandId) {
        return &kMainManual;
    }
    for (const ManualEntry& manual : kLanguageManuals) {
        if (manual.commandId == commandId) {
            return &manual;
        }
    }
    return nullptr;
}

void OpenManual(std::int32_t commandId, const std::string& executableFolder,
                CUserInteraction& interaction) {
    const ManualEntry* manual = ManualOfCommand(commandId);
    const std::string path = manual ? FileBeside(executableFolder, manual->fileName) : "";
    if (manual == nullptr || !IsRegularFile(path)) {
        interaction.ShowMessage(kManualMissing, MessageIcon::None);
        return;
    }
    interaction.OpenDocument(path);
}

void StartRemoteViewTool(const std::string& executableFolder, CUserInteraction& interaction) {
    const std::string path = FileBeside(executableFolder, kRemoteViewTool);
    if (!IsRegularFile(path)) {
        interaction.ShowMessage(kRemoteViewToolMissing, MessageIcon::None);
        return;
    }
    if (!interaction.StartProgram(path)) {
        interaction.ShowMessage(kRemoteViewToolFailed, MessageIcon::None);
    }
}

void StartRemoteSupportPage(CUserInteraction& interaction) {
    interaction.OpenDocument(RemoteSupportAddress());
}

const char* RemoteSupportAddress() {
    return MVR_REMOTE_SUPPORT_ADDRESS;
}

} // namespace mvr
