#include "gui/directory/DirChooseDlg.h"

#include "core/config/UserInteraction.h"
#include "core/formats/DayNumber.h"
#include "gui/catalogue/CatalogTreeEntrySelect.h"
#include "gui/controls/CoreText.h"
#include "gui/controls/DatumEdit.h"
#include "gui/controls/DirEdit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mvr::gui {

CDirChooseDlg::CDirChooseDlg(DirectoryEditorValues& values, CUserInteraction& interaction,
                             QWidget* parent)
    : QDialog(parent), values_(values), interaction_(interaction),
      opening_(OpenDirectoryEditor(values, TodayDayNumber())) {
    setWindowTitle(kDirectoryEditorTitle);
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    form_->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);

    path_ = new CDirEdit(this);
    path_->SetFolderBrowser([this](const std::string& title, const std::string& initial) {
        return interaction_.BrowseForFolder(title, initial);
    });
    form_->addRow(kDirectoryLabel, path_);

    // Room for one line of text even while it is empty, so that the fields
    // below do not move as the user types.
    information_ = new QLabel(this);
    information_->setObjectName(QStringLiteral("informationLine"));
    information_->setMinimumHeight(information_->fontMetrics().height());
    information_->setTextFormat(Qt::PlainText);
    form_->addRow(QString(), information_);

    format_ = new QComboBox(this);
    for (const FormatChoice& choice : EditorFormatChoices()) {
        format_->addItem(QtText(choice.name), choice.formatType);
    }
    form_->addRow(kFormatLabel, format_);

    startDate_ = new CDatumEdit(this);
    form_->addRow(kStartDateLabel, startDate_);

    interval_ = new QComboBox(this);
    interval_->setEditable(true);
    interval_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::int32_t minutes : OfferedIntervals()) {
        interval_->addItem(QString::number(minutes));
    }
    form_->addRow(kIntervalLabel, interval_);

    catalogue_ = new CMVRCatalogTreeEntrySelect(this);
    form_->addRow(kLinkedCatalogLabel, catalogue_);
    layout->addLayout(form_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CDirChooseDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDirChooseDlg::reject);
    layout->addWidget(buttons);

    // The controls as the editor opens.
    SelectFormat(opening_.formatType);
    path_->SetText(values.path);
    path_->setEnabled(!opening_.pathAndFormatFixed);
    format_->setEnabled(!opening_.pathAndFormatFixed);
    ShowFolderInformation();
    startDate_->setText(QtText(opening_.dateText));
    interval_->setCurrentText(QtText(opening_.intervalText));
    catalogue_->SetCatalogue(values.catalogueId, values.catalogueName);
    form_->setRowVisible(interval_, opening_.intervalShown);

    connect(path_, &QLineEdit::textChanged, this, &CDirChooseDlg::ShowFolderInformation);
    connect(format_, &QComboBox::currentIndexChanged, this, &CDirChooseDlg::ShowIntervalForFormat);

    // Wide enough for a usual path and information line; a longer line
    // widens the dialog, a longer path scrolls in its field.
    path_->setMinimumWidth(path_->fontMetrics().averageCharWidth() * 56);
}

bool CDirChooseDlg::IntervalShown() const {
    return !interval_->isHidden();
}

void CDirChooseDlg::accept() {
    DirectoryEditorEntries entries;
    entries.existing = values_.existing;
    entries.pathText = path_->Text();
    entries.formatType = SelectedFormat();
    entries.dateText = startDate_->Text();
    entries.catalogueId = catalogue_->CatalogueId();
    entries.catalogueName = catalogue_->CatalogueName();
    entries.previousCatalogueId = opening_.previousCatalogueId;
    entries.intervalText = CoreText(interval_->currentText());
    std::optional<DirectoryEditorValues> accepted = AcceptDirectoryEditor(entries, interaction_);
    if (!accepted) {
        return;
    }
    values_ = std::move(*accepted);
    QDialog::accept();
}

void CDirChooseDlg::ShowFolderInformation() {
    const EnteredFolderInfo info = InspectEnteredFolder(path_->Text());
    information_->setText(QtText(info.informationLine));
    // The format of an existing directory is fixed whatever its folder holds.
    if (info.formatType && format_->isEnabled()) {
        SelectFormat(*info.formatType);
    }
}

void CDirChooseDlg::ShowIntervalForFormat() {
    form_->setRowVisible(interval_, ShowsIntervalBox(SelectedFormat()));
}

void CDirChooseDlg::SelectFormat(std::int32_t formatType) {
    // A format that is not offered selects nothing.
    format_->setCurrentIndex(format_->findData(formatType));
}

std::int32_t CDirChooseDlg::SelectedFormat() const {
    // With nothing selected the directory keeps the format it was opened with.
    const int index = format_->currentIndex();
    return index < 0 ? opening_.formatType : format_->itemData(index).toInt();
}

} // namespace mvr::gui
