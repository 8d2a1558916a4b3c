#pragma once

// Everything a command of the main window asks the user goes through this
// interface: confirmations, messages, the values of the dialogs it opens and
// the documents and programs it starts. The GUI answers with real dialogs,
// the batch tool without a user, tests with scripted answers. Texts are the
// system's own and are passed exactly as the user is to see them.

#include "core/config/DirListInfo.h"
#include "core/config/WindowLayout.h"
#include "core/net/RunFlag.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mvr {

class CCopyMoveSymbols;
class CFindInstrumentInDirectories;
class CSymbolDataEditor;
class CUpdateJob;
struct DirectoryEditorValues;
struct WATCH;

// The icon of a message or question box.
enum class MessageIcon {
    None,
    Question,
    Exclamation,
};

// What the symbol search dialog keeps from one opening to the next.
struct SearchDialogState {
    WindowPlacement placement; // length 0: the dialog template's placement
    std::int32_t splitterPosition = 0;
    std::int32_t sortColumn = 0;
    std::int32_t sortFlag = 0;
};

// What the account dialog is opened with and gives back.
struct AccountDialogValues {
    std::string account;
    std::string password;
    bool updateToolStarted = false; // the dialog started the update tool and closed itself
};

class CUserInteraction {
public:
    virtual ~CUserInteraction() = default;

    // A box with Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& question, MessageIcon icon) = 0;

    // A box with an OK button.
    virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;

    // The directory editor, opened with `values` (a new directory when
    // `existing` is not set). On OK the values hold what the editor accepted
    // (its own checks have passed) and the result is true; on Cancel they are
    // unchanged and the result is false.
    virtual bool EditDirectory(DirectoryEditorValues& values) = 0;

    // The symbol search dialog, opened with the stored state. On OK the state
    // holds the dialog's state to store, `selection` the chosen instrument
    // records in the order of their rows, and the result is true. On Cancel
    // nothing changes and the result is false.
    virtual bool ChooseInstruments(SearchDialogState& state, std::vector<WATCH>& selection) = 0;

    // The account dialog, opened with the stored account and password. On OK
    // (the server accepted them) the values hold the account and the
    // upper-case password and the result is true; on any other end the result
    // is false and only updateToolStarted may have changed.
    virtual bool EditAccount(AccountDialogValues& values) = 0;

    // The "Add List" dialog showing the existing lists. On OK `name` holds the
    // accepted name (its rule has passed) and the result is true.
    virtual bool AskListName(const std::vector<CMVRDirListInfo>& lists, std::string& name) = 0;

    // The folder browser with the title of its owner and the folder shown at
    // first (may be empty); the chosen folder, or nothing on Cancel.
    virtual std::optional<std::string> BrowseForFolder(const std::string& ownerTitle,
                                                       const std::string& initialFolder) = 0;

    // Opens a document (a manual, the import log, a web address) with the
    // program the desktop associates with it; false when that failed.
    virtual bool OpenDocument(const std::string& path) = 0;

    // Starts a program in a normal window; false when it could not be started.
    virtual bool StartProgram(const std::string& path) = 0;

    // The dialogs of the local data editing, each a view over the model it is
    // given; true when it ended with OK. A front end without windows has none
    // of them and cancels them, as these defaults do.

    // The symbol data editor, already filled from its store.
    virtual bool EditSymbolData(CSymbolDataEditor& editor);
    // The copy/move dialog; its buttons run the copy or the move on the model.
    virtual bool CopyOrMoveSymbols(CCopyMoveSymbols& dialog);
    // The find dialog; its Find button and OK work on the model.
    virtual bool FindInstrument(CFindInstrumentInDirectories& dialog);
    // The update job's dialog on a job the command has filled: it starts the
    // job on OK (at once when unattended) and shows its progress.
    virtual bool RunUpdateJob(CUpdateJob& job);

    // The part of a command that talks to the server, split off from the
    // questions before it and the changes after it: `work` gets a run flag
    // that the user can clear, and every request it makes gives up soon after
    // (within a second, also while the server is silent). `what` tells the
    // user what is going on. False when the work was cancelled; the command
    // then changes nothing. A window runs the work on a worker thread while
    // its event loop goes on; this default runs it on the calling thread, and
    // CancelNetworkWork, from any thread or a signal handler, cancels it.
    virtual bool RunNetworkWork(const std::string& what,
                                const std::function<void(const RunFlag&)>& work);
    void CancelNetworkWork() { networkRun_.store(0); }

protected:
    RunFlag networkRun_{1};
};

} // namespace mvr
