#pragma once

// "Find Instrument": a text, and the directories whose symbols match it
// with the number of matches; OK on a row names the directory to show.

#include <QDialog>

class QLineEdit;
class QTableView;

namespace mvr {
class CFindInstrumentInDirectories;
}

namespace mvr::gui {

class CDirListTableModel;

inline constexpr const char* kTextToFindLabel = "Text to find:";
inline constexpr const char* kFindButtonText = "Find";

class CFindInstrumentInDirectoriesDlg : public QDialog {
    Q_OBJECT

public:
    explicit CFindInstrumentInDirectoriesDlg(CFindInstrumentInDirectories& model,
                                             QWidget* parent = nullptr);

    QLineEdit* TextField() const { return text_; }
    QTableView* ResultView() const { return results_; }

public slots:
    void accept() override;

private:
    void Find();

    CFindInstrumentInDirectories& model_;
    QLineEdit* text_ = nullptr;
    QTableView* results_ = nullptr;
    CDirListTableModel* resultModel_ = nullptr;
};

} // namespace mvr::gui
