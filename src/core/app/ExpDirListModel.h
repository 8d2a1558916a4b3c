#pragma once

// The export directories as the main window's left-hand list shows them: one
// row per listed directory carrying its index in the directory array, the four
// column texts, the symbol counts, the sort by any column with its mixed
// text/number comparison, the check boxes of the active list and the selection.
// A view hears of every change of the rows through the observer: a fill and a
// sort reset the rows, new counts and check marks change the rows they touch.

#include "core/config/DirListInfo.h"
#include "core/config/ExportInfo.h"
#include "core/lists/ListObserver.h"
#include "core/lists/RowSelection.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

struct DirListColumn {
    const char* title;
    int width; // pixels; every column is left-aligned
};

// Two cell texts in the list's order: upper-cased and trimmed, they compare as
// numbers when one of them begins with a decimal number or with the digit 0
// (so 9 comes before 10), otherwise byte-wise as text; an empty text always
// compares as text. Negative, zero or positive.
int CompareListTexts(std::string_view a, std::string_view b);

class CExpDirListModel {
public:
    static constexpr int kColumnDirectory = 0;
    static constexpr int kColumnFormat = 1;
    static constexpr int kColumnSymbols = 2;
    static constexpr int kColumnCatalogue = 3;
    static constexpr int kColumnCount = 4;

    static std::span<const DirListColumn> Columns();

    // The view that mirrors the rows (not owned; null for none).
    void SetObserver(CListObserver* observer) { notifier_.SetObserver(observer); }

    // Rebuilds the rows from the array (not owned; it must outlive the rows or
    // be filled in again): every directory of the format, or all for -1, in
    // ascending order of its path, then sorted again by the current column.
    // Selection, focus and check marks are cleared; whether check boxes are
    // shown stays as it was.
    void FillDirectories(const std::vector<MVRKrsExportInfo>& directories,
                         std::int32_t formatFilter);
    // Counts every row's symbols again by opening its directory's index.
    void RefreshCounts(const std::vector<MVRKrsExportInfo>& directories);

    std::size_t RowCount() const { return rows_.size(); }
    // The row's index in the directory array, or -1 outside the rows.
    std::int32_t RowDirectory(std::int64_t row) const;
    std::int32_t RowSymbolCount(std::size_t row) const;
    // Path, format name, symbol count, catalogue name; empty outside the rows.
    std::string CellText(std::size_t row, int column) const;

    // The reaction to a click on a column header: the sorted column again
    // reverses the order. Selection and check marks move with their rows.
    void SortByColumn(int column);
    // The stored sort state; the next FillDirectories sorts by it.
    void SetSortState(int column, bool descending);
    int SortColumn() const { return sortColumn_; }
    bool IsDescending() const { return descending_; }

    bool ContainsDirectory(std::int32_t directoryIndex) const;
    // Removes selection and focus from all rows, then selects (without focus)
    // the first row of the directory. False when no row shows it.
    bool SelectDirectory(std::int32_t directoryIndex);

    CRowSelection& Selection() { return selection_; }
    const CRowSelection& Selection() const { return selection_; }
    // The directory indices of the selected rows, in row order.
    std::vector<std::int32_t> SelectedDirectories() const;

    // Check boxes are shown while a list is active: a row is ticked exactly
    // when the list holds its path (letter case ignored). Null hides them and
    // clears every mark.
    void ApplyActiveList(const CMVRDirListInfo* list);
    bool CheckBoxesShown() const { return checkBoxesShown_; }
    bool IsChecked(std::size_t row) const;
    void SetChecked(std::size_t row, bool checked);

    // The answer to symbols dragged over a row: refused when the row's
    // directory is linked to a catalogue or is the current directory. A
    // position that is no row (-1 while over no row) is not refused.
    bool RefusesDrop(std::int64_t row, std::int32_t currentDirectory) const;

private:
    struct Row {
        std::int32_t directory = 0;
        std::int32_t symbolCount = 0;
        bool checked = false;
        // The linked catalogue's name when the row was last shown, so that a
        // refresh knows whether the row's last cell changed.
        std::string catalogueShown;
    };

    const MVRKrsExportInfo* RecordOf(const Row& row) const;
    void Sort();
    void SortQuietly(int column);
    std::string CatalogueOf(const Row& row) const;

    int sortColumn_ = 0;
    bool descending_ = false;
    const std::vector<MVRKrsExportInfo>* source_ = nullptr;
    std::vector<Row> rows_;
    CRowSelection selection_;
    bool checkBoxesShown_ = false;
    CListNotifier notifier_;
};

} // namespace mvr
