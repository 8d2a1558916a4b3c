#pragma once

// The "Add List" dialog: the name of a new list of directories, typed into a
// combo box that shows the names of the lists there are. A name that an
// existing list's name begins with is refused with a message.

#include "core/config/DirListInfo.h"

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;

namespace mvr {
class CUserInteraction;
} // namespace mvr

namespace mvr::gui {

inline constexpr const char* kAddListDialogTitle = "Add List";
inline constexpr const char* kListNameLabel = "Name:";

class CAddListDlg : public QDialog {
    Q_OBJECT

public:
    // `lists` is a copy of the list array; the refusal is shown through
    // `interaction`.
    CAddListDlg(std::vector<CMVRDirListInfo> lists, CUserInteraction& interaction,
                QWidget* parent = nullptr);

    // After OK: the accepted name.
    const std::string& Name() const { return name_; }

    // The names in the order shown; each entry carries its list's index as
    // its item data.
    QComboBox* NameBox() const { return names_; }

public slots:
    // OK: takes the typed name when the rule accepts it, else stays open.
    void accept() override;

private:
    std::vector<CMVRDirListInfo> lists_;
    CUserInteraction& interaction_;
    QComboBox* names_;
    std::string name_;
};

} // namespace mvr::gui
