#include "gui/editor/SymbolDataDlg.h"

#include "core/config/UserInteraction.h"
#include "core/editing/PriceRowTexts.h"
#include "core/editing/SymbolDataEditor.h"
#include "gui/controls/CoreText.h"
#include "gui/editor/EditPriceDlg.h"
#include "gui/editor/PriceChart.h"
#include "gui/editor/PriceTableModel.h"
#include "gui/editor/SplitDataDlg.h"

#include <algorithm>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace mvr::gui {

CSymbolDataDlg::CSymbolDataDlg(CSymbolDataEditor& editor, CUserInteraction& interaction,
                               QWidget* parent)
    : QDialog(parent), editor_(editor), interaction_(interaction),
      model_(new CPriceTableModel(editor, this)), table_(new QTableView(this)),
      chart_(new CPriceChart(editor, this)), edit_(new QPushButton(QStringLiteral("Edit"), this)),
      split_(new QPushButton(QStringLiteral("Split"), this)),
      delete_(new QPushButton(QStringLiteral("Delete"), this)),
      download_(new QPushButton(QStringLiteral("Download"), this)) {
    setWindowTitle(QtText(editor.Caption()));
    setSizeGripEnabled(true);

    table_->setObjectName(QStringLiteral("records"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setShowGrid(true);
    table_->setWordWrap(false);
    table_->setCornerButtonEnabled(false);
    table_->verticalHeader()->hide();
    // Rows of one height let the view place 10,000 of them without measuring.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setHighlightSections(false);
    table_->horizontalHeader()->setResizeContentsPrecision(200);
    const auto columns = PriceRowColumns();
    for (std::size_t column = 0; column < columns.size(); ++column) {
        table_->setColumnWidth(static_cast<int>(column), columns[column].width);
    }
    // The selection stays visible when the chart or a button has the focus.
    QPalette palette = table_->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    table_->setPalette(palette);

    chart_->setObjectName(QStringLiteral("chart"));
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(table_);
    splitter->addWidget(chart_);
    splitter->setChildrenCollapsible(false);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(edit_, QDialogButtonBox::ActionRole);
    buttons->addButton(split_, QDialogButtonBox::ActionRole);
    buttons->addButton(delete_, QDialogButtonBox::ActionRole);
    buttons->addButton(download_, QDialogButtonBox::ActionRole);
    QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("OK"));
    buttons->addButton(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    for (QPushButton* action : {edit_, split_, delete_, download_}) {
        action->setAutoDefault(false);
    }
    ok->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CSymbolDataDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSymbolDataDlg::reject);
    connect(edit_, &QPushButton::clicked, this, [this] {
        const auto rows = editor_.Selection().Rows();
        if (!rows.empty()) {
            EditRow(static_cast<int>(rows.front()));
        }
    });
    connect(split_, &QPushButton::clicked, this, &CSymbolDataDlg::SplitData);
    connect(delete_, &QPushButton::clicked, this, &CSymbolDataDlg::DeleteSelected);
    connect(download_, &QPushButton::clicked, this, &CSymbolDataDlg::Download);
    // An index outside the rows is invalid, so a double click below them opens nothing.
    connect(table_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { EditRow(index.isValid() ? index.row() : -1); });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { CopyViewSelectionToCore(); });
    connect(chart_, &CPriceChart::barClicked, this, &CSymbolDataDlg::SelectFromChart);

    table_->resizeColumnsToContents();
    // Only the first rows are measured: later prices may have more digits.
    const int widestNumber =
        table_->fontMetrics().horizontalAdvance(QStringLiteral("000000.000")) + 12;
    for (int column = 1; column < table_->model()->columnCount(); ++column) {
        table_->setColumnWidth(column, std::max(table_->columnWidth(column), widestNumber));
    }
    // Room for the mark of a health finding beside the date, in any row.
    const int dateWithMark =
        table_->fontMetrics().horizontalAdvance(QtText(editor_.CellText(0, kPriceColumnTime))) +
        table_->style()->pixelMetric(QStyle::PM_SmallIconSize) + 16;
    table_->setColumnWidth(kPriceColumnTime,
                           std::max(table_->columnWidth(kPriceColumnTime), dateWithMark));
    resize(1060, 560);
    splitter->setSizes({table_->horizontalHeader()->length() + 24, 640});
    Refresh();
}

void CSymbolDataDlg::Refresh() {
    model_->Reset();
    CopyCoreSelectionToView();
    const auto rows = editor_.Selection().Rows();
    if (!rows.empty()) {
        table_->scrollTo(model_->index(static_cast<int>(rows.back()), 0));
    }
    chart_->Refresh();
}

void CSymbolDataDlg::EditRow(int row) {
    auto values = editor_.BeginEdit(row);
    if (!values) {
        return;
    }
    CEditPriceDlg dialog(*values, interaction_, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    editor_.EndEdit(static_cast<std::size_t>(row), *values);
    model_->RowChanged(row);
    chart_->Refresh();
}

void CSymbolDataDlg::SplitData() {
    const auto day = editor_.ProposedSplitDay();
    if (!day) {
        return;
    }
    CSplitDataDlg dialog(*day, editor_.ProposedSplitFactor(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const SplitRequest request = dialog.Request();
    editor_.Split(request.splitDay, request.factor);
    Refresh();
}

void CSymbolDataDlg::DeleteSelected() {
    if (editor_.DeleteSelected(interaction_) > 0) {
        Refresh();
    }
}

void CSymbolDataDlg::Download() {
    if (editor_.Download(interaction_)) {
        Refresh();
    }
}

void CSymbolDataDlg::CopyCoreSelectionToView() {
    mirroring_ = true;
    QItemSelection selection;
    const auto rows = editor_.Selection().Rows();
    const int lastColumn = model_->columnCount() - 1;
    // Runs of neighbouring rows become one range each.
    for (std::size_t at = 0; at < rows.size();) {
        std::size_t end = at + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] + 1) {
            ++end;
        }
        selection.select(model_->index(static_cast<int>(rows[at]), 0),
                         model_->index(static_cast<int>(rows[end - 1]), lastColumn));
        at = end;
    }
    table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const auto focus = editor_.Selection().Focus();
    table_->selectionModel()->setCurrentIndex(focus ? model_->index(static_cast<int>(*focus), 0)
                                                    : QModelIndex(),
                                              QItemSelectionModel::NoUpdate);
    mirroring_ = false;
    chart_->update();
}

void CSymbolDataDlg::CopyViewSelectionToCore() {
    if (mirroring_) {
        return;
    }
    CRowSelection& selection = editor_.Selection();
    selection.ClearAll();
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        selection.Select(static_cast<std::size_t>(index.row()));
    }
    const QModelIndex current = table_->selectionModel()->currentIndex();
    selection.SetFocus(current.isValid() ? std::optional<std::size_t>(current.row())
                                         : std::nullopt);
    chart_->update();
}

void CSymbolDataDlg::SelectFromChart(std::size_t row, Qt::KeyboardModifiers modifiers) {
    CRowSelection& selection = editor_.Selection();
    if (modifiers & Qt::ControlModifier) {
        selection.Select(row, !selection.IsSelected(row));
        selection.SetFocus(row);
    } else {
        selection.SelectOnly(row);
    }
    CopyCoreSelectionToView();
    table_->scrollTo(model_->index(static_cast<int>(row), 0));
}

} // namespace mvr::gui
