#include "gui/window/MVRKrsExpDlg.h"

#include "core/app/AccountDialog.h"
#include "core/app/ButtonStates.h"
#include "core/app/CopyMoveCommand.h"
#include "core/app/FindInstrumentInDirectories.h"
#include "core/app/HelpCommands.h"
#include "core/app/LegacyImportCommand.h"
#include "core/app/MainWindowCommands.h"
#include "core/app/MainWindowReactions.h"
#include "core/app/RunEnd.h"
#include "core/app/ScheduleDailyUpdate.h"
#include "core/app/SelectionBoxes.h"
#include "core/app/Session.h"
#include "core/app/SymbolDataCommand.h"
#include "core/app/UpdateCommands.h"
#include "core/net/ProcessState.h"
#include "core/platform/Paths.h"
#include "core/platform/ProcessRunner.h"
#include "gui/catalogue/DefinitionFileDownloadDlg.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/SortHeader.h"
#include "gui/dialogs/AboutDlg.h"
#include "gui/dialogs/ScheduleUpdateDlg.h"
#include "gui/models/DirListTableModel.h"
#include "gui/models/ListViews.h"
#include "gui/models/SymbolListTableModel.h"
#include "gui/resources/Artwork.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

constexpr int kButtonSize = 28;
// Sizes of the window as first shown, before a stored placement exists.
constexpr QSize kInitialSize{1120, 520};
constexpr int kInitialSplitterPosition = 560;

std::string ExecutableFolder() {
    return CorePath(QCoreApplication::applicationDirPath());
}

} // namespace

CMVRKrsExpDlg::CMVRKrsExpDlg(CMVRKrsExpSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session), interaction_(this) {
    setWindowTitle(kMainWindowCaption);
    setWindowIcon(ApplicationIcon());
    directoryModel_ = new CDirListTableModel(session_.DirectoryList(), this);
    symbolModel_ = new CSymbolListTableModel(session_.SymbolList(), this);
    BuildControls();
    BuildMenu();
    ConnectCommands();
    resize(kInitialSize);
}

CMVRKrsExpDlg::~CMVRKrsExpDlg() {
    clientCheck_.Stop();
}

QPushButton* CMVRKrsExpDlg::Button(MainWindowButton button) const {
    return buttons_.at(button);
}

QAction* CMVRKrsExpDlg::MenuAction(MainWindowMenuCommand command) const {
    return menuActions_.at(command);
}

QPushButton* CMVRKrsExpDlg::MakeButton(MainWindowButton button) {
    const auto& text =
        *std::find_if(kMainWindowButtons.begin(), kMainWindowButtons.end(),
                      [button](const auto& entry) { return entry.button == button; });
    auto* push = new QPushButton(this);
    push->setIcon(ButtonIcon(button));
    push->setIconSize(QSize(20, 20));
    push->setFixedSize(kButtonSize, kButtonSize);
    push->setToolTip(QString::fromUtf8(text.tooltip));
    push->setAccessibleName(QString::fromUtf8(text.tooltip));
    // Enter in the window must not press a button and so close nothing.
    push->setAutoDefault(false);
    buttons_[button] = push;
    return push;
}

void CMVRKrsExpDlg::BuildControls() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);

    auto* boxes = new QHBoxLayout;
    listsBox_ = new QComboBox(central);
    formatBox_ = new QComboBox(central);
    listsBox_->setMinimumContentsLength(18);
    formatBox_->setMinimumContentsLength(24);
    boxes->addWidget(new QLabel(kListsLabel, central));
    boxes->addWidget(listsBox_);
    boxes->addWidget(MakeButton(MainWindowButton::AddList));
    boxes->addWidget(MakeButton(MainWindowButton::RemoveList));
    boxes->addWidget(MakeButton(MainWindowButton::UpdateList));
    boxes->addSpacing(16);
    boxes->addWidget(new QLabel(kFormatLabel, central));
    boxes->addWidget(formatBox_);
    boxes->addStretch();
    layout->addLayout(boxes);

    splitter_ = new QSplitter(Qt::Horizontal, central);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(BuildDirectoryPane());
    splitter_->addWidget(BuildSymbolPane());
    splitter_->setStretchFactor(1, 1);
    splitter_->setHandleWidth(5);
    splitter_->handle(1)->setCursor(SplitterCursor());
    layout->addWidget(splitter_, 1);
    setCentralWidget(central);
}

