#pragma once

// The symbol search "Symbol Search": a text search with three filters and the
// server's catalogue tree fill one result list; OK hands the selected rows on
// as instrument records. The searches, listings and the tree download run on
// workers of the core, which report back through queued calls, so the dialog
// stays responsive and every way of closing waits for them with its events
// still running.

#include "core/config/UserInteraction.h"
#include "core/net/InstrumentRecord.h"
#include "core/search/CatalogueLoader.h"
#include "core/search/SearchDialogEnter.h"
#include "core/search/SearchResultListModel.h"
#include "core/search/SymbolSearch.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QSplitter;
class QTableView;

namespace mvr::gui {

class CCatalogueTreeView;
class CSearchResultTableModel;
class CSortHeader;

class CSearchPage : public QDialog, private CSymbolSearchSink {
    Q_OBJECT

public:
    // Opens with the stored placement, splitter and sort state and starts
    // loading the catalogue tree. On Accepted `state` holds what to store and
    // `selection` the chosen records in row order; otherwise both are as given.
    CSearchPage(SearchDialogState& state, std::vector<WATCH>& selection, QWidget* parent = nullptr);
    ~CSearchPage() override;

    QComboBox* SearchKindBox() const { return kindBox_; }
    QComboBox* TextBox() const { return textBox_; }
    QComboBox* SecurityTypeBox() const { return typeBox_; }
    QComboBox* ExchangeBox() const { return exchangeBox_; }
    QPushButton* SearchButton() const { return searchButton_; }
    QPushButton* OkButton() const { return okButton_; }
    QLabel* StatusLine() const { return status_; }
    QLabel* BusyIndicator() const { return busy_; }
    CCatalogueTreeView* Tree() const { return tree_; }
    QTableView* ResultView() const { return resultView_; }
    QSplitter* Splitter() const { return splitter_; }
    CSortHeader* ResultHeader() const { return header_; }

    // A search or catalogue listing runs.
    bool IsWorking() const { return search_.IsRunning(); }

public slots:
    // The Search button's command: the filters and the trimmed text.
    void RunSearch();
    // Lists the contents of the catalogue at `index` of the tree; a group is
    // no catalogue and lists nothing.
    void ListCatalogue(const QModelIndex& index);
    // OK: with at least one row selected, hands the rows on and closes.
    void accept() override;
    // Every way of closing ends the workers first, while the events go on.
    void done(int result) override;

signals:
    // The loader's tree is shown.
    void treeShown();
    // A worker's results are in the list.
    void resultsShown();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Called on the workers' threads; each queues its change into the dialog.
    void SetStatusText(const std::string& text) override;
    void SetBusy(bool busy) override;
    void SetListBusy(bool busy) override;
    void SetResults(std::vector<WATCH> results) override;

    void BuildControls();
    void FillFilterBoxes();
    void RestoreState();
    void StoreState();
    void ShowResults(std::vector<WATCH> results);
    void ShowSortState();
    void HeaderClicked(int column);
    void StopWorkers();
    SearchDialogControl FocusedControl() const;

    SearchDialogState& state_;
    std::vector<WATCH>& selection_;
    // The rows of the result list in arrival order; the list model reads them.
    std::vector<WATCH> results_;
    CSearchResultListModel list_;

    QComboBox* kindBox_ = nullptr;
    QComboBox* textBox_ = nullptr;
    QComboBox* typeBox_ = nullptr;
    QComboBox* exchangeBox_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* busy_ = nullptr;
    CCatalogueTreeView* tree_ = nullptr;
    CSearchResultTableModel* model_ = nullptr;
    CSortHeader* header_ = nullptr;
    QTableView* resultView_ = nullptr;
    QSplitter* splitter_ = nullptr;
    bool closing_ = false;

    CCatalogueLoader loader_;
    CSymbolSearch search_{*this};
};

} // namespace mvr::gui
