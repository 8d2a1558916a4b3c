#include "core/app/AccountDialog.h"

#include "core/app/MainWindowCommands.h"
#include "core/app/Session.h"
#include "core/config/UserInteraction.h"
#include "core/net/UserRequests.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

namespace mvr {

namespace {

#ifdef _WIN32
constexpr const char* kUpdateToolName = "KVLOUPDRUN.EXE";
#else
constexpr const char* kUpdateToolName = "KVLOUPDRUN";
#endif

} // namespace

std::optional<std::string> AccountCheckMessage(std::int32_t result) {
    std::string message = AccountResultMessage(result);
    if (message.empty()) {
        return std::nullopt;
    }
    return message;
}

AccountAcceptance AcceptAccount(std::string_view account, std::string_view password,
                                const RunFlag& run) {
    AccountAcceptance acceptance;
    acceptance.account = Truncated(account, kAccountFieldChars);
    acceptance.password = ToUpperAscii(Truncated(password, kAccountFieldChars));
    const std::int32_t result = CheckAccount(acceptance.account, acceptance.password, run);
    acceptance.accepted = result >= 1;
    if (!acceptance.accepted) {
        acceptance.message = AccountCheckMessage(result);
    }
    return acceptance;
}

void ApplyClientInfoAnswer(int result, const ClientInfo& info, AccountDialogView& view) {
    if (result < 0) {
        return;
    }
    if (result == 0) {
        view.message = kVersionCheckFailedText;
    }
    if (!info.message.empty()) {
        view.message = info.message;
    }
    view.updateButtonShown = info.updateAvailable;
    if (!info.infoAddress.empty()) {
        view.linkShown = true;
        view.linkTarget = info.infoAddress;
        view.linkCaption = info.linkCaption.empty() ? kDefaultLinkCaption : info.linkCaption;
    }
    if (info.updateMandatory) {
        view.updateButtonFocused = true;
        view.fieldsEnabled = false;
    } else {
        // The link belongs to a compulsory update only.
        view.linkShown = false;
    }
}

ClientCheckAction MainWindowCheckAction(int result, const ClientInfo& info) {
    if (result < 0) {
        return ClientCheckAction::None;
    }
    if (result == 0 || info.updateMandatory || !info.message.empty()) {
        return ClientCheckAction::AccountCommand;
    }
    return ClientCheckAction::ProcessCommandLine;
}

std::string UpdateToolPath(std::string_view executablePath) {
    if (executablePath.empty()) {
        return {};
    }
    return JoinPath(WithTrailingSeparator(ParentFolder(executablePath)), kUpdateToolName);
}

bool StartUpdateTool(std::string_view executablePath, CUserInteraction& interaction,
                     std::string& message) {
    const std::string tool = UpdateToolPath(executablePath);
    if (tool.empty()) {
        message = kUpdateToolPathError;
        return false;
    }
    if (!interaction.StartProgram(tool)) {
        message = kUpdateToolStartError;
        return false;
    }
    return true;
}

AccountCommandResult RunAccountCommand(CMVRKrsExpSession& session, CUserInteraction& interaction,
                                       const ClientInfo& info) {
    AccountDialogValues values{session.User().account, session.User().password, false};
    if (interaction.EditAccount(values)) {
        session.User().account = values.account;
        session.User().password = values.password;
        StoreConfigOrTell(session, interaction);
        return AccountCommandResult::Accepted;
    }
    // The update tool replaces the program's files, so the program makes way.
    if (info.updateAvailable && (values.updateToolStarted || info.updateMandatory)) {
        return AccountCommandResult::EndRun;
    }
    return AccountCommandResult::Cancelled;
}

} // namespace mvr
