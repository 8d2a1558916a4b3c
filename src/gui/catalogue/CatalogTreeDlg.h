#pragma once

// The catalogue picker "securities catalogues": the server's catalogue tree,
// loaded on the loader thread (once per process; a later opening shows it
// from memory). OK or a double click chooses the selected catalogue, "None"
// chooses no catalogue, a group is no choice and leaves the dialog open.

#include "core/search/CatalogueChoice.h"
#include "core/search/CatalogueLoader.h"

#include <QDialog>
#include <vector>

class QPushButton;

namespace mvr::gui {

class CCatalogueTreeView;

class CMVRCatalogTreeDlg : public QDialog {
    Q_OBJECT

public:
    // Starts loading the tree at once; the dialog shows it when it arrives.
    explicit CMVRCatalogTreeDlg(QWidget* parent = nullptr);
    // Waits for the loader, which a closed dialog has already stopped.
    ~CMVRCatalogTreeDlg() override;

    // After OK: the chosen catalogue, or number 0 and an empty text after
    // "None".
    const CatalogueChoice& Choice() const { return choice_; }

    // The loader still runs; never after the dialog has closed.
    bool IsLoading() const { return loader_.IsRunning(); }

    CCatalogueTreeView* Tree() const { return tree_; }
    QPushButton* NoneButton() const { return none_; }

public slots:
    // OK: chooses the selected item when it is a catalogue.
    void accept() override;
    // "None": no catalogue.
    void ChooseNone();
    // Every way of closing ends the loader first, while the events go on.
    void done(int result) override;

signals:
    // The loader's tree is shown.
    void treeShown();

private:
    void ShowTree(const std::vector<CatalogueTreeItem>& items);
    void StopLoader();

    CCatalogueTreeView* tree_;
    QPushButton* none_;
    CatalogueChoice choice_;
    bool closing_ = false;
    CCatalogueLoader loader_;
};

} // namespace mvr::gui
