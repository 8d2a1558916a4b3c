#pragma once

// "Download with Definition File": the input file that goes to the server
// unchanged and the output file that receives the server's answer. Download
// runs the session's exchange on a worker thread while the dialog's events go
// on; the status line tells how it ended, and "Download finished" goes away
// after a while. Both names go back into the user settings whenever the
// dialog closes.

#include "core/app/DefinitionFileDialogRules.h"

#include <chrono>
#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

namespace mvr {
class CMVRKrsExpSession;
class CUserInteraction;
} // namespace mvr

namespace mvr::gui {

class CFileEdit;

class CDefinitionFileDownloadDlg : public QDialog {
    Q_OBJECT

public:
    // Shows the session's stored names. The error box, the editor start of
    // the file fields and the server work go through `interaction`, whose
    // RunNetworkWork must keep the events going (the window's does).
    // `finishedStatusDuration` is how long "Download finished" stays.
    CDefinitionFileDownloadDlg(
        CMVRKrsExpSession& session, CUserInteraction& interaction, QWidget* parent = nullptr,
        std::chrono::milliseconds finishedStatusDuration = kFinishedStatusDuration);

    CFileEdit* InputFile() const { return input_; }
    CFileEdit* OutputFile() const { return output_; }
    QString StatusText() const;
    QPushButton* DownloadButton() const { return download_; }

public slots:
    // "Download": one exchange with the two names as they stand.
    void Download();
    // Whatever closes the dialog takes the names back into the settings; it
    // does not close while an exchange runs (its progress box cancels it).
    void done(int result) override;

private:
    void TakeOverNames();
    void SetBusy(bool busy);

    CMVRKrsExpSession& session_;
    CUserInteraction& interaction_;
    CFileEdit* input_;
    CFileEdit* output_;
    QLabel* status_;
    QPushButton* download_;
    QPushButton* close_;
    QTimer clearStatus_;
    bool running_ = false;
};

} // namespace mvr::gui
