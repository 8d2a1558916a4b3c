#pragma once

// Writes down every notification of a list model as one line, together with
// what a probe reads from the model at that moment, so that a test can check
// both the order of the calls and that each "about to" call still sees the
// old rows.

#include "core/lists/ListObserver.h"

#include <functional>
#include <string>
#include <vector>

namespace mvr::test {

class RecordingListObserver : public CListObserver {
public:
    // Read from the model at every call, e.g. its row count or a column.
    std::function<std::string()> probe;
    std::vector<std::string> calls;

    void RowsAboutToBeInserted(std::size_t first, std::size_t last) override {
        Note("about to insert", first, last);
    }
    void RowsInserted(std::size_t first, std::size_t last) override {
        Note("inserted", first, last);
    }
    void RowsAboutToBeRemoved(std::size_t first, std::size_t last) override {
        Note("about to remove", first, last);
    }
    void RowsRemoved(std::size_t first, std::size_t last) override { Note("removed", first, last); }
    void RowsChanged(std::size_t first, std::size_t last) override { Note("changed", first, last); }
    void ModelAboutToBeReset() override { Note("about to reset"); }
    void ModelReset() override { Note("reset"); }
    void SelectionChanged() override { Note("selection"); }

    // The calls so far, then forgets them.
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

private:
    void Note(const std::string& what, std::size_t first, std::size_t last) {
        Note(what + " " + std::to_string(first) + "-" + std::to_string(last));
    }
    void Note(std::string line) {
        if (probe) {
            line += " | " + probe();
        }
        calls.push_back(std::move(line));
    }
};

} // namespace mvr::test