QWidget* CMVRKrsExpDlg::BuildDirectoryPane() {
    auto* pane = new QWidget(this);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    for (MainWindowButton button :
         {MainWindowButton::AddDirectory, MainWindowButton::RemoveDirectories,
          MainWindowButton::UpdateDirectories, MainWindowButton::EditDirectory,
          MainWindowButton::FindSymbol}) {
        buttons->addWidget(MakeButton(button));
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    directoryHeader_ = new CSortHeader(pane);
    directoryView_ = MakeListView(pane, directoryModel_, directoryHeader_);
    SetColumnWidths(directoryView_, CExpDirListModel::Columns());
    directoryView_->setMinimumWidth(kMinDirectoryListWidth);
    directoryView_->setAcceptDrops(true);
    directoryView_->viewport()->setAcceptDrops(true);
    directoryView_->viewport()->installEventFilter(this);
    layout->addWidget(directoryView_);
    directoryModel_->SyncSelectionTo(directoryView_->selectionModel());
    return pane;
}

QWidget* CMVRKrsExpDlg::BuildSymbolPane() {
    auto* pane = new QWidget(this);
    auto* layout = new QHBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    symbolHeader_ = new CSortHeader(pane);
    symbolView_ = MakeListView(pane, symbolModel_, symbolHeader_);
    SetColumnWidths(symbolView_, CExpSymbolListModel::Columns());
    symbolView_->setMinimumWidth(kMinSymbolListWidth);
    symbolView_->setDragEnabled(true);
    symbolView_->setDragDropMode(QAbstractItemView::DragOnly);
    symbolView_->setDefaultDropAction(Qt::CopyAction);
    symbolView_->installEventFilter(this);
    layout->addWidget(symbolView_, 1);
    auto* buttons = new QVBoxLayout;
    for (MainWindowButton button : {MainWindowButton::AddSymbols, MainWindowButton::DeleteSymbols,
                                    MainWindowButton::OpenSymbol}) {
        buttons->addWidget(MakeButton(button));
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    symbolModel_->SyncSelectionTo(symbolView_->selectionModel());
    return pane;
}

void CMVRKrsExpDlg::BuildMenu() {
    QMenu* menu = nullptr;
    const char* menuName = nullptr;
    for (const MainWindowMenuItem& item : kMainWindowMenu) {
        if (menuName == nullptr || std::string_view(menuName) != item.menu) {
            menuName = item.menu;
            menu = menuBar()->addMenu(QString::fromUtf8(item.menu));
            if (std::string_view(item.menu) == kHelpMenu) {
                helpMenu_ = menu;
                AddManualsToMenu();
            }
        }
        if (item.text == nullptr) {
            menu->addSeparator();
        } else {
            menuActions_[item.command] = menu->addAction(QString::fromUtf8(item.text));
        }
    }
}

void CMVRKrsExpDlg::AddManualsToMenu() {
    std::vector<ManualEntry> manuals{MainManual()};
    const std::vector<ManualEntry> languages = LanguageManualEntries(ExecutableFolder());
    manuals.insert(manuals.end(), languages.begin(), languages.end());
    for (const ManualEntry& manual : manuals) {
        QAction* action = helpMenu_->addAction(QString::fromUtf8(manual.caption));
        const std::int32_t command = manual.commandId;
        connect(action, &QAction::triggered, this,
                [this, command] { OpenManual(command, ExecutableFolder(), interaction_); });
    }
    helpMenu_->addSeparator();
}

void CMVRKrsExpDlg::ConnectCommands() {
    const auto on = [this](MainWindowButton button, auto command) {
        connect(Button(button), &QPushButton::clicked, this, [this, command] {
            command();
            RefreshAfterCommand();
        });
    };
    on(MainWindowButton::AddList, [this] {
        CMainWindowCommands(session_, interaction_).AddList();
        FillListsBox();
    });
    on(MainWindowButton::RemoveList, [this] {
        if (CMainWindowCommands(session_, interaction_).RemoveActiveList()) {
            FillListsBox();
        }
    });
    on(MainWindowButton::UpdateList,
       [this] { CUpdateCommands(session_, interaction_).UpdateActiveList(); });
    on(MainWindowButton::AddDirectory,
       [this] { CMainWindowCommands(session_, interaction_).AddDirectory(); });
    on(MainWindowButton::RemoveDirectories,
       [this] { CMainWindowCommands(session_, interaction_).RemoveSelectedDirectories(); });
    on(MainWindowButton::UpdateDirectories,
       [this] { CUpdateCommands(session_, interaction_).UpdateSelected(); });
    on(MainWindowButton::EditDirectory,
       [this] { CMainWindowCommands(session_, interaction_).EditSelectedDirectory(); });
    on(MainWindowButton::FindSymbol, [this] {
        if (FindInstrumentCommand(session_, interaction_)) {
            symbolView_->setFocus();
        }
    });
    on(MainWindowButton::AddSymbols,
       [this] { CMainWindowCommands(session_, interaction_).AddChosenInstruments(); });
    on(MainWindowButton::DeleteSymbols,
       [this] { CMainWindowCommands(session_, interaction_).DeleteSelectedSymbols(); });
    on(MainWindowButton::OpenSymbol, [this] {
        const auto rows = session_.SymbolList().Selection().Rows();
        if (!rows.empty()) {
            OpenSymbolDataEditor(session_, interaction_, static_cast<std::int64_t>(rows.front()),
                                 SymbolDataTrigger::OpenButton);
        }
    });

    connect(listsBox_, &QComboBox::currentIndexChanged, this, &CMVRKrsExpDlg::ListsBoxChanged);
    connect(formatBox_, &QComboBox::currentIndexChanged, this, &CMVRKrsExpDlg::FormatBoxChanged);
    connect(directoryModel_, &CListTableModel::selectionMirrored, this,
            &CMVRKrsExpDlg::DirectorySelectionChanged);
    connect(symbolModel_, &CListTableModel::selectionMirrored, this, &CMVRKrsExpDlg::UpdateButtons);
    connect(directoryModel_, &CDirListTableModel::checkBoxClicked, this,
            &CMVRKrsExpDlg::CheckBoxClicked);
    connect(directoryHeader_, &CSortHeader::ColumnClicked, this,
            &CMVRKrsExpDlg::DirectoryHeaderClicked);
    connect(symbolHeader_, &CSortHeader::ColumnClicked, this, &CMVRKrsExpDlg::SymbolHeaderClicked);
    connect(directoryView_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        CMainWindowCommands(session_, interaction_)
            .EditDirectoryOfRow(static_cast<std::size_t>(index.row()));
        RefreshAfterCommand();
    });
    connect(symbolView_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        OpenSymbolDataEditor(session_, interaction_, index.row(), SymbolDataTrigger::DoubleClick);
        RefreshAfterCommand();
    });

    const auto menu = [this](MainWindowMenuCommand command, auto handler) {
        connect(MenuAction(command), &QAction::triggered, this, handler);
    };
    menu(MainWindowMenuCommand::UpdateAll, [this] {
        CUpdateCommands(session_, interaction_).UpdateAll();
        RefreshAfterCommand();
    });
    menu(MainWindowMenuCommand::ImportLegacy, [this] {
        if (ImportLegacyInstallation(session_, interaction_) ==
            LegacyImportOutcome::ConfigFolderMissing) {
            close();
            return;
        }
        FillListsBox();
        RefreshAfterCommand();
    });
    menu(MainWindowMenuCommand::Account, [this] { RunAccountCommand(); });
    menu(MainWindowMenuCommand::Exit, [this] { close(); });
    menu(MainWindowMenuCommand::StartMikogo, [this] { StartRemoteSupportPage(interaction_); });
    menu(MainWindowMenuCommand::StartTeamviewer,
         [this] { StartRemoteViewTool(ExecutableFolder(), interaction_); });
    menu(MainWindowMenuCommand::About, [this] { ShowAbout(); });
    menu(MainWindowMenuCommand::DefinitionFileDownload, [this] {
        CDefinitionFileDownloadDlg dialog(session_, interaction_, this);
        dialog.exec();
    });
    menu(MainWindowMenuCommand::ScheduleDailyUpdate, [this] {
        // The same schedule as the batch tool's --schedule, for the tool
        // installed beside this program.
        CProcessRunner runner;
        CDailyUpdateSchedule schedule(CurrentScheduleHost(BatchProgramIn(ExecutableFolder())),
                                      runner);
        CScheduleDailyUpdate rules(schedule);
        CScheduleUpdateDlg dialog(rules, session_.Directories(), session_.Lists(), this);
        dialog.exec();
    });
}

