#include "core/editing/ExpSymbolListModel.h"

#include "core/editing/SymbolMatch.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/OleDate.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace mvr {

namespace {

constexpr std::array<SymbolListColumn, CExpSymbolListModel::kColumnCount> kColumns{{
    {"Name", 200},
    {"Symbol", 80},
    {"From", 80},
    {"To", 80},
}};

std::string DateCellText(double oleDate) {
    SystemTime time;
    if (oleDate == 0.0 || !VariantTimeToSystemTime(oleDate, &time)) {
        return {};
    }
    char text[32];
    std::snprintf(text, sizeof text, "%02ld/%02ld/%04ld", static_cast<long>(time.day),
                  static_cast<long>(time.month), static_cast<long>(time.year));
    return text;
}

// Whole days between the dates, truncated toward zero: dates less than one
// day apart are equal. Written without a cast to an integer so that a damaged
// index (NaN, infinities) cannot overflow it.
int CompareDays(double a, double b) {
    const double days = std::trunc(a - b);
    return days > 0.0 ? 1 : (days < 0.0 ? -1 : 0);
}

} // namespace

std::span<const SymbolListColumn> CExpSymbolListModel::Columns() {
    return kColumns;
}

CExpSymbolListModel::CExpSymbolListModel(const CTickClock& clock) : typeAhead_(clock) {}

void CExpSymbolListModel::SetDirectory(const CExportDirectory* directory) {
    const auto reset = notifier_.Reset();
    directory_ = directory;
    ShowDirectory();
}

void CExpSymbolListModel::ShowDirectory() {
    ++generation_;
    health_.clear();
    rowOrder_.assign(directory_ ? directory_->SymbolCount() : 0, 0);
    selection_.Reset(rowOrder_.size());
    typeAhead_.Reset();
    // Inverted here so that sorting the current column restores the direction.
    ascending_ = !ascending_;
    SortQuietly(sortColumn_);
}

void CExpSymbolListModel::SymbolsAppended() {
    const std::size_t count = directory_ ? directory_->SymbolCount() : 0;
    if (count < rowOrder_.size()) {
        const auto reset = notifier_.Reset();
        ShowDirectory();
        return;
    }
    const bool sorted = sortColumn_ != kUnsorted;
    for (std::size_t index = rowOrder_.size(); index < count; ++index) {
        const auto symbol = static_cast<std::int32_t>(index);
        // After the rows of equal keys, as the stable sort of the whole array
        // would place a symbol that comes last in the array.
        const auto at = sorted ? std::upper_bound(rowOrder_.begin(), rowOrder_.end(), symbol,
                                                  [this](std::int32_t a, std::int32_t b) {
                                                      const int order = CompareRows(a, b);
                                                      return ascending_ ? order < 0 : order > 0;
                                                  })
                               : rowOrder_.end();
        const auto row = static_cast<std::size_t>(at - rowOrder_.begin());
        notifier_.AboutToInsert(row, row);
        rowOrder_.insert(at, symbol);
        selection_.InsertRow(row);
        notifier_.Inserted(row, row);
    }
    typeAhead_.Reset();
}

void CExpSymbolListModel::SetSortState(int column, bool ascending) {
    if (column < kUnsorted || column >= kColumnCount) {
        return;
    }
    sortColumn_ = column;
    ascending_ = ascending;
}

std::string CExpSymbolListModel::CellText(std::size_t row, int column) const {
    const ExportSymbolInfo* symbol = SymbolOfRow(row);
    if (symbol == nullptr) {
        return {};
    }
    switch (column) {
    case kColumnName:
        return symbol->name;
    case kColumnSymbol:
        return FullSymbolText(*symbol);
    case kColumnFrom:
        return DateCellText(symbol->firstDate);
    case kColumnTo:
        return DateCellText(symbol->lastDate);
    default:
        return {};
    }
}

std::int32_t CExpSymbolListModel::RowToSymbol(std::int64_t row) const {
    if (row < 0 || static_cast<std::uint64_t>(row) >= rowOrder_.size()) {
        return -1;
    }
    return rowOrder_[static_cast<std::size_t>(row)];
}

const ExportSymbolInfo* CExpSymbolListModel::SymbolOfRow(std::size_t row) const {
    const std::int32_t index = RowToSymbol(static_cast<std::int64_t>(row));
    // The directory may have changed since SetDirectory; such rows show nothing.
    if (index < 0 || directory_ == nullptr ||
        static_cast<std::size_t>(index) >= directory_->SymbolCount()) {
        return nullptr;
    }
    return &directory_->GetSymbol(static_cast<std::size_t>(index));
}

