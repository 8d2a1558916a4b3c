#include "core/app/ExpDirListModel.h"

#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numeric>

namespace mvr {

namespace {

constexpr std::array<DirListColumn, CExpDirListModel::kColumnCount> kColumns{{
    {"Directory", 180},
    {"Format", 150},
    {"No. Symbols", 40},
    {"linked catalog", 130},
}};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
    }
    return i;
}

// The decimal number at the start of the text, 0 when there is none. Only the
// plain decimal syntax counts (sign, digits, fraction, exponent): hexadecimal
// forms, "INF" and "NAN" would turn names such as "Infineon" or "Nanotech" into
// numbers, and NaN would leave the order undefined. Independent of the locale.
double LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    const std::size_t integerEnd = SkipDigits(text, i);
    std::size_t end = integerEnd;
    bool digits = integerEnd > i;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = SkipDigits(text, end + 1);
        digits = digits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!digits) {
        return 0.0;
    }
    bool negativeExponent = false;
    if (end < text.size() && (text[end] == 'E' || text[end] == 'e')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            negativeExponent = text[exponent] == '-';
            ++exponent;
        }
        const std::size_t exponentEnd = SkipDigits(text, exponent);
        if (exponentEnd > exponent) {
            end = exponentEnd;
        }
    }
    // from_chars takes no leading plus sign.
    const std::size_t start = text[0] == '+' ? 1 : 0;
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(text.data() + start, text.data() + end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const bool negative = text[0] == '-';
        value = negativeExponent ? 0.0 : (negative ? -HUGE_VAL : HUGE_VAL);
    }
    return value;
}

int CompareNumbers(double a, double b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

std::int32_t CountSymbols(const MVRKrsExportInfo& record) {
    CExportDirectory directory(record.formatType);
    if (!directory.Open(record.path, record.formatType)) {
        return 0;
    }
    return static_cast<std::int32_t>(directory.SymbolCount());
}

} // namespace

int CompareListTexts(std::string_view a, std::string_view b) {
    const std::string x = ToUpperAscii(TrimBlanks(a));
    const std::string y = ToUpperAscii(TrimBlanks(b));
    const double numberX = LeadingNumber(x);
    const double numberY = LeadingNumber(y);
    const bool asText =
        x.empty() || y.empty() || (numberX == 0.0 && numberY == 0.0 && x[0] != '0' && y[0] != '0');
    return asText ? CompareIgnoreCase(x, y) : CompareNumbers(numberX, numberY);
}

std::span<const DirListColumn> CExpDirListModel::Columns() {
    return kColumns;
}

void CExpDirListModel::FillDirectories(const std::vector<MVRKrsExportInfo>& directories,
                                       std::int32_t formatFilter) {
    const auto reset = notifier_.Reset();
    source_ = &directories;
    rows_.clear();
    for (std::size_t i = 0; i < directories.size(); ++i) {
        const MVRKrsExportInfo& record = directories[i];
        if (formatFilter != -1 && formatFilter != record.formatType) {
            continue;
        }
        // Counts that a caller put into the records (the find dialog's copies)
        // are shown as they are.
        Row row;
        row.directory = static_cast<std::int32_t>(i);
        row.symbolCount = formatFilter == -1 && record.symbolCount > 0 ? record.symbolCount
                                                                       : CountSymbols(record);
        row.catalogueShown = record.catalogueName;
        const auto at =
            std::upper_bound(rows_.begin(), rows_.end(), row, [&](const Row& a, const Row& b) {
                return CompareIgnoreCase(directories[a.directory].path,
                                         directories[b.directory].path) < 0;
            });
        rows_.insert(at, row);
    }
    selection_.Reset(rows_.size());
    // Inverted here so that sorting the current column restores the direction.
    descending_ = !descending_;
    SortQuietly(sortColumn_);
}

void CExpDirListModel::RefreshCounts(const std::vector<MVRKrsExportInfo>& directories) {
    source_ = &directories;
    std::vector<bool> changed(rows_.size(), false);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        const MVRKrsExportInfo* record = RecordOf(row);
        const std::int32_t count = record ? CountSymbols(*record) : 0;
        std::string catalogue = CatalogueOf(row);
        changed[i] = count != row.symbolCount || catalogue != row.catalogueShown;
        row.symbolCount = count;
        row.catalogueShown = std::move(catalogue);
    }
    notifier_.ChangedRuns(changed);
}

std::string CExpDirListModel::CatalogueOf(const Row& row) const {
    const MVRKrsExportInfo* record = RecordOf(row);
    return record ? record->catalogueName : std::string();
}

const MVRKrsExportInfo* CExpDirListModel::RecordOf(const Row& row) const {
    if (source_ == nullptr || row.directory < 0 ||
        static_cast<std::size_t>(row.directory) >= source_->size()) {
        return nullptr;
    }
    return &(*source_)[static_cast<std::size_t>(row.directory)];
}

