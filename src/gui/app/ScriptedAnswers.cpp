#include "gui/app/ScriptedAnswers.h"

namespace mvr::gui {

bool CScriptedAnswers::TakeAnswer(const std::string& question) {
    texts_.push_back(question);
    if (answers_.empty()) {
        return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

std::optional<std::string> CScriptedAnswers::TakeFolder(const std::string& title) {
    texts_.push_back(title);
    if (folders_.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> folder = std::move(folders_.front());
    folders_.pop_front();
    return folder;
}

} // namespace mvr::gui