int CExpSymbolListModel::CompareRows(std::int32_t a, std::int32_t b) const {
    const ExportSymbolInfo& x = directory_->GetSymbol(static_cast<std::size_t>(a));
    const ExportSymbolInfo& y = directory_->GetSymbol(static_cast<std::size_t>(b));
    switch (sortColumn_) {
    case kColumnName:
        return CompareIgnoreCase(x.name, y.name);
    case kColumnSymbol:
        return CompareIgnoreCase(FullSymbolText(x), FullSymbolText(y));
    case kColumnFrom:
        return CompareDays(x.firstDate, y.firstDate);
    case kColumnTo:
        return CompareDays(x.lastDate, y.lastDate);
    default:
        return 0;
    }
}

void CExpSymbolListModel::RebuildOrder() {
    std::iota(rowOrder_.begin(), rowOrder_.end(), 0);
    if (sortColumn_ == kUnsorted || directory_ == nullptr ||
        rowOrder_.size() > directory_->SymbolCount()) {
        return;
    }
    // A stable sort: the whole-day comparison of dates is not transitive, and
    // a merge sort stays within its range whatever the comparison says.
    std::stable_sort(rowOrder_.begin(), rowOrder_.end(), [this](std::int32_t a, std::int32_t b) {
        const int order = CompareRows(a, b);
        return ascending_ ? order < 0 : order > 0;
    });
}

void CExpSymbolListModel::SortByColumn(int column) {
    if (column < kUnsorted || column >= kColumnCount) {
        return;
    }
    const auto reset = notifier_.Reset();
    SortQuietly(column);
}

void CExpSymbolListModel::SortQuietly(int column) {
    ReorderKeepingSelection(selection_, rowOrder_, [&] {
        if (column == sortColumn_) {
            ascending_ = !ascending_;
        }
        sortColumn_ = column;
        RebuildOrder();
    });
    typeAhead_.Reset();
}

TypeAheadResult CExpSymbolListModel::TypeAhead(char character, bool ctrlDown) {
    TypeAheadRows rows;
    rows.sorted = sortColumn_ != kUnsorted;
    rows.descending = !ascending_;
    rows.count = rowOrder_.size();
    if (sortColumn_ == kColumnName) {
        rows.compare = NameOrSymbolKey(true, [this](std::size_t row) { return SymbolOfRow(row); });
    } else if (sortColumn_ == kColumnSymbol) {
        // By the full text the column shows, which the records' own field may cut.
        rows.compare = [this](std::size_t row, std::string_view text) {
            const ExportSymbolInfo* symbol = SymbolOfRow(row);
            return symbol == nullptr ? 0 : ComparePrefixIgnoreCase(FullSymbolText(*symbol), text);
        };
    }
    const TypeAheadResult result = typeAhead_.TypeAndSelect(character, ctrlDown, rows, selection_);
    if (result.taken) {
        notifier_.SelectionChanged();
    }
    return result;
}

std::optional<std::size_t> CExpSymbolListModel::SelectMatching(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    const std::string wanted = ToLowerAscii(text);
    selection_.ClearAll();
    std::optional<std::size_t> only;
    for (std::size_t row = 0; row < rowOrder_.size(); ++row) {
        const ExportSymbolInfo* symbol = SymbolOfRow(row);
        if (symbol != nullptr && SymbolMatchesText(*symbol, wanted)) {
            selection_.Select(row);
            only = row;
        }
    }
    notifier_.SelectionChanged();
    return selection_.Count() == 1 ? only : std::nullopt;
}

void CExpSymbolListModel::ClearSelection() {
    if (selection_.Count() == 0 && !selection_.Focus()) {
        return;
    }
    selection_.ClearAll();
    notifier_.SelectionChanged();
}

void CExpSymbolListModel::SetHealth(std::uint64_t generation, std::vector<SymbolHealth> health) {
    if (generation != generation_) {
        return;
    }
    health_ = std::move(health);
    if (!rowOrder_.empty()) {
        notifier_.Changed(0, rowOrder_.size() - 1);
    }
}

const SymbolHealth* CExpSymbolListModel::HealthOfRow(std::size_t row) const {
    const std::int32_t symbol = RowToSymbol(static_cast<std::int64_t>(row));
    if (symbol < 0 || static_cast<std::size_t>(symbol) >= health_.size()) {
        return nullptr;
    }
    return &health_[static_cast<std::size_t>(symbol)];
}

} // namespace mvr
