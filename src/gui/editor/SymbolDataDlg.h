#pragma once

// The data editor: every price record of one symbol in a table, a chart of
// them beside it, and the buttons that correct, split, delete and download
// records. Everything happens in the editor's store; OK leaves writing it to
// the caller, Cancel drops it.

#include <QDialog>

class QPushButton;
class QTableView;

namespace mvr {
class CSymbolDataEditor;
class CUserInteraction;
} // namespace mvr

namespace mvr::gui {

class CPriceChart;
class CPriceTableModel;

class CSymbolDataDlg : public QDialog {
    Q_OBJECT

public:
    // The editor comes filled; it and the interaction must outlive the dialog.
    CSymbolDataDlg(CSymbolDataEditor& editor, CUserInteraction& interaction,
                   QWidget* parent = nullptr);

    // The rows were rebuilt: the table and the chart show them again.
    void Refresh();

    // Corrects the record of a row (what a double click and "Edit" do); a
    // position that is no row does nothing.
    void EditRow(int row);
    void SplitData();
    void DeleteSelected();
    void Download();

    QTableView* Table() const { return table_; }
    CPriceChart* Chart() const { return chart_; }
    QPushButton* EditButton() const { return edit_; }
    QPushButton* SplitButton() const { return split_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* DownloadButton() const { return download_; }

private:
    void CopyCoreSelectionToView();
    void CopyViewSelectionToCore();
    void SelectFromChart(std::size_t row, Qt::KeyboardModifiers modifiers);

    CSymbolDataEditor& editor_;
    CUserInteraction& interaction_;
    CPriceTableModel* model_;
    QTableView* table_;
    CPriceChart* chart_;
    QPushButton* edit_;
    QPushButton* split_;
    QPushButton* delete_;
    QPushButton* download_;
    bool mirroring_ = false;
};

} // namespace mvr::gui
