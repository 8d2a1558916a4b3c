#pragma once

// The symbol data editor: every stored price record of one symbol, shown one
// row per record, corrected one record at a time, split, deleted and
// downloaded again. It works on the store the main window read (not owned)
// and never writes a file: the main window writes the store on OK and drops
// it on Cancel.

#include "core/editing/EditPriceValues.h"
#include "core/formats/ExportDataFile.h"
#include "core/lists/RowSelection.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mvr {

class CUserInteraction;
struct ExportUserInfo;

inline constexpr const char* kSymbolDataCaption = "Symboldata";

class CSymbolDataEditor {
public:
    // The store and the settings (account and password for the download)
    // must outlive the editor.
    CSymbolDataEditor(CExportDataFile& store, const ExportUserInfo& user);

    // "Symboldata ABC,Alpha Beta Corp".
    std::string Caption() const;

    // Rebuilds the rows from the store: one per record, the last one selected
    // (and shown), no row focused.
    void Fill();
    std::size_t RowCount() const { return rows_; }
    std::string CellText(std::size_t row, int column) const;

    CRowSelection& Selection() { return selection_; }
    const CRowSelection& Selection() const { return selection_; }

    // The edit dialog's values for a double-clicked row; nothing for a
    // position that is no row.
    std::optional<CEditPriceValues> BeginEdit(std::int64_t row) const;
    // Writes what the edit dialog accepted back to its row's record.
    void EndEdit(std::size_t row, const CEditPriceValues& values);

    // The day the split dialog proposes: that of the first selected row, or
    // of the last record when none is selected; nothing without records (the
    // split does nothing then).
    std::optional<std::int32_t> ProposedSplitDay() const;
    // The factor it proposes: that of the split a jump of the close on the
    // proposed row suggests, otherwise 1.
    float ProposedSplitFactor() const;

    // What the health check finds in the stored file for a row's record, one
    // line per finding. Empty for a sound record, and for one that an edit,
    // a split or a download has changed since it was read.
    std::string_view RowFindings(std::size_t row) const;
    // Applies what the split dialog returned; the count of changed records.
    std::size_t Split(std::int32_t splitDay, float factor);

    // Asks whether to remove the selected records and removes them on Yes,
    // from the highest row down so that the remaining rows keep matching
    // their records. The count removed.
    std::size_t DeleteSelected(CUserInteraction& interaction);

    // Fetches the symbol's history from the server into the store through
    // the update job for this one symbol, whose dialog the interaction shows;
    // nothing is written to disk. When that dialog ends with OK the rows are
    // filled again and the result is true.
    bool Download(CUserInteraction& interaction);

    CExportDataFile& Store() { return store_; }
    const ExportUserInfo& User() const { return user_; }

private:
    struct StoredFinding {
        std::string text;
        float splitFactor = 1.0f; // of a jump; 1 otherwise
    };
    // Checks the file as stored: the store holds its bars corrected, which
    // hides some of the faults.
    void CheckStoredFile();
    const StoredFinding* FindingOfRow(std::size_t row) const;
    std::size_t ProposedSplitRow() const;

    CExportDataFile& store_;
    const ExportUserInfo& user_;
    std::size_t rows_ = 0;
    CRowSelection selection_;
    std::unordered_map<std::int32_t, StoredFinding> storedFindings_; // by position in the file
};

} // namespace mvr
