#include "gui/dialogs/ScheduleUpdateDlg.h"

#include "gui/controls/CoreText.h"

#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace mvr::gui {

namespace {

// In the order of SwitchSelection.
constexpr const char* kSelectionTexts[] = {"All directories", "One directory", "One list"};

} // namespace

CScheduleUpdateDlg::CScheduleUpdateDlg(CScheduleDailyUpdate& schedule,
                                       const std::vector<MVRKrsExportInfo>& directories,
                                       const std::vector<CMVRDirListInfo>& lists, QWidget* parent)
    : QDialog(parent), schedule_(schedule), directories_(directories), lists_(lists),
      current_(new QLabel(this)), time_(new QTimeEdit(this)), selection_(new QComboBox(this)),
      value_(new QComboBox(this)),
      realtime_(new QCheckBox(QStringLiteral("With realtime data"), this)),
      message_(new QLabel(this)),
      scheduleButton_(new QPushButton(QStringLiteral("Schedule"), this)),
      removeButton_(new QPushButton(QStringLiteral("Remove schedule"), this)) {
    setWindowTitle(QString::fromUtf8(kScheduleDialogCaption));
    current_->setWordWrap(true);
    message_->setWordWrap(true);
    time_->setDisplayFormat(QStringLiteral("HH:mm"));
    for (const char* text : kSelectionTexts) {
        selection_->addItem(QString::fromUtf8(text));
    }
    value_->setMinimumContentsLength(28);
    value_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Every day at:"), time_);
    form->addRow(QStringLiteral("Update:"), selection_);
    form->addRow(QStringLiteral("Directory or list:"), value_);
    form->addRow(QString(), realtime_);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(scheduleButton_, QDialogButtonBox::ActionRole);
    buttons->addButton(removeButton_, QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setText(QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &CScheduleUpdateDlg::accept);
    connect(scheduleButton_, &QPushButton::clicked, this,
            [this] { ShowResult(schedule_.Install(Entries())); });
    connect(removeButton_, &QPushButton::clicked, this, [this] { ShowResult(schedule_.Remove()); });
    connect(selection_, &QComboBox::currentIndexChanged, this, [this] { FillValues(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(current_);
    layout->addLayout(form);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    ShowOpening();
}

void CScheduleUpdateDlg::ShowOpening() {
    opening_ = schedule_.Open(directories_, lists_);
    current_->setText(QtText(opening_.currentText));
    removeButton_->setEnabled(opening_.removable);
    ShowEntries(opening_.entries);
}

void CScheduleUpdateDlg::ShowEntries(const ScheduleDialogEntries& entries) {
    time_->setTime(QTime(entries.time.hour, entries.time.minute));
    selection_->setCurrentIndex(static_cast<int>(entries.update.selection));
    FillValues();
    // A directory or list renamed since the schedule was made is still shown.
    const QString value = QtText(entries.value);
    if (value_->isEnabled() && !value.isEmpty() && value_->findText(value) < 0) {
        value_->addItem(value);
    }
    value_->setCurrentIndex(std::max(value_->findText(value), 0));
    realtime_->setChecked(entries.update.realtime);
}

void CScheduleUpdateDlg::FillValues() {
    value_->clear();
    const auto selection = static_cast<SwitchSelection>(selection_->currentIndex());
    const std::vector<std::string>& values =
        selection == SwitchSelection::Directory ? opening_.directories : opening_.lists;
    if (selection != SwitchSelection::All) {
        for (const std::string& value : values) {
            value_->addItem(QtText(value));
        }
    }
    value_->setEnabled(selection != SwitchSelection::All);
}

ScheduleDialogEntries CScheduleUpdateDlg::Entries() const {
    ScheduleDialogEntries entries;
    entries.time = DailyTime{time_->time().hour(), time_->time().minute()};
    entries.update = {static_cast<SwitchSelection>(selection_->currentIndex()),
                      realtime_->isChecked()};
    entries.value = CoreText(value_->currentText());
    return entries;
}

void CScheduleUpdateDlg::ShowResult(const ScheduleResult& result) {
    const ScheduleDialogEntries shown = Entries();
    ShowOpening();
    ShowEntries(shown);
    message_->setText(QtText(result.message));
}

} // namespace mvr::gui
