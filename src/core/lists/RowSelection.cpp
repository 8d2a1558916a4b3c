#include "core/lists/RowSelection.h"

namespace mvr {

void CRowSelection::Reset(std::size_t rowCount) {
    selected_.assign(rowCount, false);
    count_ = 0;
    focus_.reset();
}

void CRowSelection::ClearAll() {
    Reset(selected_.size());
}

void CRowSelection::Select(std::size_t row, bool selected) {
    if (row >= selected_.size() || selected_[row] == selected) {
        return;
    }
    selected_[row] = selected;
    if (selected) {
        ++count_;
    } else {
        --count_;
    }
}

void CRowSelection::SelectOnly(std::size_t row) {
    ClearAll();
    Select(row);
    SetFocus(row);
}

std::vector<std::size_t> CRowSelection::Rows() const {
    std::vector<std::size_t> rows;
    rows.reserve(count_);
    for (std::size_t row = 0; row < selected_.size(); ++row) {
        if (selected_[row]) {
            rows.push_back(row);
        }
    }
    return rows;
}

void CRowSelection::SetFocus(std::optional<std::size_t> row) {
    focus_ = row && *row < selected_.size() ? row : std::nullopt;
}

void CRowSelection::Permute(std::span<const std::size_t> newToOld) {
    if (newToOld.size() != selected_.size()) {
        return;
    }
    std::vector<bool> moved(selected_.size(), false);
    std::size_t count = 0;
    std::optional<std::size_t> focus;
    for (std::size_t row = 0; row < newToOld.size(); ++row) {
        moved[row] = IsSelected(newToOld[row]);
        count += moved[row] ? 1 : 0;
        if (focus_ && newToOld[row] == *focus_) {
            focus = row;
        }
    }
    selected_ = std::move(moved);
    count_ = count;
    focus_ = focus;
}

void CRowSelection::InsertRow(std::size_t row) {
    if (row > selected_.size()) {
        return;
    }
    selected_.insert(selected_.begin() + static_cast<std::ptrdiff_t>(row), false);
    if (focus_ && *focus_ >= row) {
        ++*focus_;
    }
}

} // namespace mvr
