#pragma once

// Which rows of a list are selected and which row has the focus. The lists of
// the main window and of the search dialog keep their selection here so that
// commands read it without a view; the Qt views mirror it.

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace mvr {

class CRowSelection {
public:
    // A list of `rowCount` rows, none selected, none focused.
    void Reset(std::size_t rowCount);
    // Removes selection and focus from all rows.
    void ClearAll();

    std::size_t RowCount() const { return selected_.size(); }
    bool IsSelected(std::size_t row) const { return row < selected_.size() && selected_[row]; }
    // Rows outside the list are ignored.
    void Select(std::size_t row, bool selected = true);
    // Removes selection and focus from all rows, then selects and focuses `row`.
    void SelectOnly(std::size_t row);

    std::size_t Count() const { return count_; }
    // The selected rows in ascending order.
    std::vector<std::size_t> Rows() const;

    std::optional<std::size_t> Focus() const { return focus_; }
    void SetFocus(std::optional<std::size_t> row);

    // The states move with their rows when a list is reordered: new row i
    // takes the state of old row newToOld[i] (a permutation of the rows).
    void Permute(std::span<const std::size_t> newToOld);

    // A row inserted into the list at `row` (at most RowCount()), unselected:
    // the rows from there on keep their states one row further down.
    void InsertRow(std::size_t row);

private:
    std::vector<bool> selected_;
    std::size_t count_ = 0;
    std::optional<std::size_t> focus_;
};

// Sorting a list again keeps the same records selected: `rowOrder` holds the
// record index of each row, and `reorder` rebuilds it in place.
template <class Index, class Reorder>
void ReorderKeepingSelection(CRowSelection& selection, const std::vector<Index>& rowOrder,
                             Reorder reorder) {
    std::vector<bool> wasSelected(rowOrder.size(), false);
    for (const std::size_t row : selection.Rows()) {
        wasSelected[static_cast<std::size_t>(rowOrder[row])] = true;
    }
    selection.ClearAll();
    reorder();
    for (std::size_t row = 0; row < rowOrder.size(); ++row) {
        if (wasSelected[static_cast<std::size_t>(rowOrder[row])]) {
            selection.Select(row);
        }
    }
}

} // namespace mvr
