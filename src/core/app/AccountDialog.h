#pragma once

// The logic of the account dialog, in which the user enters the account
// number and the password that the server checks before they are stored, and
// of the client-information check that the dialog and the main window run:
// what the check's answer shows or starts, the update tool beside the
// executable, and the "Account ..." command.

#include "core/net/ClientInfo.h"
#include "core/net/RunFlag.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mvr {

class CMVRKrsExpSession;
class CUserInteraction;

// The account and password fields take 259 characters each.
inline constexpr std::size_t kAccountFieldChars = 259;

inline constexpr const char* kVersionCheckFailedText = "Error verifying version info!";
inline constexpr const char* kDefaultLinkCaption = "Updateinformation";
inline constexpr const char* kUpdateToolPathError = "error Path update-tool!";
inline constexpr const char* kUpdateToolStartError = "error starting update-tool!";

// The message area's text after OK for a failed account check; nothing for
// the results that leave it as it is.
std::optional<std::string> AccountCheckMessage(std::int32_t result);

// What OK does with the two fields.
struct AccountAcceptance {
    bool accepted = false;
    std::string account;
    std::string password;               // upper case: what the server checked and what is stored
    std::optional<std::string> message; // for the message area when not accepted
};
AccountAcceptance AcceptAccount(std::string_view account, std::string_view password,
                                const RunFlag& run);

// The controls of the dialog that its client-information check changes.
struct AccountDialogView {
    std::string message; // the message area
    bool updateButtonShown = false;
    bool updateButtonFocused = false;
    bool linkShown = false;
    std::string linkTarget;
    std::string linkCaption;
    bool fieldsEnabled = true; // account, password and OK
};

// The dialog after its check ended with `result` (GetClientInfo's) and `info`.
void ApplyClientInfoAnswer(int result, const ClientInfo& info, AccountDialogView& view);

// What the main window's check makes the window do.
enum class ClientCheckAction {
    None,               // no connection: the command line is not processed
    AccountCommand,     // the account dialog shows the server's message or update
    ProcessCommandLine, // the check has passed
};
ClientCheckAction MainWindowCheckAction(int result, const ClientInfo& info);

// The update tool in the folder of the running executable; empty when the
// executable's path is not known.
std::string UpdateToolPath(std::string_view executablePath);

// The "Update" button. True when the tool was started (the dialog then closes
// with Cancel); otherwise `message` holds the text for the message area.
bool StartUpdateTool(std::string_view executablePath, CUserInteraction& interaction,
                     std::string& message);

enum class AccountCommandResult {
    Accepted,  // stored; "Update all directories" and the import can be used
    Cancelled, // nothing changed
    EndRun,    // an update is under way or compulsory: the run ends as "Exit" does
};

// "Account ..." with the client information of the last check.
AccountCommandResult RunAccountCommand(CMVRKrsExpSession& session, CUserInteraction& interaction,
                                       const ClientInfo& info);

} // namespace mvr