bool CMVRKrsExpDlg::Initialise() {
    std::string error;
    if (!session_.LoadConfig(&error)) {
        interaction_.ShowMessage(error, MessageIcon::None);
        return false;
    }
    ShowSortStates();
    FillListsBox();
    FillFormatBox();
    RestoreLayout();
    if (session_.User().account.empty()) {
        RunAccountCommand();
    }
    UpdateButtons();
    return true;
}

void CMVRKrsExpDlg::StartClientCheck() {
    clientCheck_.Stop();
    clientCheck_.Wait();
    CClientInfoCheck::Done done = [this](int result, const ClientInfo& info) {
        QMetaObject::invokeMethod(
            this, [this, result, info] { ClientCheckAnswered(result, info); },
            Qt::QueuedConnection);
    };
    clientCheck_.Start(std::move(done));
}

// The lists box selects its entry without the change being the user's: the
// reaction to it is run once, here, with the stored entry.
void CMVRKrsExpDlg::FillListsBox() {
    refreshing_ = true;
    listsBox_->clear();
    for (const BoxEntry& entry : ListsBoxEntries(session_.Lists())) {
        listsBox_->addItem(QtText(entry.text), entry.value);
    }
    const std::int32_t active = session_.User().activeListEntry;
    listsBox_->setCurrentIndex(active >= 0 && active < listsBox_->count() ? active : 0);
    refreshing_ = false;
    ListsBoxChanged(listsBox_->currentIndex());
}

