#include "core/search/SearchResultListModel.h"

#include "core/net/InstrumentRecord.h"
#include "core/net/ReferenceTables.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace mvr {

namespace {

constexpr std::array<SearchResultColumn, CSearchResultListModel::kColumnCount> kColumns{{
    {"Name", 200},
    {"Symbol", 80},
    {"Exchange", 80},
    {"Sec. Type", 80},
    {"Currency", 80},
    {"ISIN", 110},
}};

int CompareNumbers(std::uint16_t a, std::uint16_t b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

std::span<const SearchResultColumn> CSearchResultListModel::Columns() {
    return kColumns;
}

CSearchResultListModel::CSearchResultListModel(const ReferenceTables& tables,
                                               const CTickClock& clock)
    : tables_(tables), typeAhead_(clock) {}

void CSearchResultListModel::SetResults(const std::vector<WATCH>* results) {
    const auto reset = notifier_.Reset();
    results_ = results;
    rowOrder_.resize(results_ ? results_->size() : 0);
    selection_.Reset(rowOrder_.size());
    typeAhead_.Reset();
    RebuildOrder();
}

void CSearchResultListModel::SetSortState(int column, bool ascending) {
    if (column < kUnsorted || column >= kColumnCount) {
        return;
    }
    sortColumn_ = column;
    ascending_ = ascending;
}

const WATCH* CSearchResultListModel::RecordOfRow(std::size_t row) const {
    if (row >= rowOrder_.size() || results_ == nullptr || rowOrder_[row] >= results_->size()) {
        return nullptr;
    }
    return &(*results_)[rowOrder_[row]];
}

std::string CSearchResultListModel::CellText(std::size_t row, int column) const {
    const WATCH* record = RecordOfRow(row);
    if (record == nullptr) {
        return {};
    }
    switch (column) {
    case kColumnName:
        return record->name;
    case kColumnSymbol:
        return record->symbol;
    case kColumnExchange:
        return tables_.ExchangeName(record->exchange);
    case kColumnSecurityType:
        return tables_.SecurityTypeName(record->securityType);
    case kColumnCurrency:
        return record->currency;
    case kColumnIsin:
        return record->isin;
    default:
        return {};
    }
}

// Exchanges and security types by their numbers, not by their names.
int CSearchResultListModel::CompareRecords(const WATCH& a, const WATCH& b) const {
    switch (sortColumn_) {
    case kColumnName:
        return CompareIgnoreCase(a.name, b.name);
    case kColumnSymbol:
        return CompareIgnoreCase(a.symbol, b.symbol);
    case kColumnExchange:
        return CompareNumbers(a.exchange, b.exchange);
    case kColumnSecurityType:
        return CompareNumbers(a.securityType, b.securityType);
    case kColumnCurrency:
        return CompareIgnoreCase(a.currency, b.currency);
    case kColumnIsin:
        return CompareIgnoreCase(a.isin, b.isin);
    default:
        return 0;
    }
}

void CSearchResultListModel::RebuildOrder() {
    std::iota(rowOrder_.begin(), rowOrder_.end(), std::size_t{0});
    if (sortColumn_ == kUnsorted || results_ == nullptr) {
        return;
    }
    // Stable, so that equal keys keep their arrival order.
    std::stable_sort(rowOrder_.begin(), rowOrder_.end(), [this](std::size_t a, std::size_t b) {
        const int order = CompareRecords((*results_)[a], (*results_)[b]);
        return ascending_ ? order < 0 : order > 0;
    });
}

void CSearchResultListModel::SortByColumn(int column) {
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    const auto reset = notifier_.Reset();
    ReorderKeepingSelection(selection_, rowOrder_, [&] {
        if (column == sortColumn_) {
            ascending_ = !ascending_;
        }
        sortColumn_ = column;
        RebuildOrder();
    });
    typeAhead_.Reset();
}

std::vector<WATCH> CSearchResultListModel::SelectedRecords() const {
    std::vector<WATCH> records;
    for (const std::size_t row : selection_.Rows()) {
        if (const WATCH* record = RecordOfRow(row)) {
            records.push_back(*record);
        }
    }
    return records;
}

TypeAheadResult CSearchResultListModel::TypeAhead(char character, bool ctrlDown) {
    TypeAheadRows rows;
    rows.sorted = sortColumn_ != kUnsorted;
    rows.descending = !ascending_;
    rows.count = rowOrder_.size();
    // Only the name and the symbol are searched; for other columns every row matches.
    if (sortColumn_ == kColumnName || sortColumn_ == kColumnSymbol) {
        rows.compare = NameOrSymbolKey(sortColumn_ == kColumnName,
                                       [this](std::size_t row) { return RecordOfRow(row); });
    }
    const TypeAheadResult result = typeAhead_.TypeAndSelect(character, ctrlDown, rows, selection_);
    if (result.taken) {
        notifier_.SelectionChanged();
    }
    return result;
}

} // namespace mvr
