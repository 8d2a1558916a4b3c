#include "gui/dialogs/DownloadProgressDlg.h"

#include "core/config/UserInteraction.h"
#include "core/formats/DayNumber.h"
#include "core/update/ProgressDialogRules.h"
#include "core/update/UpdateJob.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/DatumEdit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

std::int32_t DayOf(const CDatumEdit& field) {
    std::int32_t day = 0;
    const std::string text = CoreText(field.text());
    return ParseDateText(text.c_str(), &day) ? day : 0;
}

} // namespace

CDownloadProgressDlg::CDownloadProgressDlg(CUpdateJob& job, CUserInteraction& interaction,
                                           QWidget* parent)
    : QDialog(parent), job_(job), interaction_(interaction) {
    setWindowTitle(kProgressDialogTitle);
    BuildControls();
    KindChanged();
}

// A dialog closed while its job still runs (its owner went away) must not
// leave the job reporting into it.
CDownloadProgressDlg::~CDownloadProgressDlg() {
    if (job_.State() == UpdateJobState::Running || job_.State() == UpdateJobState::Stopping) {
        job_.RequestStop();
        job_.Wait();
    }
}

void CDownloadProgressDlg::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(job_.ModeText()), this));

    auto* counts = new QFormLayout;
    const std::int32_t symbols = job_.Mode() == CUpdateJob::kModeEditor ? 1 : job_.SymbolCount();
    counts->addRow(kDirectoriesLabel, new QLabel(QString::number(job_.DirectoryCount()), this));
    counts->addRow(kSymbolsLabel, new QLabel(QString::number(symbols), this));
    layout->addLayout(counts);

    auto* kinds = new QGroupBox(this);
    auto* kindLayout = new QVBoxLayout(kinds);
    normal_ = new QRadioButton(kNormalUpdateText, kinds);
    realtime_ = new QRadioButton(kNormalAndRealtimeUpdateText, kinds);
    dateRange_ = new QRadioButton(kDateRangeUpdateText, kinds);
    normal_->setChecked(true);
    for (QRadioButton* kind : {normal_, realtime_, dateRange_}) {
        kindLayout->addWidget(kind);
    }
    auto* dates = new QFormLayout;
    startDate_ = new CDatumEdit(kinds);
    endDate_ = new CDatumEdit(kinds);
    dates->addRow(kStartDateLabel, startDate_);
    dates->addRow(kEndDateLabel, endDate_);
    kindLayout->addLayout(dates);
    replace_ = new QCheckBox(kReplaceHistoryText, kinds);
    replace_->setToolTip(kReplaceHistoryTooltip);
    kindLayout->addWidget(replace_);
    layout->addWidget(kinds);
    for (QRadioButton* kind : {normal_, realtime_, dateRange_}) {
        connect(kind, &QRadioButton::toggled, this, [this] { KindChanged(); });
    }

    phase_ = new QLabel(this);
    notice_ = new QLabel(this);
    notice_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1);
    progress_->setValue(0);
    layout->addWidget(phase_);
    layout->addWidget(progress_);
    layout->addWidget(notice_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDownloadProgressDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDownloadProgressDlg::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

int CDownloadProgressDlg::exec() {
    if (job_.Unattended()) {
        const UpdateSettings settings = job_.UnattendedSettings();
        (settings.kind == UpdateKind::NormalAndRealtime ? realtime_ : normal_)->setChecked(true);
        QTimer::singleShot(0, this, [this] { StartJob(); });
    }
    return QDialog::exec();
}

QString CDownloadProgressDlg::PhaseText() const {
    return phase_->text();
}

void CDownloadProgressDlg::KindChanged() {
    const bool range = dateRange_->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{startDate_, endDate_, replace_}) {
        control->setEnabled(range);
    }
    if (range) {
        startDate_->setFocus();
    }
}

void CDownloadProgressDlg::accept() {
    switch (OnProgressOk(job_.State())) {
    case ProgressOkAction::StartJob:
        StartJob();
        return;
    case ProgressOkAction::CloseWithOk:
        QDialog::accept();
        return;
    }
}

