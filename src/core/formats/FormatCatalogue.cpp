#include "core/formats/FormatCatalogue.h"

#include "core/formats/ExportSymbolInfo.h"

#include <array>

namespace mvr {

namespace {

using N = DataFileNaming;
using I = DirectoryIndex;
using C = DataFileCodec;

// clang-format off
constexpr std::array<FormatTypeInfo, kLastFormatType + 1> kFormats{{
    {0,  "Savant Technical Investor",                 N::SavantD95,    I::None,       C::None,      C::None,  false, false},
    {1,  "Market Maker",                              N::MarketMaker,  I::None,       C::None,      C::None,  false, false},
    {2,  "KoersStrateeg",                             N::None,         I::None,       C::None,      C::None,  false, false},
    {3,  "Compu Trac",                                N::MetaStock,    I::None,       C::MetaStock, C::None,  true,  false},
    {4,  "MetaStock",                                 N::MetaStock,    I::MetaStock,  C::MetaStock, C::MetaStock, true, false},
    {5,  "Ascii: Comma Delimited",                    N::Prn,          I::Ascii,      C::Ascii,     C::Ascii, true,  false},
    {6,  "Jaad Koersbase II",                         N::None,         I::None,       C::None,      C::None,  false, false},
    {7,  "The Option Trader",                         N::OptionTrader, I::None,       C::None,      C::None,  false, false},
    {8,  "TopVest",                                   N::TopVest,      I::None,       C::None,      C::None,  false, false},
    {9,  "Ascii: Tab Delimited",                      N::Prn,          I::Ascii,      C::Ascii,     C::Ascii, true,  false},
    {10, "Ascii: Excel Format (YY-MM-DD 0,00)",       N::Prn,          I::Ascii,      C::Ascii,     C::Ascii, true,  false},
    {11, "Ascii: Excel Format (YY/MM/DD 0.00)",       N::Prn,          I::Ascii,      C::Ascii,     C::Ascii, true,  false},
    {12, "Vision",                                    N::None,         I::None,       C::None,      C::None,  false, false},
    {13, "Ascii:",                                    N::Prn,          I::Ascii,      C::Ascii,     C::Ascii, true,  false},
    {14, "Ascii:",                                    N::Prn,          I::Ascii,      C::Ascii,     C::Ascii, true,  false},
    {15, "Ascii: Comma Delimited (YYYYMMDD)",         N::Prn,          I::Ascii,      C::Ascii,     C::Ascii, true,  false},
    {16, "Vision 2000",                               N::None,         I::None,       C::None,      C::None,  false, false},
    {17, "Hermes",                                    N::HermesAsc,    I::HermesScan, C::Ascii,     C::Ascii, true,  false},
    {18, "Mabel: through definition file download only", N::None,      I::None,       C::None,      C::None,  false, false},
    {19, "Davi-Effect Import-file: through file/definition file download only",
                                                      N::None,         I::None,       C::None,      C::None,  false, false},
    {20, "Metastock intra day",                       N::MetaStock,    I::MetaStock,  C::None,      C::None,  true,  true},
    {21, "Ascii: Comma Delimited Intraday",           N::Prn,          I::Ascii,      C::Ascii,     C::Ascii, true,  true},
    {22, "Hermes intra-day: .KBT files",              N::None,         I::None,       C::None,      C::None,  false, false},
}};
// clang-format on

// The daily formats first, in their long-standing order, then the intraday ones.
constexpr std::array<int, 9> kOffered{5, 15, 11, 10, 9, 4, 17, 20, 21};

// A symbol text becomes part of a path: it must not leave the folder or hold
// characters no file system accepts in a name.
bool IsSafeFileStem(std::string_view stem) {
    if (stem.empty() || stem == "." || stem == "..") {
        return false;
    }
    for (const char c : stem) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || c == '/' || c == '\\') {
            return false;
        }
    }
    return true;
}

std::string WithStem(const std::string& stem, std::string_view suffix) {
    return IsSafeFileStem(stem) ? stem + std::string(suffix) : std::string();
}

} // namespace

const FormatTypeInfo* FindFormatType(int type) {
    if (type < 0 || type > kLastFormatType) {
        return nullptr;
    }
    return &kFormats[static_cast<std::size_t>(type)];
}

std::string FormatDisplayName(int type) {
    const FormatTypeInfo* info = FindFormatType(type);
    return info ? info->displayName : "";
}

std::span<const int> OfferedFormatTypes() {
    return kOffered;
}

bool IsIntradayFormat(int type) {
    const FormatTypeInfo* info = FindFormatType(type);
    return info != nullptr && info->intraday;
}

DirectoryIndex DirectoryIndexOf(int type) {
    const FormatTypeInfo* info = FindFormatType(type);
    return info ? info->index : DirectoryIndex::None;
}

std::string DataFileName(int type, const ExportSymbolInfo& symbol) {
    const FormatTypeInfo* info = FindFormatType(type);
    if (info == nullptr) {
        return {};
    }
    switch (info->naming) {
    case N::None:
        return {};
    case N::SavantD95:
        return WithStem(symbol.symbol, ".d_95");
    case N::TopVest:
        return WithStem(symbol.symbol, ".d_5F");
    case N::MarketMaker: {
        // The low byte of the interval is the last character; a zero byte ends
        // the name as it would end a C text.
        const char suffix = static_cast<char>(symbol.interval & 0xFF);
        std::string name = WithStem(symbol.symbol, ".mm");
        if (!name.empty() && suffix != 0) {
            name.push_back(suffix);
            if (!IsSafeFileStem(name)) {
                return {};
            }
        }
        return name;
    }
    case N::MetaStock:
        if (symbol.fileNumber < 1) {
            return {};
        }
        // A capital F: chart programs on case-sensitive systems look for F1.DAT;
        // files written before as f1.DAT are still found, lookups ignore case.
        return "F" + std::to_string(symbol.fileNumber) +
               (symbol.fileNumber < 256 ? ".DAT" : ".MWD");
    case N::Prn:
        return WithStem(symbol.symbol, ".prn");
    case N::OptionTrader:
        return WithStem(symbol.symbol, ".hdf");
    case N::HermesAsc:
        return WithStem(symbol.symbol, ".asc");
    }
    return {};
}

} // namespace mvr
