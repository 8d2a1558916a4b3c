#include "core/app/LegacyImportCommand.h"

#include "core/app/MainWindowCommands.h"
#include "core/app/Session.h"
#include "core/config/ConfigStore.h"
#include "core/config/UserInteraction.h"
#include "core/legacy/LegacyFile.h"
#include "core/legacy/LegacyInitialFolder.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/Paths.h"

namespace mvr {

namespace {

// The session shows the changed arrays with no active list.
void ShowAgain(CMVRKrsExpSession& session) {
    session.User().activeListEntry = 0;
    CExpDirListModel& list = session.DirectoryList();
    list.FillDirectories(session.Directories(), session.User().formatFilter);
    list.ApplyActiveList(nullptr);
}

} // namespace

LegacyImportOutcome ImportLegacyInstallation(CMVRKrsExpSession& session,
                                             CUserInteraction& interaction) {
    const std::optional<std::string> folder =
        interaction.BrowseForFolder(kSelectLegacyFolderTitle, LegacyInitialFolder());
    if (!folder) {
        return LegacyImportOutcome::Cancelled;
    }
    const auto formatsFile = ReadLegacyFile(*folder, kLegacyFormatsFileName, kMaxFormatsFileBytes);
    if (!formatsFile) {
        interaction.ShowMessage(kFormatsFileOpenError, MessageIcon::None);
        return LegacyImportOutcome::FormatsFileMissing;
    }
    std::vector<Cqdx_kvlo_format_info> formats;
    if (!ReadFormats(*formatsFile, &formats)) {
        interaction.ShowMessage(kFormatsFileReadError, MessageIcon::None);
        return LegacyImportOutcome::FormatsFileDamaged;
    }
    const auto tableFile =
        ReadLegacyFile(*folder, kLegacySymbolTableFileName, kMaxSymbolTableFileBytes);
    if (!tableFile) {
        interaction.ShowMessage(kSymbolTableOpenError, MessageIcon::None);
        return LegacyImportOutcome::SymbolTableMissing;
    }
    CLegacySymbolTable symbols;
    if (!ReadSymbolTable(*tableFile, &symbols)) {
        return LegacyImportOutcome::SymbolTableDamaged;
    }
    const std::optional<std::string> configFolder = ConfigurationFolder();
    if (!configFolder) {
        interaction.ShowMessage(kStoreConfigError, MessageIcon::None);
        return LegacyImportOutcome::ConfigFolderMissing;
    }

    LegacyImportResult result;
    const bool imported = interaction.RunNetworkWork(kImportRunningText, [&](const RunFlag& run) {
        result = RunLegacyImport(session.User(), session.Directories(), session.Lists(),
                                 std::move(formats), std::move(symbols), run);
    });
    if (!imported) {
        return LegacyImportOutcome::Cancelled;
    }
    session.Directories() = std::move(result.directories);
    session.Lists() = std::move(result.lists);
    // Without its log the import is still complete; there is just nothing to show.
    const std::string logPath = JoinPath(*configFolder, kImportLogFileName);
    ClearLastAtomicWriteError();
    const bool logged = result.log.AppendTo(logPath);
    if (!logged) {
        const std::error_code reason = LastAtomicWriteError();
        interaction.ShowMessage("The import log " + logPath + " could not be written" +
                                    (reason ? " (" + reason.message() + ")." : std::string(".")),
                                MessageIcon::Exclamation);
    }
    StoreConfigOrTell(session, interaction);
    ShowAgain(session);
    if (logged) {
        interaction.OpenDocument(logPath);
    }
    return LegacyImportOutcome::Imported;
}

} // namespace mvr