void CDownloadProgressDlg::StartJob() {
    UpdateSettings settings;
    settings.kind = normal_->isChecked()     ? UpdateKind::Normal
                    : realtime_->isChecked() ? UpdateKind::NormalAndRealtime
                                             : UpdateKind::DateRange;
    settings.startDay = DayOf(*startDate_);
    settings.endDay = DayOf(*endDate_);
    settings.replace = replace_->isChecked();
    SetInputsEnabled(false);
    ok_->setEnabled(false);
    ended_ = false;
    if (!job_.Start(settings, *this)) {
        SetInputsEnabled(true);
        ok_->setEnabled(true);
    }
}

void CDownloadProgressDlg::SetInputsEnabled(bool enabled) {
    for (QRadioButton* kind : {normal_, realtime_, dateRange_}) {
        kind->setEnabled(enabled);
    }
    if (enabled) {
        KindChanged();
    } else {
        for (QWidget* control : std::initializer_list<QWidget*>{startDate_, endDate_, replace_}) {
            control->setEnabled(false);
        }
    }
}

// Escape, the close box and Cancel all come here.
void CDownloadProgressDlg::reject() {
    switch (OnProgressCancel(job_.State())) {
    case ProgressCancelAction::CloseWithCancel:
        QDialog::reject();
        return;
    case ProgressCancelAction::Ignore:
        return;
    case ProgressCancelAction::AskToStop:
        AskToStop();
        return;
    }
}

void CDownloadProgressDlg::AskToStop() {
    job_.SetStopAsked(true);
    const bool yes = interaction_.AskYesNo(kStopUpdateQuestion, MessageIcon::Question);
    const UpdateJobState now = job_.State();
    const bool stopped = now == UpdateJobState::Ended && job_.Summary().stopped;
    switch (OnStopAnswer(yes, now, stopped)) {
    case StopAnswerAction::StopWaitAndClose:
        StopAndClose();
        return;
    case StopAnswerAction::GoOn:
        job_.SetStopAsked(false);
        return;
    case StopAnswerAction::CloseWithCancel:
        QDialog::reject();
        return;
    case StopAnswerAction::EnableAgain:
        SetInputsEnabled(true);
        ok_->setEnabled(true);
        return;
    }
}

// The job's last report arrives through the event loop, so the loop goes on
// while the worker finishes its current step.
void CDownloadProgressDlg::StopAndClose() {
    job_.RequestStop();
    QEventLoop waiting;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &waiting, [this, &waiting] {
        if (job_.State() == UpdateJobState::Ended && ended_) {
            waiting.quit();
        }
    });
    poll.start(20);
    if (job_.State() != UpdateJobState::Ended || !ended_) {
        waiting.exec();
    }
    job_.Wait();
    QDialog::reject();
}

void CDownloadProgressDlg::PhaseChanged(const std::string& text) {
    QMetaObject::invokeMethod(
        this, [this, text = QtText(text)] { phase_->setText(text); }, Qt::QueuedConnection);
}

void CDownloadProgressDlg::ProgressRange(std::int32_t low, std::int32_t high) {
    QMetaObject::invokeMethod(
        this, [this, low, high] { progress_->setRange(low, std::max(low + 1, high)); },
        Qt::QueuedConnection);
}

void CDownloadProgressDlg::ProgressPosition(std::int32_t position) {
    QMetaObject::invokeMethod(
        this, [this, position] { progress_->setValue(position); }, Qt::QueuedConnection);
}

void CDownloadProgressDlg::Notice(const std::string& text) {
    QMetaObject::invokeMethod(
        this,
        [this, text = QtText(text)] {
            notice_->setText(notice_->text().isEmpty() ? text : notice_->text() + '\n' + text);
        },
        Qt::QueuedConnection);
}

// The job presses the dialog's OK itself when nobody asked it to stop (or
// it runs unattended); otherwise the dialog stays with "Update finished".
void CDownloadProgressDlg::JobEnded(const UpdateSummary& summary) {
    const bool closeWithOk = summary.closeWithOk;
    QMetaObject::invokeMethod(
        this,
        [this, closeWithOk] {
            ended_ = true;
            if (closeWithOk) {
                job_.Wait();
                QDialog::accept();
            } else {
                ok_->setEnabled(true);
            }
        },
        Qt::QueuedConnection);
}

} // namespace mvr::gui