void CMVRKrsExpDlg::FillFormatBox() {
    refreshing_ = true;
    formatBox_->clear();
    for (const BoxEntry& entry : FormatBoxEntries()) {
        formatBox_->addItem(QtText(entry.text), entry.value);
    }
    formatBox_->setCurrentIndex(static_cast<int>(FormatBoxEntryOf(session_.User().formatFilter)));
    refreshing_ = false;
    session_.RefillDirectoryList();
    CMainWindowReactions(session_).ChooseListEntry(session_.User().activeListEntry);
    UpdateButtons();
}

void CMVRKrsExpDlg::ListsBoxChanged(int entry) {
    if (refreshing_ || entry < 0) {
        return;
    }
    CMainWindowReactions(session_).ChooseListEntry(entry);
    UpdateButtons();
}

void CMVRKrsExpDlg::FormatBoxChanged(int entry) {
    if (refreshing_ || entry < 0) {
        return;
    }
    CMainWindowReactions(session_).ChooseFormatEntry(static_cast<std::size_t>(entry));
    UpdateButtons();
}

void CMVRKrsExpDlg::DirectorySelectionChanged() {
    // An index that cannot be loaded shows as an empty symbol list.
    CMainWindowReactions(session_).DirectorySelectionChanged();
    UpdateButtons();
}

void CMVRKrsExpDlg::CheckBoxClicked(int row, bool checked) {
    CMainWindowReactions(session_).CheckBoxChanged(static_cast<std::size_t>(row), checked);
}

void CMVRKrsExpDlg::DirectoryHeaderClicked(int column) {
    session_.DirectoryList().SortByColumn(column);
    ShowSortStates();
}

void CMVRKrsExpDlg::SymbolHeaderClicked(int column) {
    session_.SymbolList().SortByColumn(column);
    ShowSortStates();
}

