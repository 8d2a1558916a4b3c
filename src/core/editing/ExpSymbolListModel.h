#pragma once

// The symbols of one export directory as the main window's right-hand list
// shows them: a row order over the directory's symbol array (the records are
// never copied; sorting permutes 32-bit indices), the cell texts, the sort by
// column, type-ahead, the selection and the selection of matching symbols.
// The model never changes the directory. A view hears of every change of the
// rows through the observer: a new directory and a sort reset the rows.

#include "core/health/SymbolHealth.h"
#include "core/lists/ListObserver.h"
#include "core/lists/RowSelection.h"
#include "core/lists/TypeAhead.h"
#include "core/platform/TickClock.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CExportDirectory;
struct ExportSymbolInfo;

struct SymbolListColumn {
    const char* title;
    int width; // pixels; every column is left-aligned
};

class CExpSymbolListModel {
public:
    static constexpr int kUnsorted = -1;
    static constexpr int kColumnName = 0;
    static constexpr int kColumnSymbol = 1;
    static constexpr int kColumnFrom = 2;
    static constexpr int kColumnTo = 3;
    static constexpr int kColumnCount = 4;

    static std::span<const SymbolListColumn> Columns();

    explicit CExpSymbolListModel(const CTickClock& clock = SystemTickClock());

    // The view that mirrors the rows (not owned; null for none).
    void SetObserver(CListObserver* observer) { notifier_.SetObserver(observer); }

    // Makes the directory (not owned; null for none) the rows' source: as many
    // rows as it has symbols, no selection, sorted again by the current column
    // in the current direction. Called again after every change of its symbols.
    void SetDirectory(const CExportDirectory* directory);
    const CExportDirectory* Directory() const { return directory_; }
    // The directory's array grew at its end (AddSymbol appends): each new
    // symbol gets a row of its own at its place in the sort order, announced
    // as one inserted row; the other rows keep their selection. Any other
    // change of the array shows the directory again as SetDirectory does.
    void SymbolsAppended();

    std::size_t RowCount() const { return rowOrder_.size(); }
    // Name, symbol, first date, last date ("dd/mm/yyyy", empty for 0.0).
    std::string CellText(std::size_t row, int column) const;
    // The directory's symbol index shown in the row, or -1 outside the rows.
    std::int32_t RowToSymbol(std::int64_t row) const;
    // The symbol record of the row, or null outside the rows.
    const ExportSymbolInfo* SymbolOfRow(std::size_t row) const;

    // The reaction to a click on a column header: the sorted column again
    // reverses the direction, another column is sorted in the current
    // direction. The selected symbols stay selected at their new rows.
    void SortByColumn(int column);
    int SortColumn() const { return sortColumn_; }
    bool IsAscending() const { return ascending_; }
    // The stored sort state, applied by the next SetDirectory. Values outside
    // the columns are ignored.
    void SetSortState(int column, bool ascending);

    CRowSelection& Selection() { return selection_; }
    const CRowSelection& Selection() const { return selection_; }
    std::size_t GetSelectedCount() const { return selection_.Count(); }

    // A character typed while the list has the focus. Selects and focuses the
    // row found; a character not taken goes to the view's default handling.
    TypeAheadResult TypeAhead(char character, bool ctrlDown);

    // Selects every row whose symbol equals the text or whose name contains it
    // (letter case ignored). Returns the row to scroll to when exactly one row
    // was selected. An empty text changes nothing.
    std::optional<std::size_t> SelectMatching(std::string_view text);
    // Removes selection and focus from all rows.
    void ClearSelection();

    // The health of the symbols' stored prices, checked off the window's
    // thread. Every directory shown (and every other change of its symbol
    // array) starts a new generation without marks; results of an earlier
    // generation are dropped, so that a slow check never marks the wrong
    // symbols. Result i belongs to the directory's symbol i.
    std::uint64_t Generation() const { return generation_; }
    void SetHealth(std::uint64_t generation, std::vector<SymbolHealth> health);
    // Null while unknown: not checked yet, or a symbol added since.
    const SymbolHealth* HealthOfRow(std::size_t row) const;

private:
    int CompareRows(std::int32_t a, std::int32_t b) const;
    void RebuildOrder();
    void ShowDirectory();
    void SortQuietly(int column);

    int sortColumn_ = kUnsorted;
    bool ascending_ = true;
    const CExportDirectory* directory_ = nullptr;
    std::vector<std::int32_t> rowOrder_; // row -> symbol index
    std::uint64_t generation_ = 0;
    std::vector<SymbolHealth> health_; // by symbol index
    CRowSelection selection_;
    CTypeAhead typeAhead_;
    CListNotifier notifier_;
};

} // namespace mvr
