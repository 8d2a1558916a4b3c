#pragma once

// The "Directory Editor": the user enters a new export directory (folder,
// format, start date, bar interval, linked catalogue) or changes the start
// date, interval and catalogue of an existing one. What the controls offer,
// what the information line says and what OK checks are the core's; the
// questions and messages of OK go through the user interaction.

#include "core/app/DirectoryEditor.h"

#include <QDialog>

class QComboBox;
class QFormLayout;
class QLabel;

namespace mvr {
class CUserInteraction;
} // namespace mvr

namespace mvr::gui {

class CDatumEdit;
class CDirEdit;
class CMVRCatalogTreeEntrySelect;

inline constexpr const char* kDirectoryEditorTitle = "Directory Editor";
inline constexpr const char* kDirectoryLabel = "Directory:";
inline constexpr const char* kFormatLabel = "Format:";
inline constexpr const char* kStartDateLabel = "Start Date:";
inline constexpr const char* kIntervalLabel = "Interval in Minutes:";
inline constexpr const char* kLinkedCatalogLabel = "Linked Catalog:";

class CDirChooseDlg : public QDialog {
    Q_OBJECT

public:
    // `values` are what the editor opens with; after Accepted they hold what
    // its checks accepted, after Rejected they are unchanged.
    CDirChooseDlg(DirectoryEditorValues& values, CUserInteraction& interaction,
                  QWidget* parent = nullptr);

    CDirEdit* PathField() const { return path_; }
    QLabel* InformationLine() const { return information_; }
    QComboBox* FormatBox() const { return format_; }
    CDatumEdit* StartDateField() const { return startDate_; }
    QComboBox* IntervalBox() const { return interval_; }
    CMVRCatalogTreeEntrySelect* CatalogueField() const { return catalogue_; }
    // Whether the interval label and box are part of the dialog now.
    bool IntervalShown() const;

public slots:
    void accept() override;

private:
    void ShowFolderInformation();
    void ShowIntervalForFormat();
    void SelectFormat(std::int32_t formatType);
    std::int32_t SelectedFormat() const;

    DirectoryEditorValues& values_;
    CUserInteraction& interaction_;
    DirectoryEditorOpening opening_;
    QFormLayout* form_ = nullptr;
    CDirEdit* path_ = nullptr;
    QLabel* information_ = nullptr;
    QComboBox* format_ = nullptr;
    CDatumEdit* startDate_ = nullptr;
    QComboBox* interval_ = nullptr;
    CMVRCatalogTreeEntrySelect* catalogue_ = nullptr;
};

} // namespace mvr::gui
