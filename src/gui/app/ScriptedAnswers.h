#pragma once

// The seam through which tests answer the message boxes of the window: while
// a CScriptedAnswers is installed in the interaction, no box is shown. A
// question takes the next queued answer (No when none is queued), a message
// is only recorded. Every text is kept, in order, for the test to read.

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace mvr::gui {

class CScriptedAnswers {
public:
    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    void QueueFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }

    bool TakeAnswer(const std::string& question);
    std::optional<std::string> TakeFolder(const std::string& title);
    void RecordMessage(const std::string& text) { texts_.push_back(text); }
    void RecordDocument(const std::string& path) { documents_.push_back(path); }

    // Questions, messages and folder-browser titles in the order they came.
    const std::vector<std::string>& Texts() const { return texts_; }
    const std::vector<std::string>& Documents() const { return documents_; }
    bool AllAnswersTaken() const { return answers_.empty() && folders_.empty(); }

private:
    std::deque<bool> answers_;
    std::deque<std::optional<std::string>> folders_;
    std::vector<std::string> texts_;
    std::vector<std::string> documents_;
};

} // namespace mvr::gui
