// The data editor driven as the user does: its table and chart over a price
// file of a temporary ASCII directory, the edit and split dialogs filled in
// while they are open, the delete question answered by a script.

#include "gui/editor/SymbolDataDlg.h"

#include "core/config/UserInfo.h"
#include "core/editing/PriceRowTexts.h"
#include "core/editing/SymbolDataEditor.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "gui/app/QtUserInteraction.h"
#include "gui/app/ScriptedAnswers.h"
#include "gui/controls/DatumEdit.h"
#include "gui/controls/FloatEdit.h"
#include "gui/editor/EditPriceDlg.h"
#include "gui/editor/PriceChart.h"
#include "gui/editor/SplitDataDlg.h"
#include "../ModalDialogs.h"
#include "support/TempDir.h"

#include <algorithm>
#include <memory>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <vector>

namespace mvr::gui {

namespace {

using test::ClickOk;
using test::WhenOpened;

constexpr int kBars = 20;

std::int32_t Day(int day, int month, int year) {
    return DatumToDayNumber(DATUM{static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                                  static_cast<std::uint16_t>(year)});
}

// One bar a day from `firstDay` on, the closes rising by 1 from 10 (and
// starting again every 200 bars).
PriceHistory Bars(int count, std::int32_t firstDay) {
    PriceHistory bars;
    for (int i = 0; i < count; ++i) {
        PERIODE bar;
        bar.dayNumber = firstDay + i;
        bar.close = 10.0f + static_cast<float>(i % 200);
        bar.open = bar.close - 0.5f;
        bar.high = bar.close + 1.0f;
        bar.low = bar.close - 1.0f;
        bar.volume = 1000 + i;
        bars.push_back(bar);
    }
    return bars;
}

} // namespace

class SymbolDataDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void TableShowsEveryRecordWithTheLastOneSelected();
    void EditChangesTheRowAndTheChartAndRefusesNoNumber();
    void DoubleClickBelowTheRowsOpensNothing();
    void SplitChangesOnlyTheRecordsBeforeTheDay();
    void DeleteRemovesTheSelectedRowsOnlyAfterYes();
    void ClickOnABarSelectsItsRowAndDragPansWithoutSelecting();
    void CancelLeavesThePriceFileAsItWas();
    void TheChartDrawsCandlesAndFollowsASplitOfTenThousandBars();
    void TenThousandBarsRepaintQuickly();

private:
    QString Cell(int row, int column) const {
        return dialog_->Table()->model()->index(row, column).data().toString();
    }
    std::vector<int> ViewSelection() const {
        std::vector<int> rows;
        for (const QModelIndex& index : dialog_->Table()->selectionModel()->selectedRows()) {
            rows.push_back(index.row());
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void CtrlClickRow(int row) {
        QTableView* table = dialog_->Table();
        table->scrollTo(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          table->visualRect(table->model()->index(row, 1)).center());
    }

    std::unique_ptr<mvr::test::TempDir> temp_;
    std::string path_;
    PriceHistory bars_;
    std::unique_ptr<CExportDataFile> store_;
    ExportUserInfo user_;
    std::unique_ptr<CSymbolDataEditor> editor_;
    CScriptedAnswers answers_;
    std::unique_ptr<CQtUserInteraction> interaction_;
    std::unique_ptr<CSymbolDataDlg> dialog_;
};

void SymbolDataDlgTest::init() {
    temp_ = std::make_unique<mvr::test::TempDir>();
    bars_ = Bars(kBars, Day(4, 1, 2010));
    ExportSymbolInfo symbol;
    symbol.symbol = "ABC";
    symbol.name = "Alpha Beta Corp";
    symbol.sinCode = 4711;
    {
        CExportDirectory directory(kFormatAsciiComma);
        QVERIFY(directory.Create(temp_->Path(), 0.0, kFormatAsciiComma));
        QVERIFY(directory.AddSymbol(symbol));
        CExportDataFile file;
        file.BuildFileName(temp_->Path(), symbol, kFormatAsciiComma);
        file.History() = bars_;
        QVERIFY(file.Write(true));
        path_ = file.FilePath();
        QVERIFY(directory.Save());
    }
    CExportDirectory directory(kFormatAsciiComma);
    QVERIFY(directory.Open(temp_->Path(), kFormatAsciiComma));
    store_ = std::make_unique<CExportDataFile>();
    QVERIFY(store_->Read(temp_->Path(), directory.GetSymbol(0), kFormatAsciiComma));
    QCOMPARE(store_->History().size(), bars_.size());

    editor_ = std::make_unique<CSymbolDataEditor>(*store_, user_);
    editor_->Fill();
    answers_ = CScriptedAnswers();
    interaction_ = std::make_unique<CQtUserInteraction>(nullptr);
    interaction_->SetScriptedAnswers(&answers_);
    dialog_ = std::make_unique<CSymbolDataDlg>(*editor_, *interaction_);
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
}

void SymbolDataDlgTest::cleanup() {
    dialog_.reset();
    interaction_.reset();
    editor_.reset();
    store_.reset();
    temp_.reset();
}

void SymbolDataDlgTest::TableShowsEveryRecordWithTheLastOneSelected() {
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Symboldata ABC,Alpha Beta Corp"));
    QCOMPARE(dialog_->Table()->model()->rowCount(), kBars);
    QCOMPARE(dialog_->Table()->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Time"));
    QCOMPARE(dialog_->Table()->model()->headerData(5, Qt::Horizontal).toString(),
             QStringLiteral("Volume"));
    QCOMPARE(Cell(0, kPriceColumnTime), QStringLiteral("04/01/2010"));
    QCOMPARE(Cell(3, kPriceColumnClose), QStringLiteral("13.000"));
    QCOMPARE(Cell(3, kPriceColumnLow), QStringLiteral("12.000"));
    QCOMPARE(Cell(kBars - 1, kPriceColumnVolume), QString::number(1000 + kBars - 1));
    QCOMPARE(ViewSelection(), std::vector<int>{kBars - 1});
    const QRect last = dialog_->Table()->visualRect(dialog_->Table()->model()->index(kBars - 1, 0));
    QVERIFY(dialog_->Table()->viewport()->rect().intersects(last));
    for (const char* text : {"Edit", "Split", "Delete", "Download", "OK", "Cancel"}) {
        bool found = false;
        for (auto* button : dialog_->findChildren<QPushButton*>()) {
            found = found || button->text() == QLatin1String(text);
        }
        QVERIFY2(found, text);
    }
    // The chart shows every bar on opening, as candles at this count.
    QCOMPARE(dialog_->Chart()->VisibleRows(), std::make_pair(std::size_t{0}, std::size_t{kBars}));
    QVERIFY(dialog_->Chart()->ShowsCandles());
}

void SymbolDataDlgTest::EditChangesTheRowAndTheChartAndRefusesNoNumber() {
    const double topBefore = dialog_->Chart()->PriceRange().second;
    CtrlClickRow(kBars - 1); // unselects the last row
    CtrlClickRow(5);
    QCOMPARE(ViewSelection(), std::vector<int>{5});

    bool refusedAndKeptOpen = false;
    WhenOpened<CEditPriceDlg>([&](CEditPriceDlg& edit) {
        QCOMPARE_EQ(edit.DateLabel()->text(), QStringLiteral("09/01/2010"));
        QCOMPARE_EQ(edit.Field(CEditPriceValues::kClose)->text(), QStringLiteral("15"));
        edit.Field(CEditPriceValues::kLow)->setText(QStringLiteral("x"));
        edit.Field(CEditPriceValues::kHigh)->setText(QStringLiteral("250.5"));
        ClickOk(edit);
        refusedAndKeptOpen =
            edit.isVisible() && edit.focusWidget() == edit.Field(CEditPriceValues::kLow);
        edit.Field(CEditPriceValues::kLow)->setText(QStringLiteral("13.25"));
        ClickOk(edit);
    });
    QTest::mouseClick(dialog_->EditButton(), Qt::LeftButton);
    QVERIFY(refusedAndKeptOpen);
    QCOMPARE(answers_.Texts(), std::vector<std::string>{"Geben Sie eine Zahl ein."});
    QCOMPARE(Cell(5, kPriceColumnHigh), QStringLiteral("250.500"));
    QCOMPARE(Cell(5, kPriceColumnLow), QStringLiteral("13.250"));
    QCOMPARE(store_->History()[5].high, 250.5f);
    // The chart scale follows the new high.
    QVERIFY(topBefore < 250.0);
    QVERIFY(dialog_->Chart()->PriceRange().second > 250.5);

    // Cancel in the edit dialog keeps the record.
    WhenOpened<CEditPriceDlg>([](CEditPriceDlg& edit) {
        edit.Field(CEditPriceValues::kClose)->setText(QStringLiteral("1"));
        edit.reject();
    });
    const QModelIndex row7 = dialog_->Table()->model()->index(7, 1);
    QTest::mouseDClick(dialog_->Table()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       dialog_->Table()->visualRect(row7).center());
    QCOMPARE(Cell(7, kPriceColumnClose), QStringLiteral("17.000"));
}

void SymbolDataDlgTest::DoubleClickBelowTheRowsOpensNothing() {
    QTableView* table = dialog_->Table();
    const QRect last = table->visualRect(table->model()->index(kBars - 1, 1));
    const QPoint below(last.center().x(), last.bottom() + 8);
    QVERIFY(table->viewport()->rect().contains(below));
    bool opened = false;
    WhenOpened<CEditPriceDlg>([](CEditPriceDlg&) {}, &opened, 300);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QTest::qWait(400);
    QVERIFY(!opened);
}

void SymbolDataDlgTest::SplitChangesOnlyTheRecordsBeforeTheDay() {
    CtrlClickRow(kBars - 1);
    CtrlClickRow(12);
    const double bottomBefore = dialog_->Chart()->PriceRange().first;
    QString proposed;
    QString factor;
    QString stepped;
    WhenOpened<CSplitDataDlg>([&](CSplitDataDlg& split) {
        proposed = split.DateEdit()->text();
        factor = split.FactorEdit()->text();
        // A spin click steps the factor by a tenth.
        QTest::mouseClick(split.FactorEdit()->DownButton(), Qt::LeftButton);
        QTest::mouseClick(split.FactorEdit()->DownButton(), Qt::LeftButton);
        stepped = split.FactorEdit()->text();
        split.FactorEdit()->setText(QStringLiteral("0,5"));
        ClickOk(split);
    });
    QTest::mouseClick(dialog_->SplitButton(), Qt::LeftButton);
    QCOMPARE(proposed, QString::fromStdString(FormatDayNumber(bars_[12].dayNumber)));
    QCOMPARE(factor, QStringLiteral("1"));
    QCOMPARE(stepped, QStringLiteral("0.8"));
    const PriceHistory& records = store_->History();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const bool before = i < 12;
        QCOMPARE(records[i].close, before ? bars_[i].close * 0.5f : bars_[i].close);
        QCOMPARE(records[i].volume, before ? bars_[i].volume * 2 : bars_[i].volume);
        QCOMPARE(records[i].isNew, before ? 1 : 0);
    }
    QCOMPARE(Cell(0, kPriceColumnClose), QStringLiteral("5.000"));
    QCOMPARE(Cell(0, kPriceColumnVolume), QStringLiteral("2000"));
    QCOMPARE(Cell(12, kPriceColumnClose), QStringLiteral("22.000"));
    QVERIFY(dialog_->Chart()->PriceRange().first < bottomBefore - 3.0);
    // The selection outlives the rebuilt table.
    QCOMPARE(ViewSelection(), std::vector<int>{12});

    // Cancel in the split dialog changes nothing more.
    WhenOpened<CSplitDataDlg>([](CSplitDataDlg& split) {
        split.FactorEdit()->setText(QStringLiteral("0.1"));
        split.reject();
    });
    QTest::mouseClick(dialog_->SplitButton(), Qt::LeftButton);
    QCOMPARE(Cell(0, kPriceColumnClose), QStringLiteral("5.000"));
}

void SymbolDataDlgTest::DeleteRemovesTheSelectedRowsOnlyAfterYes() {
    CtrlClickRow(kBars - 1);
    for (int row : {2, 3, 9}) {
        CtrlClickRow(row);
    }
    QCOMPARE(editor_->Selection().Rows(), (std::vector<std::size_t>{2, 3, 9}));

    answers_.QueueAnswer(false);
    QTest::mouseClick(dialog_->DeleteButton(), Qt::LeftButton);
    QCOMPARE(answers_.Texts(),
             std::vector<std::string>{"Are you sure you want to remove 3 quotes?"});
    QCOMPARE(dialog_->Table()->model()->rowCount(), kBars);

    answers_.QueueAnswer(true);
    QTest::mouseClick(dialog_->DeleteButton(), Qt::LeftButton);
    QVERIFY(answers_.AllAnswersTaken());
    QCOMPARE(dialog_->Table()->model()->rowCount(), kBars - 3);
    QCOMPARE(store_->History().size(), std::size_t{kBars - 3});
    // Rows 2 and 3 went: row 2 now holds the old row 4, row 7 the old row 10.
    QCOMPARE(Cell(2, kPriceColumnClose), QStringLiteral("14.000"));
    QCOMPARE(Cell(7, kPriceColumnClose), QStringLiteral("20.000"));
    QCOMPARE(Cell(6, kPriceColumnClose), QStringLiteral("18.000"));
    QCOMPARE(dialog_->Chart()->VisibleRows().second, std::size_t{kBars - 3});

    // One selected row is named by its date.
    CtrlClickRow(0);
    QTest::mouseClick(dialog_->DeleteButton(), Qt::LeftButton);
    QCOMPARE(answers_.Texts().back(),
             "Are you sure you want to remove '" + FormatDayNumber(bars_[0].dayNumber) + "'?");
    QCOMPARE(dialog_->Table()->model()->rowCount(), kBars - 3);
}

void SymbolDataDlgTest::ClickOnABarSelectsItsRowAndDragPansWithoutSelecting() {
    CPriceChart* chart = dialog_->Chart();
    const auto center = chart->BarCenter(7);
    QVERIFY(center);
    QCOMPARE(chart->BarAt(*center), std::optional<std::size_t>(7));
    QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, *center);
    QCOMPARE(ViewSelection(), std::vector<int>{7});
    QCOMPARE(editor_->Selection().Rows(), std::vector<std::size_t>{7});
    QTest::mouseClick(chart, Qt::LeftButton, Qt::ControlModifier, *chart->BarCenter(9));
    QCOMPARE(ViewSelection(), (std::vector<int>{7, 9}));

    // The wheel zooms in around the mouse; the bar under it stays there.
    const QPoint anchor = *chart->BarCenter(10);
    QWheelEvent wheel(anchor, chart->mapToGlobal(anchor), {}, QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &wheel);
    const auto [first, end] = chart->VisibleRows();
    QVERIFY(end - first < std::size_t{kBars});
    QCOMPARE(chart->BarAt(anchor), std::optional<std::size_t>(10));

    // A drag to the right brings older bars in and selects nothing.
    const QPoint from = anchor;
    QTest::mousePress(chart, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(chart, from + QPoint(60, 0));
    QTest::mouseMove(chart, from + QPoint(120, 0));
    QTest::mouseRelease(chart, Qt::LeftButton, Qt::NoModifier, from + QPoint(120, 0));
    QVERIFY(chart->VisibleRows().first < first);
    QCOMPARE(ViewSelection(), (std::vector<int>{7, 9}));

    // A click on the empty area outside the bars selects nothing either.
    QTest::mouseClick(chart, Qt::LeftButton, Qt::NoModifier, QPoint(chart->width() - 5, 5));
    QCOMPARE(ViewSelection(), (std::vector<int>{7, 9}));
}

void SymbolDataDlgTest::CancelLeavesThePriceFileAsItWas() {
    const std::vector<std::uint8_t> before = mvr::test::ReadBytes(path_);
    QVERIFY(!before.empty());
    WhenOpened<CEditPriceDlg>([](CEditPriceDlg& edit) {
        edit.Field(CEditPriceValues::kClose)->setText(QStringLiteral("99"));
        ClickOk(edit);
    });
    QTest::mouseClick(dialog_->EditButton(), Qt::LeftButton);
    answers_.QueueAnswer(true);
    QTest::mouseClick(dialog_->DeleteButton(), Qt::LeftButton);
    QCOMPARE(store_->History().size(), std::size_t{kBars - 1});

    for (auto* button : dialog_->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("Cancel")) {
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(mvr::test::ReadBytes(path_), before);
}

void SymbolDataDlgTest::TheChartDrawsCandlesAndFollowsASplitOfTenThousandBars() {
    constexpr std::size_t kCount = 10000;
    constexpr std::size_t kSplitRow = 5000;
    CExportDataFile store;
    ExportSymbolInfo symbol;
    symbol.symbol = "FLAT";
    store.BuildFileName(temp_->Path(), symbol, kFormatAsciiComma);
    // Every day the same rising candle: closes at 100, one line across the chart.
    PriceHistory bars = Bars(static_cast<int>(kCount), Day(4, 1, 1980));
    for (PERIODE& bar : bars) {
        bar.open = 99.5f;
        bar.close = 100.0f;
        bar.high = 101.0f;
        bar.low = 99.0f;
    }
    store.History() = bars;
    CSymbolDataEditor editor(store, user_);
    editor.Fill();
    CSymbolDataDlg dialog(editor, *interaction_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CPriceChart& chart = *dialog.Chart();

    // Zoomed out, the closes are one level line: the same height left and right.
    QVERIFY(!chart.ShowsCandles());
    const auto lineHeight = [&chart](const QImage& image, std::size_t row) {
        const int x = chart.BarCenter(row)->x();
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) == QColor(0x1f, 0x4e, 0x9c)) {
                return y;
            }
        }
        return -1;
    };
    QImage image = chart.grab().toImage();
    const int levelBefore = lineHeight(image, kSplitRow / 2);
    QVERIFY(levelBefore >= 0);
    QCOMPARE(lineHeight(image, kSplitRow + kSplitRow / 2), levelBefore);

    // Zoomed in on a day: its candle's body is drawn, the space beside it
    // (where no day is) is not.
    chart.ZoomBy(300.0, chart.BarCenter(kSplitRow / 2)->x());
    QVERIFY(chart.ShowsCandles());
    image = chart.grab().toImage();
    const auto columnHolds = [&image](int x, const QColor& color) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) == color) {
                return true;
            }
        }
        return false;
    };
    const QColor body(0x1e, 0x8e, 0x3e);
    const QColor wick(0x30, 0x30, 0x30);
    const int candle = chart.BarCenter(kSplitRow / 2)->x();
    const int between = (candle + chart.BarCenter(kSplitRow / 2 + 1)->x()) / 2;
    QVERIFY(columnHolds(candle, wick));
    QVERIFY(columnHolds(candle + 3, body));
    QVERIFY(!columnHolds(between, body));
    QVERIFY(!columnHolds(between, wick));
    chart.ShowAll();

    // A split before the middle day, made in the table, halves the older closes:
    // the left half of the line drops below the right half.
    dialog.Table()->clearSelection();
    dialog.Table()->selectRow(static_cast<int>(kSplitRow));
    WhenOpened<CSplitDataDlg>([](CSplitDataDlg& split) {
        split.FactorEdit()->setText(QStringLiteral("0.5"));
        ClickOk(split);
    });
    QTest::mouseClick(dialog.SplitButton(), Qt::LeftButton);
    QCOMPARE(store.History()[kSplitRow - 1].close, 50.0f);
    image = chart.grab().toImage();
    const int older = lineHeight(image, kSplitRow / 2);
    const int newer = lineHeight(image, kSplitRow + kSplitRow / 2);
    QVERIFY(older >= 0 && newer >= 0);
    QVERIFY2(older - newer > chart.height() / 3,
             qPrintable(QStringLiteral("%1 %2").arg(older).arg(newer)));
}

