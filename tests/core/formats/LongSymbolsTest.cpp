// Symbols longer than the 8 characters of the symbol record, as MetaStock
// folders of other programs hold them.

#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/MetaStockIndex.h"
#include "FolderFixtures.h"
#include "support/LongSymbolFolder.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace mvr {
namespace {

using test::LongSymbolFolderSeries;
using test::TempDir;

ExportSymbolInfo FromMaster(const std::string& stored) {
    MasterRecord record = MasterTemplate();
    std::memcpy(record.data() + 36, stored.data(), stored.size());
    ExportSymbolInfo s;
    s.masterRecord = record;
    ReadMasterRecord(record, s);
    return s;
}

TEST(FullSymbolTextTest, TakesTheLongSymbolOfTheRecordItWasReadFrom) {
    const ExportSymbolInfo master = FromMaster("BIOTEC.OL");
    EXPECT_EQ(master.symbol, "BIOTEC.O");
    EXPECT_EQ(FullSymbolText(master), "BIOTEC.OL");
    EXPECT_EQ(FullSymbolText(FromMaster("ABCDEFGHIJKLMN")), "ABCDEFGHIJKLMN"); // all 14
    // A blank at the cut: the record's field is trimmed, the long text is not cut there.
    EXPECT_EQ(FullSymbolText(FromMaster("ABCDEFG HIJ")), "ABCDEFG HIJ");

    ExportSymbolInfo emaster = FromMaster("NOKIA.HE");
    std::memcpy(emaster.emasterRecord.data() + 11, "NOKIA.HEX", 9);
    EXPECT_EQ(FullSymbolText(emaster), "NOKIA.HE"); // no EMASTER record was read
    emaster.hasEmaster = 1;
    EXPECT_EQ(FullSymbolText(emaster), "NOKIA.HEX");

    XmasterRecord record = XmasterTemplate();
    std::memcpy(record.data() + 1, "NORDICSEMI.OSLO", 15);
    ExportSymbolInfo xmaster;
    xmaster.inXmaster = 1;
    xmaster.xmasterRecord = record;
    ReadXmasterRecord(record, xmaster);
    EXPECT_EQ(xmaster.symbol, "NORDICSE");
    EXPECT_EQ(FullSymbolText(xmaster), "NORDICSEMI.OSLO");
    // The MASTER record of an XMASTER symbol is not its record.
    xmaster.symbol = "BIOTEC.O";
    xmaster.masterRecord = FromMaster("BIOTEC.OL").masterRecord;
    EXPECT_EQ(FullSymbolText(xmaster), "BIOTEC.O");
}

TEST(FullSymbolTextTest, OtherwiseTheSymbolField) {
    // A symbol changed since its record was read: the record lends nothing.
    ExportSymbolInfo renamed = FromMaster("BIOTEC.OL");
    renamed.symbol = "BIOTEC";
    EXPECT_EQ(FullSymbolText(renamed), "BIOTEC");
    renamed.symbol = "BIOTEC.X";
    EXPECT_EQ(FullSymbolText(renamed), "BIOTEC.X");

    // Symbols this system writes stay within their 8 characters.
    ExportSymbolInfo written = test::NewSymbol("ABCDEFGH", 1);
    written.masterRecord = MasterTemplate();
    EXPECT_EQ(FullSymbolText(written), "ABCDEFGH");
    RefreshMasterRecord(written);
    RefreshEmasterRecord(written);
    written.hasEmaster = 1;
    EXPECT_EQ(FullSymbolText(written), "ABCDEFGH");
    written.inXmaster = 1;
    written.xmasterRecord = XmasterTemplate();
    RefreshXmasterRecord(written);
    EXPECT_EQ(FullSymbolText(written), "ABCDEFGH");

    // Records without raw index bytes (ASCII, Hermes) keep their own text,
    // Hermes base names longer than 8 characters included.
    EXPECT_EQ(FullSymbolText(test::NewSymbol("SAP", 1)), "SAP");
    EXPECT_EQ(FullSymbolText(test::NewSymbol("LONGHERMESNAME", 0)), "LONGHERMESNAME");
}

TEST(LongSymbolFolderTest, EverySeriesIsListedFoundAndReadUnderItsFullSymbol) {
    TempDir dir;
    test::WriteLongSymbolFolder(dir.Path());
    CExportDirectory directory;
    ASSERT_TRUE(directory.Open(dir.Path(), 4));
    const auto& series = LongSymbolFolderSeries();
    ASSERT_EQ(directory.SymbolCount(), series.size());
    std::set<std::string> texts;
    for (std::size_t i = 0; i < series.size(); ++i) {
        const ExportSymbolInfo& s = directory.GetSymbol(i);
        EXPECT_EQ(FullSymbolText(s), series[i].symbol);
        texts.insert(FullSymbolText(s));
        EXPECT_EQ(directory.FindSymbol(series[i].symbol), static_cast<int>(i)) << series[i].symbol;
        // The price file goes by file number: each series has its own bars.
        CExportDataFile file;
        ASSERT_TRUE(file.Read(directory.Path(), s, 4)) << series[i].symbol;
        ASSERT_EQ(file.History().size(), 1u);
        EXPECT_EQ(file.History()[0].close, static_cast<float>(series[i].fileNumber));
    }
    EXPECT_EQ(texts.size(), series.size());
    // The shared cut names none of them.
    EXPECT_EQ(directory.FindSymbol("BIOTEC.O"), -1);
    EXPECT_EQ(directory.FindSymbol("NORDICSE"), -1);
    EXPECT_EQ(directory.FindSymbol("NHY"), 2);
    EXPECT_FALSE(directory.RemoveBySymbol("BIOTEC.O"));
    ASSERT_TRUE(directory.RemoveBySymbol("BIOTEC.OS"));
    EXPECT_EQ(directory.FindSymbol("BIOTEC.OL"), 0);
    EXPECT_EQ(directory.FindSymbol("BIOTEC.OS"), -1);

    // Saving keeps the long symbols for the next reader.
    directory.GetSymbol(0).lastDate = test::OleDay(8, 3, 2005);
    ASSERT_TRUE(directory.Save());
    CExportDirectory reread;
    ASSERT_TRUE(reread.Open(dir.Path(), 4));
    ASSERT_EQ(reread.SymbolCount(), series.size() - 1);
    EXPECT_EQ(FullSymbolText(reread.GetSymbol(0)), "BIOTEC.OL");
    EXPECT_EQ(reread.GetSymbol(0).lastDate, test::OleDay(8, 3, 2005));
    EXPECT_EQ(FullSymbolText(reread.GetSymbol(2)), "NORDICSEMI.OL");
    EXPECT_EQ(FullSymbolText(reread.GetSymbol(3)), "NORDICSEMI.OSLO");
}

} // namespace
} // namespace mvr
