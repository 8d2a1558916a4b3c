#pragma once

// The main window: the lists box and format filter, the directory list and
// the symbol list of the current directory side by side, the buttons and the
// menu of the commands. It displays the session's models and forwards every
// event to the core's commands and reactions; what a click changes is
// decided there.

#include "core/app/ClientInfoCheck.h"
#include "core/app/MainWindowTexts.h"
#include "core/app/RunEnd.h"
#include "gui/app/QtUserInteraction.h"

#include <map>
#include <optional>
#include <QMainWindow>

class QAction;
class QComboBox;
class QMenu;
class QPushButton;
class QSplitter;
class QTableView;

namespace mvr {
class CMVRKrsExpSession;
}

namespace mvr::gui {

class CDirListTableModel;
class CSymbolListTableModel;
class CSortHeader;

// The narrowest the two lists may become by moving the divider between them.
inline constexpr int kMinDirectoryListWidth = 151;
inline constexpr int kMinSymbolListWidth = 201;

class CMVRKrsExpDlg : public QMainWindow {
    Q_OBJECT

public:
    explicit CMVRKrsExpDlg(CMVRKrsExpSession& session, QWidget* parent = nullptr);
    ~CMVRKrsExpDlg() override;

    // Loads the configuration and fills every control; runs the account
    // command first when no account is stored. False when the configuration
    // folder cannot be had (the user has been told; the run is to end).
    bool Initialise();

    CQtUserInteraction& Interaction() { return interaction_; }
    QPushButton* Button(MainWindowButton button) const;
    QAction* MenuAction(MainWindowMenuCommand command) const;
    QComboBox* ListsBox() const { return listsBox_; }
    QComboBox* FormatBox() const { return formatBox_; }
    QTableView* DirectoryView() const { return directoryView_; }
    QTableView* SymbolView() const { return symbolView_; }
    QSplitter* Splitter() const { return splitter_; }

    // How a run that a batch switch ended ended; none for an interactive run.
    const std::optional<RunEnd>& BatchEnd() const { return batchEnd_; }

    // Symbols dragged over a row of the directory list: whether the row
    // takes them (not a linked directory, not the one they come from).
    bool DropAllowedOnRow(int row) const;
    // Symbols dropped on a row: the copy/move dialog, then the lists again.
    void DropSymbolsOnRow(int row);

    // Starts the check of the client information on its worker; its answer
    // may open the account dialog or run the command line's batch switch.
    void StartClientCheck();

signals:
    // The client-information check has been answered and acted on.
    void clientCheckHandled();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A drag-enter, drag-move or drop event on the directory list; false
    // when it carries no symbols of this window.
    bool HandleSymbolDrag(QEvent* event);
    void BuildControls();
    QWidget* BuildDirectoryPane();
    QWidget* BuildSymbolPane();
    void BuildMenu();
    QPushButton* MakeButton(MainWindowButton button);
    void ConnectCommands();

    void FillListsBox();
    void FillFormatBox();
    void ListsBoxChanged(int entry);
    void FormatBoxChanged(int entry);
    void DirectorySelectionChanged();
    void CheckBoxClicked(int row, bool checked);
    void DirectoryHeaderClicked(int column);
    void SymbolHeaderClicked(int column);
    void ShowSortStates();
    void UpdateButtons();
    void RefreshAfterCommand();

    void RunAccountCommand();
    void ClientCheckAnswered(int result, const ClientInfo& info);
    void ProcessCommandLine();
    void ShowAbout();
    void AddManualsToMenu();

    void RestoreLayout();
    void StoreLayout();

    CMVRKrsExpSession& session_;
    CQtUserInteraction interaction_;
    CDirListTableModel* directoryModel_ = nullptr;
    CSymbolListTableModel* symbolModel_ = nullptr;
    QComboBox* listsBox_ = nullptr;
    QComboBox* formatBox_ = nullptr;
    QTableView* directoryView_ = nullptr;
    QTableView* symbolView_ = nullptr;
    CSortHeader* directoryHeader_ = nullptr;
    CSortHeader* symbolHeader_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    std::map<MainWindowButton, QPushButton*> buttons_;
    std::map<MainWindowMenuCommand, QAction*> menuActions_;
    // Set while the window rebuilds its own boxes; their change signals are
    // not the user's.
    bool refreshing_ = false;
    bool closing_ = false;
    std::optional<RunEnd> batchEnd_;
    CClientInfoCheck clientCheck_;
};

} // namespace mvr::gui