void CMVRKrsExpDlg::ShowSortStates() {
    const CExpDirListModel& directories = session_.DirectoryList();
    directoryHeader_->SetSortColumn(directories.SortColumn(), !directories.IsDescending());
    const CExpSymbolListModel& symbols = session_.SymbolList();
    symbolHeader_->SetSortColumn(symbols.SortColumn(), symbols.IsAscending());
}

void CMVRKrsExpDlg::UpdateButtons() {
    MainWindowState state;
    state.selectedDirectoryRows = session_.DirectoryList().Selection().Count();
    state.selectedSymbolRows = session_.SymbolList().Selection().Count();
    state.listActive = session_.User().activeListEntry > 0;
    const std::int32_t current = session_.CurrentDirectory();
    state.currentDirectoryLinked =
        current >= 0 && static_cast<std::size_t>(current) < session_.Directories().size() &&
        session_.Directories()[static_cast<std::size_t>(current)].IsLinked();
    state.directoryArrayEmpty = session_.Directories().empty();
    state.accountEmpty = session_.User().account.empty();
    const ButtonStates enabled = ComputeButtonStates(state);
    Button(MainWindowButton::AddList)->setEnabled(enabled.addList);
    Button(MainWindowButton::RemoveList)->setEnabled(enabled.removeList);
    Button(MainWindowButton::UpdateList)->setEnabled(enabled.updateList);
    Button(MainWindowButton::AddDirectory)->setEnabled(enabled.addDirectory);
    Button(MainWindowButton::RemoveDirectories)->setEnabled(enabled.removeDirectories);
    Button(MainWindowButton::UpdateDirectories)->setEnabled(enabled.updateDirectories);
    Button(MainWindowButton::EditDirectory)->setEnabled(enabled.editDirectory);
    Button(MainWindowButton::FindSymbol)->setEnabled(enabled.findSymbol);
    Button(MainWindowButton::AddSymbols)->setEnabled(enabled.addSymbols);
    Button(MainWindowButton::DeleteSymbols)->setEnabled(enabled.deleteSymbols);
    Button(MainWindowButton::OpenSymbol)->setEnabled(enabled.openSymbol);
    symbolView_->setEnabled(enabled.symbolList);
    MenuAction(MainWindowMenuCommand::UpdateAll)->setEnabled(enabled.updateAllMenu);
    MenuAction(MainWindowMenuCommand::ImportLegacy)->setEnabled(enabled.importMenu);
}

// Commands change directories, counts and symbols behind the boxes' backs.
void CMVRKrsExpDlg::RefreshAfterCommand() {
    if (listsBox_->count() != static_cast<int>(session_.Lists().size()) + 1) {
        FillListsBox();
    }
    ShowSortStates();
    UpdateButtons();
}

void CMVRKrsExpDlg::RunAccountCommand() {
    const AccountCommandResult result =
        mvr::RunAccountCommand(session_, interaction_, CurrentClientInfo());
    if (result == AccountCommandResult::EndRun) {
        close();
        return;
    }
    UpdateButtons();
}

void CMVRKrsExpDlg::ClientCheckAnswered(int result, const ClientInfo& info) {
    switch (MainWindowCheckAction(result, info)) {
    case ClientCheckAction::None:
        // No connection: a batch run cannot go on, an interactive one can.
        if (IsBatchSwitch(session_.FirstArgument())) {
            batchEnd_ = RunEnd{kExitCommunication, kServerUnreachableText};
            close();
        }
        break;
    case ClientCheckAction::AccountCommand:
        RunAccountCommand();
        break;
    case ClientCheckAction::ProcessCommandLine:
        ProcessCommandLine();
        break;
    }
    emit clientCheckHandled();
}

void CMVRKrsExpDlg::ProcessCommandLine() {
    const CommandLineResult result = CUpdateCommands(session_, interaction_).ProcessCommandLine();
    if (result.outcome == CommandLineOutcome::LoginFailed) {
        interaction_.ShowMessage(result.message, MessageIcon::None);
    }
    RefreshAfterCommand();
    if (result.EndsRun()) {
        batchEnd_ = EndOfBatchSwitchRun(result);
        close();
    }
}

