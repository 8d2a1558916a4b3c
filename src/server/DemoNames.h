#pragma once

// Made-up but plausible instrument names and symbols for the demo data:
// company stems built from syllables ("Norvex", "Calbrin"), names per kind of
// instrument ("Norvex Software AG", "Norvex 3.25% 2031") and symbol
// candidates derived from the stem (upper case, at most 8 characters).

#include "server/DemoRandom.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace mvr {

inline constexpr std::size_t kMaxDemoSymbolChars = 8;

// The sectors of demo shares; catalogues are built from some of them.
enum class DemoSector {
    Technology,
    Financials,
    Industrials,
    Energy,
    Health,
    Consumer,
    Materials,
    Automotive,
    Telecom,
};
inline constexpr int kDemoSectorCount = 9;

std::string MakeDemoStem(CDemoRandom& random);

// "Norvex Software AG": the stem, a word of the sector and a legal form of the
// country (two-letter ISIN prefix).
std::string MakeDemoShareName(std::string_view stem, DemoSector sector, std::string_view country,
                              CDemoRandom& random);
std::string MakeDemoFundName(std::string_view stem, CDemoRandom& random);
std::string MakeDemoBondName(std::string_view stem, int lastYear, CDemoRandom& random);
std::string MakeDemoIndexName(std::string_view stem, CDemoRandom& random);
std::string MakeDemoWarrantName(std::string_view stem, CDemoRandom& random);
std::string MakeDemoCertificateName(std::string_view stem, CDemoRandom& random);

// The `attempt`-th symbol to try for an instrument of this stem; `kindLetter`
// (0 for shares) tells kinds of one stem apart. The first attempts are short and readable,
// later ones add random letters so that a free symbol is always found.
std::string DemoSymbolCandidate(std::string_view stem, char kindLetter, int attempt,
                                CDemoRandom& random);

} // namespace mvr
