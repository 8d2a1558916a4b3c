#include "support/ScriptedInteraction.h"

#include <algorithm>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <sstream>
#include <thread>

namespace mvr::test {

namespace {

const char* IconName(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return "no icon";
    case MessageIcon::Question:
        return "question icon";
    case MessageIcon::Exclamation:
        return "exclamation icon";
    }
    return "?";
}

} // namespace

CScriptedInteraction::~CScriptedInteraction() {
    for (const Step& step : steps_) {
        ADD_FAILURE() << "announced but never came: " << Describe(step);
    }
}

const char* CScriptedInteraction::NameOf(Kind kind) {
    switch (kind) {
    case Kind::Question:
        return "question";
    case Kind::Message:
        return "message";
    case Kind::DirectoryEditor:
        return "directory editor";
    case Kind::InstrumentChoice:
        return "symbol search dialog";
    case Kind::AccountDialog:
        return "account dialog";
    case Kind::ListName:
        return "\"Add List\" dialog";
    case Kind::FolderBrowser:
        return "folder browser";
    case Kind::OpenDocument:
        return "document to open";
    case Kind::StartProgram:
        return "program to start";
    case Kind::SymbolDataEditor:
        return "symbol data editor";
    case Kind::CopyMoveDialog:
        return "copy/move dialog";
    case Kind::FindDialog:
        return "find dialog";
    case Kind::UpdateJob:
        return "update job dialog";
    }
    return "?";
}

std::string CScriptedInteraction::Describe(const Step& step) {
    std::ostringstream out;
    out << NameOf(step.kind);
    if (!step.text.empty()) {
        out << " \"" << step.text << "\"";
    }
    if (!step.detail.empty()) {
        out << " at \"" << step.detail << "\"";
    }
    if (step.kind == Kind::Question || step.kind == Kind::Message) {
        out << " with " << IconName(step.icon);
    }
    return out.str();
}

