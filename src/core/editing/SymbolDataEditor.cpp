#include "core/editing/SymbolDataEditor.h"

#include "core/config/UserInfo.h"
#include "core/config/UserInteraction.h"
#include "core/editing/PriceRowTexts.h"
#include "core/editing/PriceSplit.h"
#include "core/formats/DayNumber.h"
#include "core/health/SymbolHealth.h"
#include "core/update/UpdateJob.h"
#include "core/update/UpdateRun.h"

#include <cstdio>

namespace mvr {

namespace {

std::string RemoveQuestion(const PriceHistory& records, const std::vector<std::size_t>& rows) {
    char buffer[128];
    if (rows.size() == 1) {
        const std::string date = FormatDayNumber(records[rows.front()].dayNumber);
        return "Are you sure you want to remove '" + date + "'?";
    }
    std::snprintf(buffer, sizeof buffer, "Are you sure you want to remove %ld quotes?",
                  static_cast<long>(rows.size()));
    return buffer;
}

} // namespace

CSymbolDataEditor::CSymbolDataEditor(CExportDataFile& store, const ExportUserInfo& user)
    : store_(store), user_(user) {
    CheckStoredFile();
}

void CSymbolDataEditor::CheckStoredFile() {
    if (store_.FilePath().empty()) {
        return;
    }
    const SymbolHealth health =
        CheckSymbolHealth(store_.Directory(), store_.Symbol(), store_.FormatType(), {});
    for (const HealthFinding& finding : health.findings) {
        StoredFinding& stored = storedFindings_[finding.sourcePos];
        stored.text += (stored.text.empty() ? "" : "\n") + finding.description;
        if (finding.kind == HealthFindingKind::Jump) {
            stored.splitFactor = finding.split.SplitFactor();
        }
    }
}

const CSymbolDataEditor::StoredFinding* CSymbolDataEditor::FindingOfRow(std::size_t row) const {
    const PriceHistory& records = store_.History();
    if (row >= rows_ || row >= records.size() || records[row].isNew != 0) {
        return nullptr;
    }
    const auto found = storedFindings_.find(records[row].sourcePos);
    return found == storedFindings_.end() ? nullptr : &found->second;
}

std::string_view CSymbolDataEditor::RowFindings(std::size_t row) const {
    const StoredFinding* finding = FindingOfRow(row);
    return finding != nullptr ? std::string_view(finding->text) : std::string_view();
}

std::string CSymbolDataEditor::Caption() const {
    const ExportSymbolInfo& symbol = store_.Symbol();
    return std::string(kSymbolDataCaption) + " " + FullSymbolText(symbol) + "," + symbol.name;
}

void CSymbolDataEditor::Fill() {
    rows_ = store_.History().size();
    selection_.Reset(rows_);
    if (rows_ > 0) {
        selection_.Select(rows_ - 1);
    }
}

std::string CSymbolDataEditor::CellText(std::size_t row, int column) const {
    const PriceHistory& records = store_.History();
    if (row >= rows_ || row >= records.size()) {
        return {};
    }
    return PriceCellText(records[row], store_.IsIntradaySeries(), column);
}

std::optional<CEditPriceValues> CSymbolDataEditor::BeginEdit(std::int64_t row) const {
    if (row < 0 || static_cast<std::uint64_t>(row) >= rows_) {
        return std::nullopt;
    }
    return CEditPriceValues(store_.History()[static_cast<std::size_t>(row)]);
}

void CSymbolDataEditor::EndEdit(std::size_t row, const CEditPriceValues& values) {
    if (row < rows_) {
        store_.History()[row] = values.Record();
    }
}

std::size_t CSymbolDataEditor::ProposedSplitRow() const {
    const std::size_t last = store_.History().size() - 1;
    const std::vector<std::size_t> selected = selection_.Rows();
    return selected.empty() ? last : std::min(selected.front(), last);
}

std::optional<std::int32_t> CSymbolDataEditor::ProposedSplitDay() const {
    if (store_.History().empty()) {
        return std::nullopt;
    }
    return store_.History()[ProposedSplitRow()].dayNumber;
}

float CSymbolDataEditor::ProposedSplitFactor() const {
    if (store_.History().empty()) {
        return 1.0f;
    }
    const StoredFinding* finding = FindingOfRow(ProposedSplitRow());
    return finding != nullptr ? finding->splitFactor : 1.0f;
}

std::size_t CSymbolDataEditor::Split(std::int32_t splitDay, float factor) {
    return ApplySplit(store_.History(), splitDay, factor);
}

std::size_t CSymbolDataEditor::DeleteSelected(CUserInteraction& interaction) {
    PriceHistory& records = store_.History();
    std::vector<std::size_t> rows = selection_.Rows();
    std::erase_if(rows, [&](std::size_t row) { return row >= records.size(); });
    if (rows.empty()) {
        return 0;
    }
    if (!interaction.AskYesNo(RemoveQuestion(records, rows), MessageIcon::Question)) {
        return 0;
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        records.erase(records.begin() + static_cast<std::ptrdiff_t>(*row));
    }
    rows_ = records.size();
    selection_.Reset(rows_);
    return rows.size();
}

bool CSymbolDataEditor::Download(CUserInteraction& interaction) {
    CUpdateJob job({});
    job.SetAccount(user_.account, user_.password);
    // The instrument number may have to be looked up first.
    const bool added = interaction.RunNetworkWork(
        kPhaseConnecting, [&](const RunFlag& run) { job.AddEditorSymbol(store_, run); });
    if (!added || !interaction.RunUpdateJob(job)) {
        return false;
    }
    Fill();
    return true;
}

} // namespace mvr
