#include "gui/search/SearchPage.h"

#include "core/net/ProcessState.h"
#include "core/search/CatalogueChoice.h"
#include "core/search/SearchFilterBoxes.h"
#include "gui/catalogue/CatalogueTreeView.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/SortHeader.h"
#include "gui/models/ListViews.h"
#include "gui/search/SearchResultTableModel.h"

#include <algorithm>
#include <atomic>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <thread>
#include <utility>

namespace mvr::gui {

namespace {

// The divider leaves the tree and the list at least this wide.
constexpr int kMinTreeWidth = 150;
constexpr int kMinListWidth = 200;
constexpr QSize kInitialSize{900, 520};
constexpr int kInitialTreeWidth = 220;
// The text box offers this many empty entries, as the user's history slots.
constexpr int kTextBoxEntries = 10;
constexpr int kBusyIconSize = 16;
// How often a closing dialog looks whether its stopped workers have ended;
// they give up within a second of being stopped.
constexpr int kWorkerPollMs = 20;

void Fill(QComboBox* box, const std::vector<BoxEntry>& entries) {
    for (const BoxEntry& entry : entries) {
        box->addItem(QtText(entry.text), entry.value);
    }
    box->setCurrentIndex(entries.empty() ? -1 : 0);
}

std::int32_t ValueOf(const QComboBox* box) {
    return box->currentData().toInt();
}

bool IsWithin(const QWidget* focus, const QWidget* control) {
    return focus != nullptr && (focus == control || control->isAncestorOf(focus));
}

} // namespace

CSearchPage::CSearchPage(SearchDialogState& state, std::vector<WATCH>& selection, QWidget* parent)
    : QDialog(parent), state_(state), selection_(selection), list_(LoginReferenceTables()) {
    setWindowTitle(QString::fromLatin1(kSymbolSearchTitle));
    BuildControls();
    FillFilterBoxes();
    RestoreState();

    loader_.Start([this](std::vector<CatalogueTreeItem> items) {
        QMetaObject::invokeMethod(
            this,
            [this, items = std::move(items)] {
                tree_->ShowTree(items);
                emit treeShown();
            },
            Qt::QueuedConnection);
    });
}

CSearchPage::~CSearchPage() {
    // A page deleted without closing still must not outlive its workers.
    search_.Stop();
    loader_.Stop();
    loader_.Wait();
    // The view and the Qt model go before the list they show.
    delete resultView_;
    delete model_;
}

void CSearchPage::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* filters = new QGridLayout;
    const auto label = [this](const char* text, QWidget* buddy) {
        auto* result = new QLabel(QString::fromLatin1(text), this);
        result->setBuddy(buddy);
        return result;
    };
    kindBox_ = new QComboBox(this);
    textBox_ = new QComboBox(this);
    textBox_->setEditable(true);
    textBox_->setInsertPolicy(QComboBox::NoInsert);
    for (int entry = 0; entry < kTextBoxEntries; ++entry) {
        textBox_->addItem(QString());
    }
    textBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    typeBox_ = new QComboBox(this);
    exchangeBox_ = new QComboBox(this);
    searchButton_ = new QPushButton(QString::fromLatin1(kSearchButtonText), this);
    filters->addWidget(label(kSearchKindLabel, kindBox_), 0, 0);
    filters->addWidget(kindBox_, 0, 1);
    filters->addWidget(label(kSearchTextLabel, textBox_), 0, 2);
    filters->addWidget(textBox_, 0, 3);
    filters->addWidget(searchButton_, 0, 4);
    filters->addWidget(label(kSecurityTypeLabel, typeBox_), 1, 0);
    filters->addWidget(typeBox_, 1, 1);
    filters->addWidget(label(kExchangeLabel, exchangeBox_), 1, 2);
    filters->addWidget(exchangeBox_, 1, 3);
    filters->setColumnStretch(3, 1);
    layout->addLayout(filters);

    auto* statusRow = new QHBoxLayout;
    busy_ = new QLabel(this);
    busy_->setFixedSize(kBusyIconSize, kBusyIconSize);
    status_ = new QLabel(QString::fromLatin1(kResultListText), this);
    statusRow->addWidget(busy_);
    statusRow->addWidget(status_, 1);
    layout->addLayout(statusRow);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    auto* treePane = new QWidget(splitter_);
    auto* treeLayout = new QVBoxLayout(treePane);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    tree_ = new CCatalogueTreeView(treePane);
    treeLayout->addWidget(label(kCatalogueTreeLabel, tree_));
    treeLayout->addWidget(tree_);
    treePane->setMinimumWidth(kMinTreeWidth);
    splitter_->addWidget(treePane);

