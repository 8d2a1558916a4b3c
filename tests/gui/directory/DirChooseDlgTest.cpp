// The directory editor driven as the user does, its questions and messages
// answered through a scripted interaction instead of message boxes.

#include "gui/directory/DirChooseDlg.h"

#include "core/app/DirectoryEditor.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "gui/app/QtUserInteraction.h"
#include "gui/app/ScriptedAnswers.h"
#include "gui/catalogue/CatalogTreeEntrySelect.h"
#include "gui/controls/DatumEdit.h"
#include "gui/controls/DirEdit.h"
#include "support/TempDir.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <string>
#include <vector>

namespace mvr::gui {

namespace {

// A folder with an index of the format holding `count` symbols.
bool MakeIndex(const std::string& path, int formatType, int count) {
    if (!CreateFolders(path)) {
        return false;
    }
    CExportDirectory directory(formatType);
    if (!directory.Create(path, 0.0, formatType)) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        ExportSymbolInfo symbol;
        symbol.symbol = "S" + std::to_string(i);
        symbol.name = "Symbol " + std::to_string(i);
        symbol.sinCode = 1000 + i;
        if (!directory.AddSymbol(symbol)) {
            return false;
        }
    }
    return directory.Save();
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

void ClickOk(CDirChooseDlg& dialog) {
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
}

// The label the form shows in front of a field.
QString LabelOf(CDirChooseDlg& dialog, QWidget* field) {
    auto* form = dialog.findChild<QFormLayout*>();
    auto* label = qobject_cast<QLabel*>(form->labelForField(field));
    return label != nullptr ? label->text() : QString();
}

} // namespace

class DirChooseDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void NewDirectoryOpensOnTheFirstFormatAndAProposedDate();
    void ExistingDirectoryKeepsPathFormatAndCatalogueLink();
    void InformationLineFollowsTheTypedFolder();
    void IntervalBoxAppearsOnlyForAnIntradayFormat();
    void BrowseButtonAsksThroughTheInteraction();
    void OkOnAMissingFolderAsksToCreateIt();
    void RefusedEntriesKeepTheDialogOpen();

private:
    std::string Folder(const std::string& name) const { return dir_->File(name); }

    test::TempDir* dir_ = nullptr;
    CScriptedAnswers* answers_ = nullptr;
    CQtUserInteraction* interaction_ = nullptr;
};

void DirChooseDlgTest::init() {
    dir_ = new test::TempDir;
    answers_ = new CScriptedAnswers;
    interaction_ = new CQtUserInteraction(nullptr);
    interaction_->SetScriptedAnswers(answers_);
}

void DirChooseDlgTest::cleanup() {
    delete interaction_;
    delete answers_;
    delete dir_;
}

void DirChooseDlgTest::NewDirectoryOpensOnTheFirstFormatAndAProposedDate() {
    DirectoryEditorValues values;
    const std::int32_t before = TodayDayNumber();
    CDirChooseDlg dialog(values, *interaction_);
    const std::int32_t after = TodayDayNumber();
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QCOMPARE(dialog.windowTitle(), QStringLiteral("Directory Editor"));
    QCOMPARE(LabelOf(dialog, dialog.PathField()), QStringLiteral("Directory:"));
    QCOMPARE(LabelOf(dialog, dialog.FormatBox()), QStringLiteral("Format:"));
    QCOMPARE(LabelOf(dialog, dialog.StartDateField()), QStringLiteral("Start Date:"));
    QCOMPARE(LabelOf(dialog, dialog.IntervalBox()), QStringLiteral("Interval in Minutes:"));
    QCOMPARE(LabelOf(dialog, dialog.CatalogueField()), QStringLiteral("Linked Catalog:"));

    QVERIFY(dialog.PathField()->isEnabled());
    QVERIFY(dialog.PathField()->text().isEmpty());
    QVERIFY(dialog.InformationLine()->text().isEmpty());
    QVERIFY(dialog.FormatBox()->isEnabled());
    const std::vector<FormatChoice> choices = EditorFormatChoices();
    QCOMPARE(dialog.FormatBox()->count(), static_cast<int>(choices.size()));
    for (int i = 0; i < dialog.FormatBox()->count(); ++i) {
        QCOMPARE(dialog.FormatBox()->itemText(i), Q(choices[i].name));
    }
    QCOMPARE(dialog.FormatBox()->currentText(), QStringLiteral("Ascii: Comma Delimited"));
    const QString proposed = dialog.StartDateField()->text();
    QVERIFY(proposed == Q(FormatDayNumber(ProposedStartDate(before))) ||
            proposed == Q(FormatDayNumber(ProposedStartDate(after))));
    QVERIFY(proposed.startsWith(QStringLiteral("01.01.")));
    QVERIFY(!dialog.IntervalShown());
    QCOMPARE(dialog.IntervalBox()->currentText(), QStringLiteral("10"));
    QCOMPARE(dialog.CatalogueField()->CatalogueId(), 0);

    // Cancel hands nothing back.
    dialog.reject();
    QCOMPARE(values.path, std::string());
    QCOMPARE(values.startDate, 0);
}

