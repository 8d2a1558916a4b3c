#pragma once

// The "Download" dialog around the core's update job: the job's counts and
// mode, the kind of update, the date range, and while the job runs its phase
// and progress. The job runs on its own thread; the dialog only reacts to
// what the job reports, so the window stays responsive throughout.

#include "core/update/UpdateProgressSink.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace mvr {
class CUpdateJob;
class CUserInteraction;
} // namespace mvr

namespace mvr::gui {

class CDatumEdit;

class CDownloadProgressDlg : public QDialog, private CUpdateProgressSink {
    Q_OBJECT

public:
    // `interaction` asks the stop question.
    CDownloadProgressDlg(CUpdateJob& job, CUserInteraction& interaction, QWidget* parent = nullptr);
    ~CDownloadProgressDlg() override;

    // An unattended job starts as soon as the dialog shows.
    int exec() override;

    QString PhaseText() const;

public slots:
    void accept() override;
    void reject() override;

private:
    void BuildControls();
    void KindChanged();
    void StartJob();
    void AskToStop();
    void StopAndClose();
    void SetInputsEnabled(bool enabled);

    // Called on the job's thread; each hands its report to the dialog's thread.
    void PhaseChanged(const std::string& text) override;
    void ProgressRange(std::int32_t low, std::int32_t high) override;
    void ProgressPosition(std::int32_t position) override;
    void Notice(const std::string& text) override;
    void JobEnded(const UpdateSummary& summary) override;

    CUpdateJob& job_;
    CUserInteraction& interaction_;
    QRadioButton* normal_ = nullptr;
    QRadioButton* realtime_ = nullptr;
    QRadioButton* dateRange_ = nullptr;
    CDatumEdit* startDate_ = nullptr;
    CDatumEdit* endDate_ = nullptr;
    QCheckBox* replace_ = nullptr;
    QLabel* phase_ = nullptr;
    QLabel* notice_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool ended_ = false;
};

} // namespace mvr::gui