    model_ = new CSearchResultTableModel(list_, this);
    header_ = new CSortHeader(this);
    resultView_ = MakeListView(splitter_, model_, header_);
    resultView_->setShowGrid(true);
    SetColumnWidths(resultView_, CSearchResultListModel::Columns());
    resultView_->setMinimumWidth(kMinListWidth);
    resultView_->installEventFilter(this);
    model_->SyncSelectionTo(resultView_->selectionModel());
    splitter_->addWidget(resultView_);
    splitter_->setStretchFactor(1, 1);
    layout->addWidget(splitter_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);

    // Enter is decided by the control with the focus (keyPressEvent), never
    // by a default button.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(buttons, &QDialogButtonBox::accepted, this, &CSearchPage::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSearchPage::reject);
    connect(searchButton_, &QPushButton::clicked, this, &CSearchPage::RunSearch);
    connect(tree_, &QTreeView::doubleClicked, this, &CSearchPage::ListCatalogue);
    connect(header_, &CSortHeader::ColumnClicked, this, &CSearchPage::HeaderClicked);

    resize(kInitialSize);
    splitter_->setSizes({kInitialTreeWidth, kInitialSize.width() - kInitialTreeWidth});
    textBox_->setFocus();
}

void CSearchPage::FillFilterBoxes() {
    const ReferenceTables& tables = LoginReferenceTables();
    Fill(kindBox_, SearchKindBoxEntries(tables));
    Fill(typeBox_, SecurityTypeBoxEntries(tables));
    Fill(exchangeBox_, ExchangeBoxEntries(tables));
}

void CSearchPage::RestoreState() {
    const WindowPlacement& placement = state_.placement;
    if (placement.IsStored()) {
        setGeometry(placement.left, placement.top, placement.right - placement.left,
                    placement.bottom - placement.top);
    }
    if (state_.splitterPosition > 0) {
        splitter_->setSizes(
            {state_.splitterPosition, std::max(kMinListWidth, width() - state_.splitterPosition)});
    }
    list_.SetSortState(state_.sortColumn, state_.sortFlag != 0);
    ShowSortState();
}

void CSearchPage::StoreState() {
    const QRect frame = geometry();
    state_.placement.length = WindowPlacement::kSize;
    state_.placement.showCommand = isMaximized() ? 3 : 1;
    state_.placement.left = frame.left();
    state_.placement.top = frame.top();
    state_.placement.right = frame.right() + 1;
    state_.placement.bottom = frame.bottom() + 1;
    state_.splitterPosition = splitter_->sizes().value(0);
    state_.sortColumn = list_.SortColumn();
    state_.sortFlag = list_.IsAscending() ? 1 : 0;
}

void CSearchPage::RunSearch() {
    if (closing_) {
        return;
    }
    SearchCriteria criteria;
    criteria.kindCode = static_cast<std::uint8_t>(ValueOf(kindBox_));
    criteria.securityType = static_cast<std::uint16_t>(ValueOf(typeBox_));
    criteria.exchange = static_cast<std::uint16_t>(ValueOf(exchangeBox_));
    criteria.text = CoreText(textBox_->currentText().trimmed());
    textBox_->hidePopup();
    search_.StartSearch(criteria);
}

void CSearchPage::ListCatalogue(const QModelIndex& index) {
    if (closing_) {
        return;
    }
    CCatalogueTables& tables = ProcessCatalogueTables();
    const std::vector<std::size_t> chain = CatalogueTreeChain(index);
    const std::optional<CatalogueChoice> choice =
        ChooseCatalogue(tables.TreeSnapshot(), chain, tables);
    if (!choice) {
        return;
    }
    SYMBOL catalogue;
    if (!tables.LookupCatalogue(choice->number, catalogue)) {
        return;
    }
    search_.StartContents(static_cast<std::int16_t>(choice->number), catalogue.name);
}

void CSearchPage::accept() {
    if (closing_ || list_.Selection().Count() == 0) {
        return;
    }
    selection_ = list_.SelectedRecords();
    StoreState();
    QDialog::accept();
}