std::int32_t CExpDirListModel::RowDirectory(std::int64_t row) const {
    if (row < 0 || static_cast<std::uint64_t>(row) >= rows_.size()) {
        return -1;
    }
    return rows_[static_cast<std::size_t>(row)].directory;
}

std::int32_t CExpDirListModel::RowSymbolCount(std::size_t row) const {
    return row < rows_.size() ? rows_[row].symbolCount : 0;
}

std::string CExpDirListModel::CellText(std::size_t row, int column) const {
    if (row >= rows_.size()) {
        return {};
    }
    const MVRKrsExportInfo* record = RecordOf(rows_[row]);
    if (record == nullptr) {
        return {};
    }
    switch (column) {
    case kColumnDirectory:
        return record->path;
    case kColumnFormat:
        return FormatDisplayName(record->formatType);
    case kColumnSymbols:
        return std::to_string(rows_[row].symbolCount);
    case kColumnCatalogue:
        return record->catalogueName;
    default:
        return {};
    }
}

void CExpDirListModel::SortByColumn(int column) {
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    const auto reset = notifier_.Reset();
    SortQuietly(column);
}

void CExpDirListModel::SortQuietly(int column) {
    if (column == sortColumn_) {
        descending_ = !descending_;
    }
    sortColumn_ = column;
    Sort();
}

void CExpDirListModel::SetSortState(int column, bool descending) {
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    sortColumn_ = column;
    descending_ = descending;
}

void CExpDirListModel::Sort() {
    std::vector<std::string> texts(rows_.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        texts[row] = CellText(row, sortColumn_);
    }
    std::vector<std::size_t> newToOld(rows_.size());
    std::iota(newToOld.begin(), newToOld.end(), 0);
    // The mixed comparison is not transitive (text against number); a merge
    // sort stays within its range whatever the comparison says, and keeps
    // rows that compare equal in the order of their paths.
    std::stable_sort(newToOld.begin(), newToOld.end(), [&](std::size_t a, std::size_t b) {
        const int order = CompareListTexts(texts[a], texts[b]);
        return descending_ ? order > 0 : order < 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (const std::size_t old : newToOld) {
        sorted.push_back(rows_[old]);
    }
    rows_ = std::move(sorted);
    selection_.Permute(newToOld);
}

bool CExpDirListModel::ContainsDirectory(std::int32_t directoryIndex) const {
    return std::any_of(rows_.begin(), rows_.end(),
                       [&](const Row& row) { return row.directory == directoryIndex; });
}

bool CExpDirListModel::SelectDirectory(std::int32_t directoryIndex) {
    selection_.ClearAll();
    bool found = false;
    for (std::size_t row = 0; row < rows_.size() && !found; ++row) {
        if (rows_[row].directory == directoryIndex) {
            selection_.Select(row);
            found = true;
        }
    }
    notifier_.SelectionChanged();
    return found;
}

std::vector<std::int32_t> CExpDirListModel::SelectedDirectories() const {
    std::vector<std::int32_t> directories;
    for (const std::size_t row : selection_.Rows()) {
        directories.push_back(rows_[row].directory);
    }
    return directories;
}

void CExpDirListModel::ApplyActiveList(const CMVRDirListInfo* list) {
    // Showing or hiding the boxes changes every row, ticked or not.
    const bool boxesToggled = checkBoxesShown_ != (list != nullptr);
    checkBoxesShown_ = list != nullptr;
    std::vector<bool> changed(rows_.size(), boxesToggled);
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        const MVRKrsExportInfo* record = RecordOf(row);
        const bool checked =
            list != nullptr && record != nullptr && list->ContainsPath(record->path);
        changed[i] = changed[i] || checked != row.checked;
        row.checked = checked;
    }
    notifier_.ChangedRuns(changed);
}

bool CExpDirListModel::IsChecked(std::size_t row) const {
    return row < rows_.size() && rows_[row].checked;
}

void CExpDirListModel::SetChecked(std::size_t row, bool checked) {
    if (checkBoxesShown_ && row < rows_.size() && rows_[row].checked != checked) {
        rows_[row].checked = checked;
        notifier_.Changed(row, row);
    }
}

bool CExpDirListModel::RefusesDrop(std::int64_t row, std::int32_t currentDirectory) const {
    if (row < 0 || static_cast<std::uint64_t>(row) >= rows_.size()) {
        return false;
    }
    const Row& target = rows_[static_cast<std::size_t>(row)];
    const MVRKrsExportInfo* record = RecordOf(target);
    // A row whose record is gone cannot take symbols either.
    return record == nullptr || record->IsLinked() || target.directory == currentDirectory;
}

} // namespace mvr