CScriptedInteraction& CScriptedInteraction::Add(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

CScriptedInteraction& CScriptedInteraction::ExpectQuestion(std::string text, MessageIcon icon,
                                                           bool yes) {
    Step step(Kind::Question);
    step.text = std::move(text);
    step.icon = icon;
    step.answer = yes;
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectMessage(std::string text, MessageIcon icon) {
    Step step(Kind::Message);
    step.text = std::move(text);
    step.icon = icon;
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectDirectoryEditor(EditorAnswer answer) {
    Step step(Kind::DirectoryEditor);
    step.editor = std::move(answer);
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectInstrumentChoice(SearchAnswer answer) {
    Step step(Kind::InstrumentChoice);
    step.search = std::move(answer);
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectAccountDialog(AccountAnswer answer) {
    Step step(Kind::AccountDialog);
    step.account = std::move(answer);
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectListName(std::optional<std::string> name) {
    Step step(Kind::ListName);
    step.choice = std::move(name);
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectFolderBrowser(std::string ownerTitle,
                                                                std::string initialFolder,
                                                                std::optional<std::string> choice) {
    Step step(Kind::FolderBrowser);
    step.text = std::move(ownerTitle);
    step.detail = std::move(initialFolder);
    step.choice = std::move(choice);
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectOpenDocument(std::string path, bool opened) {
    Step step(Kind::OpenDocument);
    step.text = std::move(path);
    step.answer = opened;
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectStartProgram(std::string path, bool started) {
    Step step(Kind::StartProgram);
    step.text = std::move(path);
    step.answer = started;
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectSymbolDataEditor(SymbolDataAnswer answer) {
    Step step(Kind::SymbolDataEditor);
    step.symbolData = std::move(answer);
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectCopyMoveDialog(CopyMoveAnswer answer) {
    Step step(Kind::CopyMoveDialog);
    step.copyMove = std::move(answer);
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectFindDialog(FindAnswer answer) {
    Step step(Kind::FindDialog);
    step.find = std::move(answer);
    return Add(std::move(step));
}

CScriptedInteraction& CScriptedInteraction::ExpectUpdateJob(UpdateJobAnswer answer) {
    Step step(Kind::UpdateJob);
    step.updateJob = std::move(answer);
    return Add(std::move(step));
}

std::optional<CScriptedInteraction::Step>
CScriptedInteraction::Take(Kind kind, const std::string& text, const std::string& detail,
                           std::optional<MessageIcon> icon) {
    Step seen(kind);
    seen.text = text;
    seen.detail = detail;
    seen.icon = icon.value_or(MessageIcon::None);
    if (steps_.empty()) {
        ADD_FAILURE() << "unexpected " << Describe(seen);
        return std::nullopt;
    }
    if (steps_.front().kind != kind) {
        ADD_FAILURE() << "expected " << Describe(steps_.front()) << ", got " << Describe(seen);
        return std::nullopt;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    if (step.text != text || step.detail != detail || (icon && step.icon != *icon)) {
        ADD_FAILURE() << "expected " << Describe(step) << ", got " << Describe(seen);
        return std::nullopt;
    }
    return step;
}

bool CScriptedInteraction::AskYesNo(const std::string& question, MessageIcon icon) {
    const auto step = Take(Kind::Question, question, "", icon);
    return step && step->answer;
}

void CScriptedInteraction::ShowMessage(const std::string& text, MessageIcon icon) {
    Take(Kind::Message, text, "", icon);
}

bool CScriptedInteraction::EditDirectory(DirectoryEditorValues& values) {
    const auto step = Take(Kind::DirectoryEditor, "", "", std::nullopt);
    if (!step) {
        return false;
    }
    // The answer works on a copy so that a cancelled editor changes nothing.
    DirectoryEditorValues edited = values;
    if (!step->editor(edited)) {
        return false;
    }
    values = std::move(edited);
    return true;
}

bool CScriptedInteraction::ChooseInstruments(SearchDialogState& state,
                                             std::vector<WATCH>& selection) {
    const auto step = Take(Kind::InstrumentChoice, "", "", std::nullopt);
    return step && step->search(state, selection);
}

bool CScriptedInteraction::EditAccount(AccountDialogValues& values) {
    const auto step = Take(Kind::AccountDialog, "", "", std::nullopt);
    return step && step->account(values);
}

bool CScriptedInteraction::AskListName(const std::vector<CMVRDirListInfo>&, std::string& name) {
    const auto step = Take(Kind::ListName, "", "", std::nullopt);
    if (!step || !step->choice) {
        return false;
    }
    name = *step->choice;
    return true;
}

std::optional<std::string> CScriptedInteraction::BrowseForFolder(const std::string& ownerTitle,
                                                                 const std::string& initialFolder) {
    const auto step = Take(Kind::FolderBrowser, ownerTitle, initialFolder, std::nullopt);
    return step ? step->choice : std::nullopt;
}

bool CScriptedInteraction::OpenDocument(const std::string& path) {
    const auto step = Take(Kind::OpenDocument, path, "", std::nullopt);
    return step && step->answer;
}

bool CScriptedInteraction::StartProgram(const std::string& path) {
    const auto step = Take(Kind::StartProgram, path, "", std::nullopt);
    return step && step->answer;
}

bool CScriptedInteraction::EditSymbolData(CSymbolDataEditor& editor) {
    const auto step = Take(Kind::SymbolDataEditor, "", "", std::nullopt);
    return step && step->symbolData(editor);
}

bool CScriptedInteraction::CopyOrMoveSymbols(CCopyMoveSymbols& dialog) {
    const auto step = Take(Kind::CopyMoveDialog, "", "", std::nullopt);
    return step && step->copyMove(dialog);
}

bool CScriptedInteraction::FindInstrument(CFindInstrumentInDirectories& dialog) {
    const auto step = Take(Kind::FindDialog, "", "", std::nullopt);
    return step && step->find(dialog);
}

bool CScriptedInteraction::RunUpdateJob(CUpdateJob& job) {
    const auto step = Take(Kind::UpdateJob, "", "", std::nullopt);
    return step && step->updateJob(job);
}

bool CScriptedInteraction::RunNetworkWork(const std::string& what,
                                          const std::function<void(const RunFlag&)>& work) {
    const auto start = std::chrono::steady_clock::now();
    std::thread canceller;
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    if (cancelAfter_) {
        canceller = std::thread([&, delay = *cancelAfter_] {
            std::unique_lock lock(mutex);
            if (!ended.wait_for(lock, delay, [&] { return done; })) {
                CancelNetworkWork();
            }
        });
    }
    const bool completed = CUserInteraction::RunNetworkWork(what, work);
    if (canceller.joinable()) {
        {
            std::lock_guard lock(mutex);
            done = true;
        }
        ended.notify_all();
        canceller.join();
    }
    longestWork_ = std::max(longestWork_, std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - start));
    return completed;
}

} // namespace mvr::test
