// The data editor's operations on its store: the rows it shows, one record
// corrected, the split, the deletion of records.

#include "core/editing/SymbolDataEditor.h"

#include "core/config/UserInfo.h"
#include "core/editing/EditPriceValues.h"
#include "core/editing/NumberText.h"
#include "core/editing/PriceRowTexts.h"
#include "core/editing/PriceSplit.h"
#include "EditingFixtures.h"
#include "support/ScriptedInteraction.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using test::Bar;
using test::Day;

class SymbolDataEditorTest : public ::testing::Test {
protected:
    void Load(const PriceHistory& bars, int formatType = kFormatAsciiComma) {
        ExportSymbolInfo symbol;
        symbol.symbol = "ABC";
        symbol.name = "Alpha Beta Corp";
        store.BuildFileName("/nowhere/", symbol, formatType);
        store.History() = bars;
        editor.Fill();
    }

    // Daily records of 2010 around the split date 01.07.2010.
    PriceHistory Year2010() const {
        return {Bar(Day(4, 1, 2010), 40.0f, 1001), Bar(Day(30, 6, 2010), 20.0f, 3),
                Bar(Day(1, 7, 2010), 10.0f, 500), Bar(Day(2, 7, 2010), 12.0f, 700)};
    }

    CExportDataFile store;
    ExportUserInfo user;
    CSymbolDataEditor editor{store, user};
};

TEST_F(SymbolDataEditorTest, RowsShowDatesWithSlashesAndTimesOnlyForIntradayAscii) {
    const PriceHistory bars{Bar(Day(7, 3, 2005), 12.3456f, 1500, 17 * 3600 + 30 * 60)};
    Load(bars, kFormatAsciiIntraday);
    EXPECT_EQ(editor.CellText(0, kPriceColumnTime), "07/03/2005 17:30:00");
    Load(bars, kFormatMetaStock);
    EXPECT_EQ(editor.CellText(0, kPriceColumnTime), "07/03/2005");
    EXPECT_EQ(editor.CellText(0, kPriceColumnClose), "12.346");
    EXPECT_EQ(editor.CellText(0, kPriceColumnLow), "10.346");
    EXPECT_EQ(editor.CellText(0, kPriceColumnVolume), "1500");
    EXPECT_EQ(editor.CellText(1, kPriceColumnClose), "");
    EXPECT_EQ(editor.Caption(), "Symboldata ABC,Alpha Beta Corp");
}

TEST_F(SymbolDataEditorTest, FillSelectsOnlyTheLastRow) {
    Load(Year2010());
    EXPECT_EQ(editor.RowCount(), 4u);
    EXPECT_EQ(editor.Selection().Rows(), std::vector<std::size_t>{3});
    EXPECT_FALSE(editor.Selection().Focus());
    Load({});
    EXPECT_EQ(editor.Selection().Count(), 0u);
    EXPECT_FALSE(editor.ProposedSplitDay());
}

TEST_F(SymbolDataEditorTest, ConfirmedValuesAreStoredAsTheSixDigitFieldsShowThem) {
    PERIODE record = Bar(Day(7, 3, 2005), 12.3456789f, 42, 3600);
    record.sourcePos = 17;
    record.isNew = 1;
    Load({record});
    auto values = editor.BeginEdit(0);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->DateText(), "07/03/2005");
    EXPECT_EQ(values->Texts()[CEditPriceValues::kClose], "12.3457");
    EXPECT_TRUE(values->Accept(values->Texts()).accepted);
    editor.EndEdit(0, *values);
    const PERIODE& stored = store.History()[0];
    EXPECT_EQ(stored.close, 12.3457f);
    EXPECT_EQ(stored.open, 11.3457f);
    EXPECT_EQ(stored.volume, 42);
    EXPECT_EQ(stored.secondsOfDay, 3600);
    EXPECT_EQ(stored.sourcePos, 17);
    EXPECT_EQ(stored.isNew, 1);
    EXPECT_FALSE(editor.BeginEdit(1));
    EXPECT_FALSE(editor.BeginEdit(-1));
}