void DirChooseDlgTest::ExistingDirectoryKeepsPathFormatAndCatalogueLink() {
    const std::string folder = Folder("ms");
    QVERIFY(MakeIndex(folder, kFormatMetaStock, 3));
    DirectoryEditorValues values;
    values.existing = true;
    values.path = folder + kPathSeparator;
    values.formatType = kFormatMetaStock;
    values.startDate = DatumToDayNumber(DATUM{2, 1, 2020});
    values.catalogueId = 42;
    values.catalogueName = "Shares\\Europe";
    values.interval = 5;
    CDirChooseDlg dialog(values, *interaction_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QVERIFY(!dialog.PathField()->isEnabled());
    QVERIFY(!dialog.FormatBox()->isEnabled());
    QCOMPARE(dialog.PathField()->Text(), values.path);
    QCOMPARE(dialog.FormatBox()->currentText(), QStringLiteral("MetaStock"));
    QCOMPARE(dialog.StartDateField()->text(), QStringLiteral("02.01.2020"));
    QCOMPARE(dialog.CatalogueField()->CatalogueName(), std::string("Shares\\Europe"));

    // A new start date alone asks nothing and keeps the link.
    dialog.StartDateField()->setText(QStringLiteral("15.06.2021"));
    ClickOk(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(answers_->Texts().empty());
    QCOMPARE(values.path, folder + kPathSeparator);
    QCOMPARE(values.formatType, kFormatMetaStock);
    QCOMPARE(values.startDate, DatumToDayNumber(DATUM{15, 6, 2021}));
    QCOMPARE(values.catalogueId, 42);
    QCOMPARE(values.catalogueName, std::string("Shares\\Europe"));
}

void DirChooseDlgTest::InformationLineFollowsTheTypedFolder() {
    const std::string metaStock = Folder("metastock");
    const std::string ascii = Folder("ascii");
    QVERIFY(MakeIndex(metaStock, kFormatMetaStock, 12));
    QVERIFY(MakeIndex(ascii, kFormatAsciiTab, 1));
    QVERIFY(CreateFolders(Folder("plain")));
    DirectoryEditorValues values;
    CDirChooseDlg dialog(values, *interaction_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    dialog.PathField()->setFocus();
    QTest::keyClicks(dialog.PathField(), Q(metaStock));
    QCOMPARE(dialog.InformationLine()->text(),
             QStringLiteral("Directory contains format 'MetaStock' with 12 symbols."));
    QCOMPARE(dialog.FormatBox()->currentText(), QStringLiteral("MetaStock"));

    // One more character names no folder: the line is cleared, the format stays.
    QTest::keyClicks(dialog.PathField(), QStringLiteral("x"));
    QVERIFY(dialog.InformationLine()->text().isEmpty());
    QCOMPARE(dialog.FormatBox()->currentText(), QStringLiteral("MetaStock"));

    dialog.PathField()->SetText(ascii);
    QCOMPARE(dialog.InformationLine()->text(),
             QStringLiteral("Directory contains format 'Ascii: Tab Delimited' with 1 symbol."));
    QCOMPARE(dialog.FormatBox()->currentText(), QStringLiteral("Ascii: Tab Delimited"));

    // A folder without an index says nothing and leaves the choice alone.
    dialog.PathField()->SetText(Folder("plain"));
    QVERIFY(dialog.InformationLine()->text().isEmpty());
    QCOMPARE(dialog.FormatBox()->currentText(), QStringLiteral("Ascii: Tab Delimited"));
}

void DirChooseDlgTest::IntervalBoxAppearsOnlyForAnIntradayFormat() {
    {
        DirectoryEditorValues values;
        CDirChooseDlg dialog(values, *interaction_);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const std::vector<FormatChoice> choices = EditorFormatChoices();
        for (int i = 0; i < dialog.FormatBox()->count(); ++i) {
            dialog.FormatBox()->setCurrentIndex(i);
            const bool intraday = IsIntradayFormat(choices[static_cast<std::size_t>(i)].formatType);
            QVERIFY2(dialog.IntervalShown() == intraday,
                     qPrintable(dialog.FormatBox()->currentText()));
        }
    }

    const std::string folder = Folder("intraday");
    QVERIFY(CreateFolders(folder));
    DirectoryEditorValues values;
    values.existing = true;
    values.path = folder + kPathSeparator;
    values.formatType = kFormatMetaStockIntraday;
    values.interval = 5;
    CDirChooseDlg dialog(values, *interaction_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.IntervalShown());
    QVERIFY(dialog.IntervalBox()->isVisible());
    auto* label = dialog.findChild<QFormLayout*>()->labelForField(dialog.IntervalBox());
    QVERIFY(label != nullptr && label->isVisible());
    QCOMPARE(dialog.IntervalBox()->currentText(), QStringLiteral("5"));
    QStringList offered;
    for (int i = 0; i < dialog.IntervalBox()->count(); ++i) {
        offered << dialog.IntervalBox()->itemText(i);
    }
    QCOMPARE(offered, QStringList({"1", "2", "3", "5", "10", "12", "15", "30", "60", "120"}));

    // Minutes typed into the box are taken; the intraday format stays.
    dialog.IntervalBox()->setCurrentText(QStringLiteral("45"));
    ClickOk(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(values.interval, 45);
    QCOMPARE(values.formatType, kFormatMetaStockIntraday);
}

void DirChooseDlgTest::BrowseButtonAsksThroughTheInteraction() {
    const std::string folder = Folder("chosen");
    QVERIFY(MakeIndex(folder, kFormatAsciiCommaLongYear, 2));
    answers_->QueueFolder(folder);
    answers_->QueueFolder(std::nullopt);
    DirectoryEditorValues values;
    CDirChooseDlg dialog(values, *interaction_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(dialog.PathField()->BrowseButton(), Qt::LeftButton);
    QCOMPARE(dialog.PathField()->Text(), folder);
    QCOMPARE(dialog.InformationLine()->text(),
             QStringLiteral(
                 "Directory contains format 'Ascii: Comma Delimited (YYYYMMDD)' with 2 symbols."));
    QCOMPARE(dialog.FormatBox()->currentText(),
             QStringLiteral("Ascii: Comma Delimited (YYYYMMDD)"));
    QTest::mouseClick(dialog.PathField()->BrowseButton(), Qt::LeftButton); // cancelled
    QCOMPARE(dialog.PathField()->Text(), folder);
    QCOMPARE(answers_->Texts(), (std::vector<std::string>{"Select old qdx-Kavolo directory",
                                                          "Select old qdx-Kavolo directory"}));
}

void DirChooseDlgTest::OkOnAMissingFolderAsksToCreateIt() {
    const std::string folder = Folder("prices") + kPathSeparator + "daily";
    const std::string question = "The directory " + folder + " does not exist. Create it?";
    answers_->QueueAnswer(false);
    answers_->QueueAnswer(true);
    DirectoryEditorValues values;
    CDirChooseDlg dialog(values, *interaction_);
    dialog.PathField()->SetText(folder);
    dialog.FormatBox()->setCurrentIndex(dialog.FormatBox()->findText("MetaStock"));
    dialog.StartDateField()->setText(QStringLiteral("03.02.2010"));

    bool stayedOpenAfterNo = false;
    QTimer::singleShot(0, &dialog, [&] {
        ClickOk(dialog); // No: nothing is created
        stayedOpenAfterNo = dialog.isVisible() && !EntryExists(folder);
        ClickOk(dialog); // Yes
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(stayedOpenAfterNo);
    QCOMPARE(answers_->Texts(), (std::vector<std::string>{question, question}));
    QVERIFY(IsDirectory(folder));
    QCOMPARE(values.path, folder + kPathSeparator);
    QCOMPARE(values.formatType, kFormatMetaStock);
    QCOMPARE(values.startDate, DatumToDayNumber(DATUM{3, 2, 2010}));
    QCOMPARE(values.interval, 10);
    QCOMPARE(values.catalogueId, 0);
    QVERIFY(!values.existing);
}

void DirChooseDlgTest::RefusedEntriesKeepTheDialogOpen() {
    const std::string folder = Folder("ms");
    QVERIFY(MakeIndex(folder, kFormatMetaStock, 4));
    DirectoryEditorValues values;
    CDirChooseDlg dialog(values, *interaction_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    // The folder's own format is chosen as it is typed; another one is refused.
    dialog.PathField()->SetText(folder);
    QCOMPARE(dialog.FormatBox()->currentText(), QStringLiteral("MetaStock"));
    dialog.FormatBox()->setCurrentIndex(dialog.FormatBox()->findText("Ascii: Tab Delimited"));
    ClickOk(dialog);
    QVERIFY(dialog.isVisible());
    QCOMPARE(answers_->Texts(),
             std::vector<std::string>{"The existing ASCII - Master contains a different Format "
                                      "(MetaStock)!\nChoose a different Directory or Format!"});

    // Linking a catalogue to a folder with symbols asks first; No stays too.
    dialog.FormatBox()->setCurrentIndex(dialog.FormatBox()->findText("MetaStock"));
    dialog.CatalogueField()->SetCatalogue(17, "Indices\\World");
    ClickOk(dialog);
    QVERIFY(dialog.isVisible());
    QCOMPARE(answers_->Texts().size(), 2u);
    QCOMPARE(answers_->Texts().back(),
             std::string("The existing symbols in the directory will be replaced by the "
                         "content of the catalog 'Indices\\World'!"));
    QCOMPARE(values.path, std::string());

    answers_->QueueAnswer(true);
    ClickOk(dialog);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(values.path, folder + kPathSeparator);
    QCOMPARE(values.catalogueId, 17);
    QCOMPARE(values.catalogueName, std::string("Indices\\World"));
}

} // namespace mvr::gui

QTEST_MAIN(mvr::gui::DirChooseDlgTest)
#include "DirChooseDlgTest.moc"