void SymbolDataDlgTest::TenThousandBarsRepaintQuickly() {
    CExportDataFile store;
    ExportSymbolInfo symbol;
    symbol.symbol = "BIG";
    store.BuildFileName(temp_->Path(), symbol, kFormatAsciiComma);
    store.History() = Bars(10000, Day(4, 1, 1980));
    CSymbolDataEditor editor(store, user_);
    editor.Fill();
    for (std::size_t row = 0; row < 10000; row += 7) {
        editor.Selection().Select(row);
    }
    CPriceChart chart(editor);
    chart.resize(1200, 500);

    bool painted = true;
    auto medianGrab = [&chart, &painted] {
        std::vector<qint64> times;
        for (int i = 0; i < 15; ++i) {
            QElapsedTimer timer;
            timer.start();
            const QPixmap picture = chart.grab();
            times.push_back(timer.nsecsElapsed());
            painted = painted && !picture.isNull();
        }
        std::sort(times.begin(), times.end());
        return static_cast<double>(times[times.size() / 2]) / 1e6;
    };
    QVERIFY(!chart.ShowsCandles());
    const double lineMs = medianGrab();
    // Narrow candles: about 570 of them in view, the most candles a repaint draws.
    chart.ZoomBy(2.1 / (1130.0 / 10000.0), 600);
    QVERIFY(chart.ShowsCandles());
    QVERIFY(chart.VisibleRows().second - chart.VisibleRows().first > 500);
    const double candleMs = medianGrab();
    qInfo("10,000 bars, median repaint: close line %.2f ms, candles %.2f ms", lineMs, candleMs);
    QVERIFY(painted);
    QVERIFY(lineMs < 100.0);
    QVERIFY(candleMs < 100.0);
}

} // namespace mvr::gui

QTEST_MAIN(mvr::gui::SymbolDataDlgTest)
#include "SymbolDataDlgTest.moc"
