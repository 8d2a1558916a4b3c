#pragma once

// The find dialog: the directories whose index holds a symbol that a typed
// text finds, each with the number of such symbols. Only the indexes are
// read, never a price file, and no server is asked.

#include "core/app/ExpDirListModel.h"
#include "core/config/ExportInfo.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CMVRKrsExpSession;
class CUserInteraction;

inline constexpr const char* kFindInstrumentCaption = "Find Instrument";

class CFindInstrumentInDirectories {
public:
    static constexpr std::int32_t kNoResult = -1;

    // A copy of the directory records, taken now.
    explicit CFindInstrumentInDirectories(std::vector<MVRKrsExportInfo> directories);
    CFindInstrumentInDirectories(const CFindInstrumentInDirectories&) = delete;
    CFindInstrumentInDirectories& operator=(const CFindInstrumentInDirectories&) = delete;

    // "Find": opens every directory's index and lists the directories with
    // matches (a directory whose index cannot be opened has none). An empty
    // text changes nothing and gives false.
    bool Find(std::string_view text);

    // The copies of the matching directory records, in array order, each
    // with its symbol count replaced by its number of matches.
    const std::vector<MVRKrsExportInfo>& Hits() const { return hits_; }
    // The result list over the hits; its rows' directory indices are indices into Hits().
    CExpDirListModel& ResultList() { return resultList_; }
    const CExpDirListModel& ResultList() const { return resultList_; }

    // OK: the directory of the first selected result row, or kNoResult when
    // no row is selected.
    void Accept();
    // A double click on a result row: that row becomes the result at once.
    void AcceptRow(std::size_t row);

    // After OK: the chosen directory's index in the directory array (the first
    // record with exactly the hit's path), or kNoResult.
    std::int32_t ResultIndex() const { return resultIndex_; }
    // The text of the last search, as typed.
    const std::string& ResultText() const { return resultText_; }

private:
    std::vector<MVRKrsExportInfo> directories_;
    std::vector<MVRKrsExportInfo> hits_;
    CExpDirListModel resultList_;
    std::int32_t resultIndex_ = kNoResult;
    std::string resultText_;
};

// The main window's "S" button: shows the dialog and, when it names a
// directory, selects it in the directory list, makes it the current
// directory and selects its matching symbols. True when a directory was chosen
// and is shown.
bool FindInstrumentCommand(CMVRKrsExpSession& session, CUserInteraction& interaction);

} // namespace mvr
