#include "gui/catalogue/DefinitionFileDownloadDlg.h"

#include "core/app/Session.h"
#include "core/config/UserInteraction.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/FileEdit.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

// Wide enough for a path of a few folders.
constexpr int kFileFieldMinimumWidth = 300;

} // namespace

CDefinitionFileDownloadDlg::CDefinitionFileDownloadDlg(
    CMVRKrsExpSession& session, CUserInteraction& interaction, QWidget* parent,
    std::chrono::milliseconds finishedStatusDuration)
    : QDialog(parent), session_(session), interaction_(interaction), input_(new CFileEdit(this)),
      output_(new CFileEdit(this)), status_(new QLabel(this)),
      download_(new QPushButton(QString::fromLatin1(kDefinitionDownloadButton), this)),
      close_(new QPushButton(QString::fromLatin1(kDefinitionCloseButton), this)) {
    setWindowTitle(QString::fromLatin1(kDefinitionFileDialogTitle));

    input_->setObjectName(QStringLiteral("inputFile"));
    output_->setObjectName(QStringLiteral("outputFile"));
    status_->setObjectName(QStringLiteral("status"));
    input_->SetText(session_.User().definitionInput);
    output_->SetText(session_.User().definitionOutput);
    for (CFileEdit* field : {input_, output_}) {
        field->SetExtension(kDefinitionFileExtension);
        field->setMinimumWidth(kFileFieldMinimumWidth);
    }

    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    auto* inputLabel = new QLabel(QString::fromLatin1(kInputFileLabel), this);
    auto* outputLabel = new QLabel(QString::fromLatin1(kOutputFileLabel), this);
    inputLabel->setBuddy(input_);
    outputLabel->setBuddy(output_);
    fields->addWidget(inputLabel, 0, 0);
    fields->addWidget(input_, 0, 1);
    fields->addWidget(outputLabel, 1, 0);
    fields->addWidget(output_, 1, 1);
    fields->setColumnStretch(1, 1);
    layout->addLayout(fields);
    layout->addWidget(new QLabel(QString::fromLatin1(kDefinitionFormatText), this));
    // The status line keeps its height while it is empty, so the dialog
    // does not jump when a text comes and goes.
    status_->setMinimumHeight(status_->fontMetrics().height());
    layout->addWidget(status_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(download_, QDialogButtonBox::ActionRole);
    buttons->addButton(close_, QDialogButtonBox::RejectRole);
    download_->setDefault(true);
    connect(download_, &QPushButton::clicked, this, &CDefinitionFileDownloadDlg::Download);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDefinitionFileDownloadDlg::reject);
    layout->addWidget(buttons);

    clearStatus_.setSingleShot(true);
    clearStatus_.setInterval(finishedStatusDuration);
    connect(&clearStatus_, &QTimer::timeout, status_, &QLabel::clear);
}

QString CDefinitionFileDownloadDlg::StatusText() const {
    return status_->text();
}

void CDefinitionFileDownloadDlg::Download() {
    if (running_) {
        return;
    }
    TakeOverNames();
    const std::string inputPath = input_->Text();
    const std::string outputPath = output_->Text();
    clearStatus_.stop();
    status_->setText(QString::fromLatin1(kDownloadInProgressText));

    int result = 0;
    DefinitionFileOutcome outcome = DefinitionFileOutcome::ConnectionFailed;
    SetBusy(true);
    bool answered = false;
    try {
        answered = interaction_.RunNetworkWork(kDownloadInProgressText, [&](const RunFlag& run) {
            result = session_.RunDefinitionFile(inputPath, outputPath, run, &outcome);
        });
    } catch (...) {
        SetBusy(false);
        status_->clear();
        throw;
    }
    SetBusy(false);
    if (!answered) {
        // Cancelled by the user: nothing to report.
        status_->clear();
        return;
    }

    const DefinitionFileRunDisplay display = DefinitionFileRunResult(result, outcome);
    status_->setText(QtText(display.status));
    if (!display.status.empty()) {
        clearStatus_.start();
    }
    if (!display.message.empty()) {
        interaction_.ShowMessage(display.message, MessageIcon::None);
    }
}

void CDefinitionFileDownloadDlg::done(int result) {
    if (running_) {
        return;
    }
    TakeOverNames();
    clearStatus_.stop();
    QDialog::done(result);
}

void CDefinitionFileDownloadDlg::TakeOverNames() {
    session_.User().definitionInput = input_->Text();
    session_.User().definitionOutput = output_->Text();
}

// While the exchange runs the dialog's events go on: nothing may start a
// second exchange or change the names under it.
void CDefinitionFileDownloadDlg::SetBusy(bool busy) {
    running_ = busy;
    for (QWidget* control : std::initializer_list<QWidget*>{input_, output_, download_, close_}) {
        control->setEnabled(!busy);
    }
}

} // namespace mvr::gui