void CMVRKrsExpDlg::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMVRKrsExpDlg::RestoreLayout() {
    const WindowLayout& layout = session_.Layout();
    if (layout.mainPlacementRead && layout.mainPlacement.IsStored()) {
        const WindowPlacement& placement = layout.mainPlacement;
        setGeometry(placement.left, placement.top, placement.right - placement.left,
                    placement.bottom - placement.top);
    }
    const int position =
        layout.splitterPosition > 0 ? layout.splitterPosition : kInitialSplitterPosition;
    splitter_->setSizes({position, std::max(kMinSymbolListWidth, width() - position)});
    for (std::size_t column = 0; column < layout.columnWidths.size(); ++column) {
        if (layout.columnWidths[column] > 0) {
            directoryView_->setColumnWidth(static_cast<int>(column), layout.columnWidths[column]);
        }
    }
}

void CMVRKrsExpDlg::StoreLayout() {
    WindowLayout& layout = session_.Layout();
    const QRect frame = geometry();
    layout.mainPlacement.length = WindowPlacement::kSize;
    layout.mainPlacement.showCommand = isMaximized() ? 3 : 1;
    layout.mainPlacement.left = frame.left();
    layout.mainPlacement.top = frame.top();
    layout.mainPlacement.right = frame.right() + 1;
    layout.mainPlacement.bottom = frame.bottom() + 1;
    layout.mainPlacementRead = true;
    layout.splitterPosition = splitter_->sizes().value(0);
    layout.columnWidths.clear();
    for (int column = 0; column < directoryModel_->columnCount(); ++column) {
        layout.columnWidths.push_back(directoryView_->columnWidth(column));
    }
}

// "Exit" and the close box store the configuration with the window's layout.
void CMVRKrsExpDlg::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        clientCheck_.Stop();
        StoreLayout();
        StoreConfigOrTell(session_, interaction_);
    }
    event->accept();
}

bool CMVRKrsExpDlg::DropAllowedOnRow(int row) const {
    // Over no row a drop would do nothing: it is refused like a linked row.
    return row >= 0 && !session_.DirectoryList().RefusesDrop(row, session_.CurrentDirectory());
}

void CMVRKrsExpDlg::DropSymbolsOnRow(int row) {
    CopyOrMoveDroppedSymbols(session_, interaction_, row);
    RefreshAfterCommand();
}

// Symbols dragged over the directory list: a row that refuses them shows the
// not-allowed cursor and no highlight; the drop itself opens the copy/move
// dialog once the drag has ended.
bool CMVRKrsExpDlg::HandleSymbolDrag(QEvent* event) {
    auto* drag = static_cast<QDropEvent*>(event);
    if (!drag->mimeData()->hasFormat(kSymbolDragFormat)) {
        return false;
    }
    const int row = directoryView_->indexAt(drag->position().toPoint()).row();
    const bool allowed = DropAllowedOnRow(row);
    directoryModel_->SetDropTarget(allowed ? row : -1);
    if (!allowed) {
        drag->ignore();
        return true;
    }
    drag->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        directoryModel_->SetDropTarget(-1);
        QTimer::singleShot(0, this, [this, row] { DropSymbolsOnRow(row); });
    }
    return true;
}

// Typing in the symbol list selects by prefix; what the core does not take
// (arrows, page keys) the view handles as usual.
bool CMVRKrsExpDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == directoryView_->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            if (HandleSymbolDrag(event)) {
                return true;
            }
            break;
        case QEvent::DragLeave:
            directoryModel_->SetDropTarget(-1);
            return true;
        default:
            break;
        }
    }
    if (watched == symbolView_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() == 1 && text.at(0).unicode() < 0x80 && text.at(0).isPrint()) {
            const TypeAheadResult result =
                session_.SymbolList().TypeAhead(static_cast<char>(text.at(0).unicode()),
                                                key->modifiers().testFlag(Qt::ControlModifier));
            if (result.taken) {
                if (result.row) {
                    symbolView_->scrollTo(symbolModel_->index(static_cast<int>(*result.row), 0));
                }
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace mvr::gui
