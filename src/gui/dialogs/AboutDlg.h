#pragma once

// "Info about Marvane Kavolo": the application icon, the program's name, a
// line on what it is for, and the version of the running program.

#include <QDialog>

namespace mvr::gui {

inline constexpr const char* kAboutDialogTitle = "Info about Marvane Kavolo";
inline constexpr const char* kAboutProgramName = "Marvane Kavolo";
inline constexpr const char* kAboutSecondLine =
    "Price data for your chart program, kept up to date from the Marvane price server.";

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace mvr::gui
