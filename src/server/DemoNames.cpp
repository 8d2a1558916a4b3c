#include "server/DemoNames.h"

#include "core/platform/TextUtil.h"

#include <array>

namespace mvr {

namespace {

using Words = std::span<const std::string_view>;

constexpr std::array<std::string_view, 26> kOpenings = {
    "Al",  "Bel", "Cor", "Dar",  "El",  "Fen", "Gal", "Hel", "Ir",  "Jor", "Kal", "Lin", "Mar",
    "Nor", "Or",  "Pel", "Quin", "Ros", "Sol", "Tar", "Ul",  "Ver", "Wes", "Xan", "Yor", "Zel"};
constexpr std::array<std::string_view, 11> kMiddles = {"a",  "e",  "i",  "o",  "an", "en",
                                                       "on", "ar", "er", "or", ""};
constexpr std::array<std::string_view, 20> kEndings = {
    "tex", "nor", "vis", "lux", "dia",  "con", "tra", "mont", "berg", "ford",
    "ton", "ica", "ion", "vex", "brin", "ia",  "ant", "ell",  "ara",  "ix"};

constexpr std::array<std::string_view, 5> kTechnologyWords = {"Software", "Systems", "Digital",
                                                              "Networks", "Semiconductors"};
constexpr std::array<std::string_view, 5> kFinancialWords = {"Bank", "Financial", "Capital",
                                                             "Insurance", "Assurance"};
constexpr std::array<std::string_view, 4> kIndustrialWords = {"Industries", "Engineering",
                                                              "Machinery", "Logistics"};
constexpr std::array<std::string_view, 3> kEnergyWords = {"Energy", "Power", "Resources"};
constexpr std::array<std::string_view, 4> kHealthWords = {"Pharma", "Biotech", "Health", "Medical"};
constexpr std::array<std::string_view, 4> kConsumerWords = {"Retail", "Foods", "Brands", "Apparel"};
constexpr std::array<std::string_view, 3> kMaterialWords = {"Chemicals", "Materials", "Metals"};
constexpr std::array<std::string_view, 2> kAutomotiveWords = {"Motors", "Automotive"};
constexpr std::array<std::string_view, 3> kTelecomWords = {"Telecom", "Communications", "Media"};

constexpr std::array<std::string_view, 6> kFundThemes = {
    "Global Equity", "Euro Bond", "Dividend", "Emerging Markets", "Technology", "Balanced"};
constexpr std::array<std::string_view, 4> kIndexThemes = {"Select", "Prime", "Composite",
                                                          "Leaders"};
constexpr std::array<std::string_view, 4> kCertificateThemes = {"Bonus", "Discount", "Tracker",
                                                                "Express"};

Words SectorWords(DemoSector sector) {
    switch (sector) {
    case DemoSector::Technology:
        return kTechnologyWords;
    case DemoSector::Financials:
        return kFinancialWords;
    case DemoSector::Industrials:
        return kIndustrialWords;
    case DemoSector::Energy:
        return kEnergyWords;
    case DemoSector::Health:
        return kHealthWords;
    case DemoSector::Consumer:
        return kConsumerWords;
    case DemoSector::Materials:
        return kMaterialWords;
    case DemoSector::Automotive:
        return kAutomotiveWords;
    case DemoSector::Telecom:
        return kTelecomWords;
    }
    return kIndustrialWords;
}

Words LegalForms(std::string_view country) {
    static constexpr std::array<std::string_view, 3> kGerman = {"AG", "SE", "KGaA"};
    static constexpr std::array<std::string_view, 2> kAmerican = {"Inc.", "Corp."};
    static constexpr std::array<std::string_view, 1> kBritish = {"plc"};
    static constexpr std::array<std::string_view, 2> kSwiss = {"AG", "SA"};
    static constexpr std::array<std::string_view, 1> kFrench = {"SA"};
    static constexpr std::array<std::string_view, 1> kDutch = {"N.V."};
    if (country == "US") {
        return kAmerican;
    }
    if (country == "GB") {
        return kBritish;
    }
    if (country == "CH") {
        return kSwiss;
    }
    if (country == "FR") {
        return kFrench;
    }
    if (country == "NL") {
        return kDutch;
    }
    return kGerman;
}

std::string Joined(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts) {
        text += text.empty() ? "" : " ";
        text += part;
    }
    return text;
}

char RandomLetter(CDemoRandom& random) {
    return static_cast<char>('A' + random.Below(26));
}

} // namespace

std::string MakeDemoStem(CDemoRandom& random) {
    std::string stem(random.Pick(Words(kOpenings)));
    const std::string_view middle = random.Pick(Words(kMiddles));
    const std::string_view ending = random.Pick(Words(kEndings));
    // "Veri" + "ion" reads badly; the middle falls away when it would double a letter.
    if (middle.empty() || middle.back() != ending.front()) {
        stem += middle;
    }
    stem += ending;
    return stem;
}

std::string MakeDemoShareName(std::string_view stem, DemoSector sector, std::string_view country,
                              CDemoRandom& random) {
    return Joined({stem, random.Pick(SectorWords(sector)), random.Pick(LegalForms(country))});
}

std::string MakeDemoFundName(std::string_view stem, CDemoRandom& random) {
    return Joined({stem, random.Pick(Words(kFundThemes)), "Fund"});
}

std::string MakeDemoBondName(std::string_view stem, int lastYear, CDemoRandom& random) {
    const int coupon = static_cast<int>(random.Between(2, 26)) * 25; // 0.50% .. 6.50%
    const std::string rate = std::to_string(coupon / 100) + "." +
                             std::to_string(coupon % 100 / 10) + std::to_string(coupon % 10) + "%";
    const std::string year = std::to_string(lastYear + random.Between(1, 15));
    return Joined({stem, rate, year});
}

std::string MakeDemoIndexName(std::string_view stem, CDemoRandom& random) {
    return Joined({stem, random.Pick(Words(kIndexThemes)), "Index"});
}

std::string MakeDemoWarrantName(std::string_view stem, CDemoRandom& random) {
    const std::string strike = std::to_string(random.Between(2, 60) * 5);
    return Joined({random.Percent(60) ? "Call" : "Put", stem, strike});
}

std::string MakeDemoCertificateName(std::string_view stem, CDemoRandom& random) {
    return Joined({stem, random.Pick(Words(kCertificateThemes)), "Certificate"});
}

std::string DemoSymbolCandidate(std::string_view stem, char kindLetter, int attempt,
                                CDemoRandom& random) {
    std::string letters;
    for (char c : ToUpperAscii(stem)) {
        if (c >= 'A' && c <= 'Z') {
            letters += c;
        }
    }
    const bool share = kindLetter == 0;
    std::string symbol;
    switch (share ? attempt : attempt + 3) {
    case 0:
        symbol = letters.substr(0, 4);
        break;
    case 1:
        symbol = letters.substr(0, 3);
        break;
    case 2:
        symbol = letters.substr(0, 5);
        break;
    case 3:
        symbol = letters.substr(0, 3) + (share ? 'X' : kindLetter);
        break;
    default:
        // Ever more random letters after the start of the stem.
        symbol = letters.substr(0, 3);
        if (!share) {
            symbol += kindLetter;
        }
        for (int i = 0; i < 2 + attempt / 8 && symbol.size() < kMaxDemoSymbolChars; ++i) {
            symbol += RandomLetter(random);
        }
        break;
    }
    return symbol.substr(0, kMaxDemoSymbolChars);
}

} // namespace mvr
