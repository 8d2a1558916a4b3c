#include "support/LongSymbolFolder.h"

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/MetaStockIndex.h"
#include "core/platform/Bytes.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace mvr::test {

namespace {

void Store(std::uint8_t* p, const std::string& text) {
    std::memcpy(p, text.data(), text.size());
}

template <std::size_t N>
void Append(std::vector<std::uint8_t>& file, const std::array<std::uint8_t, N>& record) {
    file.insert(file.end(), record.begin(), record.end());
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace

const std::vector<LongSymbolSeries>& LongSymbolFolderSeries() {
    static const std::vector<LongSymbolSeries> kSeries = {
        {"BIOTEC.OL", "Biotec Pharmacon Oslo", 1},
        {"BIOTEC.OS", "Biotec Pharmacon OTC", 2},
        {"NHY", "Norsk Hydro", 3},
        {"NORDICSEMI.OL", "Nordic Semiconductor Oslo", 256},
        {"NORDICSEMI.OSLO", "Nordic Semiconductor OSLO", 257},
    };
    return kSeries;
}

void WriteLongSymbolFolder(const std::string& path) {
    const std::string folder = path.ends_with('/') ? path : path + "/";
    std::vector<std::uint8_t> master(kMasterRecordSize, 0);
    std::vector<std::uint8_t> emaster(kEmasterRecordSize, 0);
    XmasterRecord xmasterHeader = NewXmasterHeader();
    std::vector<std::uint8_t> xmaster;
    std::uint16_t masterCount = 0;
    std::uint16_t xmasterCount = 0;
    int lastFile = 0;
    for (const LongSymbolSeries& series : LongSymbolFolderSeries()) {
        lastFile = std::max(lastFile, series.fileNumber);
        const auto number = static_cast<std::uint8_t>(series.fileNumber);
        if (series.fileNumber <= 255) {
            // Symbols blank-padded in MASTER, zero-padded in EMASTER.
            MasterRecord m = MasterTemplate();
            m[0] = number;
            Store(m.data() + 7, series.name.substr(0, 16));
            Store(m.data() + 36, series.symbol);
            Append(master, m);
            EmasterRecord e = EmasterTemplate();
            e[2] = number;
            Store(e.data() + 11, series.symbol);
            Store(e.data() + 139, series.name);
            Append(emaster, e);
            ++masterCount;
        } else {
            XmasterRecord x = XmasterTemplate();
            x[9] = 0; // the template's blank lies inside a long symbol
            Store(x.data() + 1, series.symbol);
            Store(x.data() + 16, series.name);
            StoreLE16(x.data() + 65, static_cast<std::uint16_t>(series.fileNumber));
            Append(xmaster, x);
            ++xmasterCount;
        }
        ExportSymbolInfo info;
        info.symbol = series.symbol.substr(0, ExportSymbolInfo::kMaxSymbolChars);
        info.fileNumber = series.fileNumber;
        CExportDataFile file;
        file.BuildFileName(folder, info, 4);
        PERIODE bar;
        bar.dayNumber = DatumToDayNumber(DATUM{7, 3, 2005});
        bar.open = bar.high = bar.low = bar.close = static_cast<float>(series.fileNumber);
        bar.volume = 100;
        bar.isNew = 1;
        file.History() = {bar};
        if (!file.Write(true)) {
            throw std::runtime_error("cannot write the data file of " + series.symbol);
        }
    }
    StoreLE16(master.data(), masterCount);
    StoreLE16(master.data() + 2, masterCount);
    StoreLE16(emaster.data(), masterCount);
    StoreLE16(emaster.data() + 2, masterCount);
    StoreLE16(xmasterHeader.data() + 10, xmasterCount);
    StoreLE16(xmasterHeader.data() + 14, xmasterCount);
    StoreLE16(xmasterHeader.data() + 18, static_cast<std::uint16_t>(lastFile + 1));
    xmaster.insert(xmaster.begin(), xmasterHeader.begin(), xmasterHeader.end());
    WriteFile(folder + "MASTER", master);
    WriteFile(folder + "EMASTER", emaster);
    WriteFile(folder + "XMASTER", xmaster);
}

} // namespace mvr::test
