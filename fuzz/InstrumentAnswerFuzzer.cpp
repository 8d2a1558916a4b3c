// The client's readers of the instrument answers on any bytes a server may
// send: the text search (121), the symbol lookup of a directory (131) and
// the translation of the predecessor's numbers (130). The first byte picks
// the request, the rest is the answer stream from the go-ahead on.

#include "support/LoopbackPeer.h"
#include "support/RecordChecks.h"

#include "core/formats/ExportDirectory.h"
#include "core/net/IOException.h"
#include "core/net/InstrumentTranslation.h"
#include "core/net/SymbolLookup.h"
#include "core/net/SymbolSearchRequest.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace {

using mvr::fuzz::Require;

void FuzzSearch(std::span<const std::uint8_t> answer) {
    const mvr::RunFlag run{1};
    std::vector<mvr::WATCH> records;
    std::string text;
    mvr::fuzz::ServeOneConnection(answer, [&] {
        try {
            mvr::SearchInstruments({2, 0, 0, "sap"}, run, records, text);
        } catch (const mvr::CIOException&) {
        }
    });
    for (const mvr::WATCH& record : records) {
        mvr::fuzz::CheckRecord(record);
    }
}

void FuzzLookup(std::span<const std::uint8_t> answer) {
    const mvr::RunFlag run{1};
    mvr::CExportDirectory directory(mvr::kFormatAsciiComma);
    const std::vector<std::string> texts{"SAPX", "IDX", "NOPE", "SAPX"};
    for (const std::string& text : texts) {
        mvr::ExportSymbolInfo symbol;
        symbol.symbol = text;
        directory.Symbols().push_back(symbol);
    }
    mvr::fuzz::ServeOneConnection(answer, [&] { mvr::LookupSInCodes(directory, run); });
    // The answer gives numbers only: the list and its texts stay as they were.
    Require(directory.SymbolCount() == texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        Require(directory.GetSymbol(i).symbol == texts[i]);
    }
}

void FuzzTranslation(std::span<const std::uint8_t> answer) {
    const mvr::RunFlag run{1};
    mvr::TranslationMap map{{501, 0}, {601, 0}, {999, 0}};
    mvr::fuzz::ServeOneConnection(answer, [&] {
        try {
            mvr::TranslateInstrumentNumbers(map, 7, run);
        } catch (const mvr::CIOException&) {
        }
    });
    // Keys are only ever added.
    Require(map.count(501) == 1 && map.count(601) == 1 && map.count(999) == 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::span<const std::uint8_t> answer(data + 1, size - 1);
    switch (data[0] % 3) {
    case 0:
        FuzzSearch(answer);
        break;
    case 1:
        FuzzLookup(answer);
        break;
    default:
        FuzzTranslation(answer);
        break;
    }
    return 0;
}