TEST_F(SymbolDataEditorTest, FieldsThatHoldNoNumberAreRefusedWithTheFrameworksMessages) {
    Load({Bar(Day(7, 3, 2005), 5.0f, 10)});
    CEditPriceValues values = *editor.BeginEdit(0);
    auto texts = values.Texts();
    texts[CEditPriceValues::kHigh] = "7,5";
    texts[CEditPriceValues::kVolume] = "12.5";
    auto check = values.Accept(texts);
    EXPECT_FALSE(check.accepted);
    EXPECT_EQ(check.field, CEditPriceValues::kHigh);
    EXPECT_EQ(check.message, "Geben Sie eine Zahl ein.");
    texts[CEditPriceValues::kHigh] = " 7.5 ";
    check = values.Accept(texts);
    EXPECT_EQ(check.field, CEditPriceValues::kVolume);
    EXPECT_EQ(check.message, "Geben Sie eine ganze Zahl ein.");
    EXPECT_EQ(values.Record(), store.History()[0]);
    texts[CEditPriceValues::kVolume] = "+12";
    ASSERT_TRUE(values.Accept(texts).accepted);
    EXPECT_EQ(values.Record().high, 7.5f);
    EXPECT_EQ(values.Record().volume, 12);
}

TEST(NumberTextTest, FieldReadersTakeWholeNumbersOnly) {
    for (const char* bad : {"", " ", "abc", "1e999", "nan", "inf", "1.5x", "--1"}) {
        EXPECT_FALSE(ParseFloatField(bad)) << bad;
    }
    for (const char* bad : {"1.0", "2147483648", "-2147483649", "1 2", "0x10"}) {
        EXPECT_FALSE(ParseWholeNumberField(bad)) << bad;
    }
    EXPECT_EQ(ParseWholeNumberField("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseFloatField("-1.5e2"), -150.0f);
}

TEST_F(SymbolDataEditorTest, SplitHalvesOlderPricesAndDoublesTheirVolumes) {
    Load(Year2010());
    const PriceHistory before = store.History();
    const SplitRequest request = CSplitDataValues::Accept("01.07.2010", "0,5");
    EXPECT_EQ(request.splitDay, Day(1, 7, 2010));
    EXPECT_EQ(editor.Split(request.splitDay, request.factor), 2u);
    const PriceHistory& after = store.History();
    EXPECT_EQ(after[0].volume, 2002);
    EXPECT_EQ(after[0].close, 20.0f);
    EXPECT_EQ(after[0].high, 20.5f);
    EXPECT_EQ(after[1].volume, 6);
    EXPECT_EQ(after[0].isNew, 1);
    EXPECT_EQ(after[1].isNew, 1);
    EXPECT_EQ(after[2], before[2]);
    EXPECT_EQ(after[3], before[3]);
}

TEST_F(SymbolDataEditorTest, SplitsThatChangeNothing) {
    Load(Year2010());
    const PriceHistory before = store.History();
    const std::int32_t july = Day(1, 7, 2010);
    for (const char* factor : {"1", "-1", "-0,5", "0", "", "abc"}) {
        EXPECT_EQ(editor.Split(july, CSplitDataValues::Accept("01.07.2010", factor).factor), 0u)
            << factor;
    }
    const SplitRequest noDate = CSplitDataValues::Accept("31.02.2010", "0.5");
    EXPECT_EQ(noDate.splitDay, 0);
    EXPECT_EQ(editor.Split(noDate.splitDay, noDate.factor), 0u);
    EXPECT_EQ(editor.Split(july, std::numeric_limits<float>::quiet_NaN()), 0u);
    EXPECT_EQ(store.History(), before);
}

TEST_F(SymbolDataEditorTest, SplitStopsAtTheFirstRecordOnOrAfterTheDateEvenIfOlderOnesFollow) {
    Load({Bar(Day(1, 3, 2010), 10.0f, 10), Bar(Day(1, 8, 2010), 10.0f, 10),
          Bar(Day(1, 2, 2010), 10.0f, 10)});
    EXPECT_EQ(editor.Split(Day(1, 7, 2010), 2.0f), 1u);
    EXPECT_EQ(store.History()[0].close, 20.0f);
    EXPECT_EQ(store.History()[0].volume, 5);
    EXPECT_EQ(store.History()[2].close, 10.0f);
}

TEST_F(SymbolDataEditorTest, TinyFactorsSaturateTheVolumeInsteadOfOverflowing) {
    Load({Bar(Day(1, 3, 2010), 10.0f, 1000000)});
    EXPECT_EQ(editor.Split(Day(1, 7, 2010), 1e-9f), 1u);
    EXPECT_EQ(store.History()[0].volume, INT32_MAX);
}

TEST_F(SymbolDataEditorTest, SplitDialogProposesTheFirstSelectedOrTheLastRecordsDay) {
    Load(Year2010());
    EXPECT_EQ(editor.ProposedSplitDay(), Day(2, 7, 2010));
    editor.Selection().ClearAll();
    EXPECT_EQ(editor.ProposedSplitDay(), Day(2, 7, 2010));
    editor.Selection().Select(2);
    editor.Selection().Select(1);
    EXPECT_EQ(editor.ProposedSplitDay(), Day(30, 6, 2010));
    const CSplitDataValues dialog(*editor.ProposedSplitDay());
    EXPECT_EQ(dialog.DateText(), "30.06.2010");
    EXPECT_EQ(dialog.FactorText(), "1");
}

// The editor marks what the health check finds in the file as stored, which
// the store's corrected bars no longer show, and proposes the split a jump
// of the close suggests.
TEST(SymbolDataEditorFindingsTest, RowsOfFaultyStoredRecordsAreMarkedUntilChanged) {
    test::TempDir dir;
    PriceHistory bars = {Bar(Day(4, 1, 2010), 40.0f, 100), Bar(Day(5, 1, 2010), 41.0f, 100),
                         Bar(Day(6, 1, 2010), 20.5f, 200), Bar(Day(7, 1, 2010), 21.0f, 200)};
    bars[1].high = 39.0f; // below the close of 41
    CExportDataFile writer;
    ExportSymbolInfo symbol;
    symbol.symbol = "ABC";
    writer.BuildFileName(dir.Path(), symbol, kFormatAsciiComma);
    writer.History() = bars;
    ASSERT_TRUE(writer.Write(true));

    CExportDataFile store;
    ASSERT_TRUE(store.Read(dir.Path(), symbol, kFormatAsciiComma));
    EXPECT_EQ(store.History()[1].high, 41.0f); // corrected on reading
    ExportUserInfo user;
    CSymbolDataEditor editor(store, user);
    editor.Fill();
    EXPECT_EQ(editor.RowFindings(0), "");
    EXPECT_NE(editor.RowFindings(1).find("high"), std::string::npos) << editor.RowFindings(1);
    EXPECT_NE(editor.RowFindings(2).find("2:1"), std::string::npos) << editor.RowFindings(2);
    EXPECT_EQ(editor.RowFindings(3), "");
    EXPECT_EQ(editor.RowFindings(4), "");

    // The last row is selected after a fill: no jump there, factor 1.
    EXPECT_EQ(editor.ProposedSplitFactor(), 1.0f);
    editor.Selection().ClearAll();
    editor.Selection().Select(2);
    EXPECT_EQ(editor.ProposedSplitDay(), Day(6, 1, 2010));
    EXPECT_EQ(editor.ProposedSplitFactor(), 0.5f);
    EXPECT_EQ(CSplitDataValues(Day(6, 1, 2010), editor.ProposedSplitFactor()).FactorText(), "0.5");

    // A split gives the older records new values: their marks go.
    editor.Split(Day(6, 1, 2010), 0.5f);
    EXPECT_EQ(editor.RowFindings(1), "");
    EXPECT_NE(editor.RowFindings(2), "");
}

TEST_F(SymbolDataEditorTest, DeletingAsksAndRemovesExactlyTheSelectedRecords) {
    Load(Year2010());
    const PriceHistory before = store.History();
    for (const std::size_t row : {0u, 2u, 3u}) {
        editor.Selection().Select(row);
    }
    {
        test::CScriptedInteraction user;
        user.ExpectQuestion("Are you sure you want to remove 3 quotes?", MessageIcon::Question,
                            false);
        EXPECT_EQ(editor.DeleteSelected(user), 0u);
        EXPECT_EQ(store.History(), before);
    }
    test::CScriptedInteraction user;
    user.ExpectQuestion("Are you sure you want to remove 3 quotes?", MessageIcon::Question, true);
    EXPECT_EQ(editor.DeleteSelected(user), 3u);
    EXPECT_EQ(store.History(), PriceHistory{before[1]});
    EXPECT_EQ(editor.RowCount(), 1u);

    user.ExpectQuestion("Are you sure you want to remove '30.06.2010'?", MessageIcon::Question,
                        true);
    editor.Selection().Select(0);
    EXPECT_EQ(editor.DeleteSelected(user), 1u);
    EXPECT_TRUE(store.History().empty());
    EXPECT_EQ(editor.DeleteSelected(user), 0u); // nothing selected: no question
}

} // namespace
} // namespace mvr
