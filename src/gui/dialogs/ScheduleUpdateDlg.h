#pragma once

// "Schedule daily update": when and what the batch tool updates every day
// from the machine's scheduler, installed or removed through the core's
// schedule. The dialog stays open after each button and shows the outcome.

#include "core/app/ScheduleDailyUpdate.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimeEdit;

namespace mvr::gui {

class CScheduleUpdateDlg : public QDialog {
    Q_OBJECT

public:
    CScheduleUpdateDlg(CScheduleDailyUpdate& schedule,
                       const std::vector<MVRKrsExportInfo>& directories,
                       const std::vector<CMVRDirListInfo>& lists, QWidget* parent = nullptr);

    QTimeEdit* TimeEdit() const { return time_; }
    QComboBox* SelectionBox() const { return selection_; }
    QComboBox* ValueBox() const { return value_; }
    QCheckBox* RealtimeBox() const { return realtime_; }
    QLabel* CurrentLine() const { return current_; }
    QLabel* MessageLine() const { return message_; }
    QPushButton* ScheduleButton() const { return scheduleButton_; }
    QPushButton* RemoveButton() const { return removeButton_; }

private:
    void ShowOpening();
    void ShowEntries(const ScheduleDialogEntries& entries);
    void FillValues();
    ScheduleDialogEntries Entries() const;
    void ShowResult(const ScheduleResult& result);

    CScheduleDailyUpdate& schedule_;
    const std::vector<MVRKrsExportInfo>& directories_;
    const std::vector<CMVRDirListInfo>& lists_;
    ScheduleDialogOpening opening_;
    QLabel* current_;
    QTimeEdit* time_;
    QComboBox* selection_;
    QComboBox* value_;
    QCheckBox* realtime_;
    QLabel* message_;
    QPushButton* scheduleButton_;
    QPushButton* removeButton_;
};

} // namespace mvr::gui