void CSearchPage::done(int result) {
    if (closing_) {
        return;
    }
    closing_ = true;
    StopWorkers();
    closing_ = false;
    QDialog::done(result);
}

void CSearchPage::StopWorkers() {
    loader_.Stop();
    // Stop joins the worker, which only ends after the run flag is seen; the
    // join happens off the UI thread so that the queued reports keep coming.
    std::atomic<bool> stopped{false};
    std::thread stopper([this, &stopped] {
        search_.Stop();
        stopped.store(true);
    });
    if (!stopped.load() || loader_.IsRunning()) {
        QEventLoop waiting;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &waiting, [this, &waiting, &stopped] {
            if (stopped.load() && !loader_.IsRunning()) {
                waiting.quit();
            }
        });
        poll.start(kWorkerPollMs);
        waiting.exec();
    }
    stopper.join();
    loader_.Wait();
}

void CSearchPage::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (closing_) {
        return;
    }
    switch (EnterActionFor(FocusedControl(), search_.IsRunning() || loader_.IsRunning())) {
    case SearchEnterAction::Accept:
        accept();
        break;
    case SearchEnterAction::Search:
        RunSearch();
        break;
    case SearchEnterAction::Nothing:
        break;
    }
}

SearchDialogControl CSearchPage::FocusedControl() const {
    const std::pair<const QWidget*, SearchDialogControl> controls[] = {
        {okButton_, SearchDialogControl::OkButton},
        {resultView_, SearchDialogControl::ResultList},
        {searchButton_, SearchDialogControl::SearchButton},
        {textBox_, SearchDialogControl::TextBox},
        {kindBox_, SearchDialogControl::SearchKindBox},
        {typeBox_, SearchDialogControl::SecurityTypeBox},
        {exchangeBox_, SearchDialogControl::ExchangeBox},
    };
    const QWidget* focus = focusWidget();
    for (const auto& [widget, control] : controls) {
        if (IsWithin(focus, widget)) {
            return control;
        }
    }
    return SearchDialogControl::Other;
}

// Typing in the result list selects by prefix; what the core does not take
// (arrows, page keys, Enter) the view handles as usual.
bool CSearchPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == resultView_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() == 1 && text.at(0).unicode() < 0x80 && text.at(0).isPrint()) {
            const TypeAheadResult result =
                list_.TypeAhead(static_cast<char>(text.at(0).unicode()),
                                key->modifiers().testFlag(Qt::ControlModifier));
            if (result.taken) {
                if (result.row) {
                    resultView_->scrollTo(model_->index(static_cast<int>(*result.row), 0));
                }
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CSearchPage::SetStatusText(const std::string& text) {
    QMetaObject::invokeMethod(
        this, [this, text = QtText(text)] { status_->setText(text); }, Qt::QueuedConnection);
}

void CSearchPage::SetBusy(bool busy) {
    QMetaObject::invokeMethod(
        this,
        [this, busy] {
            if (busy) {
                busy_->setPixmap(
                    style()->standardIcon(QStyle::SP_BrowserReload).pixmap(kBusyIconSize));
                setCursor(Qt::WaitCursor);
            } else {
                busy_->clear();
                unsetCursor();
            }
        },
        Qt::QueuedConnection);
}

void CSearchPage::SetListBusy(bool busy) {
    QMetaObject::invokeMethod(
        this,
        [this, busy] {
            if (busy) {
                resultView_->viewport()->setCursor(Qt::WaitCursor);
            } else {
                resultView_->viewport()->unsetCursor();
            }
        },
        Qt::QueuedConnection);
}

void CSearchPage::SetResults(std::vector<WATCH> results) {
    QMetaObject::invokeMethod(
        this, [this, results = std::move(results)]() mutable { ShowResults(std::move(results)); },
        Qt::QueuedConnection);
}

void CSearchPage::ShowResults(std::vector<WATCH> results) {
    // The list lets go of the old rows before they are replaced.
    list_.SetResults(nullptr);
    results_ = std::move(results);
    list_.SetResults(&results_);
    ShowSortState();
    emit resultsShown();
}

void CSearchPage::ShowSortState() {
    header_->SetSortColumn(list_.SortColumn(), list_.IsAscending());
}

void CSearchPage::HeaderClicked(int column) {
    list_.SortByColumn(column);
    ShowSortState();
}

} // namespace mvr::gui
