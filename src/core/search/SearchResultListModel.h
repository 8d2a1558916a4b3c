#pragma once

// The result list of the symbol search as its view shows it: a row order over
// the results (the records are never copied; sorting permutes indices), the
// six cell texts with the exchange and security-type names of the reference
// tables, the sort by column, type-ahead and the selection that OK hands on.
// New results and a sort reset the rows for the view that observes them.

#include "core/lists/ListObserver.h"
#include "core/lists/RowSelection.h"
#include "core/lists/TypeAhead.h"
#include "core/platform/TickClock.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mvr {

struct ReferenceTables;
struct WATCH;

struct SearchResultColumn {
    const char* title;
    int width; // pixels
};

class CSearchResultListModel {
public:
    static constexpr int kUnsorted = -1;
    static constexpr int kColumnName = 0;
    static constexpr int kColumnSymbol = 1;
    static constexpr int kColumnExchange = 2;
    static constexpr int kColumnSecurityType = 3;
    static constexpr int kColumnCurrency = 4;
    static constexpr int kColumnIsin = 5;
    static constexpr int kColumnCount = 6;

    static std::span<const SearchResultColumn> Columns();

    // The tables give the names of exchanges and security types; both must
    // outlive the model.
    CSearchResultListModel(const ReferenceTables& tables,
                           const CTickClock& clock = SystemTickClock());

    // The view that mirrors the rows (not owned; null for none).
    void SetObserver(CListObserver* observer) { notifier_.SetObserver(observer); }

    // Shows the results (not owned; null for none): one row per record, no
    // selection, sorted by the sort column when there is one. Called again
    // whenever the results change.
    void SetResults(const std::vector<WATCH>* results);

    std::size_t RowCount() const { return rowOrder_.size(); }
    // The record of the row, or null outside the rows.
    const WATCH* RecordOfRow(std::size_t row) const;
    // Empty outside the rows and for numbers the tables do not name.
    std::string CellText(std::size_t row, int column) const;

    // A click on the sorted column reverses the direction; another column is
    // sorted in the current direction. Selected records stay selected.
    void SortByColumn(int column);
    // The stored sort state, applied by the next SetResults; values outside
    // the columns are ignored.
    void SetSortState(int column, bool ascending);
    int SortColumn() const { return sortColumn_; }
    bool IsAscending() const { return ascending_; }

    CRowSelection& Selection() { return selection_; }
    const CRowSelection& Selection() const { return selection_; }
    // The records of the selected rows in ascending row order: what OK hands on.
    std::vector<WATCH> SelectedRecords() const;

    // A character typed while the list has the focus; selects and focuses the
    // row found.
    TypeAheadResult TypeAhead(char character, bool ctrlDown);

private:
    int CompareRecords(const WATCH& a, const WATCH& b) const;
    void RebuildOrder();

    const ReferenceTables& tables_;
    const std::vector<WATCH>* results_ = nullptr;
    int sortColumn_ = kUnsorted;
    bool ascending_ = true;
    std::vector<std::size_t> rowOrder_; // row -> index into the results
    CRowSelection selection_;
    CTypeAhead typeAhead_;
    CListNotifier notifier_;
};

} // namespace mvr
