#pragma once

// What the main window does when the user changes a selection rather than
// pressing a button: the lists box, the format box, a directory row becoming
// selected, a check box ticked or cleared. The window forwards the event
// and redisplays the session's models; every decision is made here.

#include <cstddef>
#include <cstdint>

namespace mvr {

class CMVRKrsExpSession;

class CMainWindowReactions {
public:
    explicit CMainWindowReactions(CMVRKrsExpSession& session) : session_(session) {}

    // The lists box's selection changed to `entry` (0: no active list): the
    // directory rows show the list's check boxes.
    void ChooseListEntry(std::int32_t entry);

    // The format box's selection changed to `entry`: the directory list is
    // filled again for the new filter, with no row selected; the symbol list
    // empties when the filter hides the current directory.
    void ChooseFormatEntry(std::size_t entry);

    // The directory list's selection changed: with exactly one row selected
    // that row's directory becomes the current one and its index is opened
    // into the symbol list; otherwise the symbol list shows nothing. False
    // when a single directory's index could not be loaded.
    bool DirectorySelectionChanged();

    // The user ticked or cleared a row's check box: the active list gains or
    // loses the row's directory, written at the next store of the
    // configuration. Ignored (false, the mark unchanged) with no active list
    // or outside the rows; true when the list changed.
    bool CheckBoxChanged(std::size_t row, bool checked);

private:
    void ShowNoSymbols();

    CMVRKrsExpSession& session_;
};

} // namespace mvr
