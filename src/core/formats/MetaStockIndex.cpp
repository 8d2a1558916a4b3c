#include "core/formats/MetaStockIndex.h"

#include "core/formats/DayNumber.h"
#include "core/formats/LongDate.h"
#include "core/formats/MetaStockDataFile.h"
#include "core/platform/Bytes.h"
#include "core/platform/OleDate.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace mvr {

namespace {

// MASTER record (53 bytes).
constexpr std::size_t kMasterFileNumber = 0; // 1 byte
constexpr std::size_t kMasterFieldCount = 4; // 1 byte
constexpr std::size_t kMasterName = 7;       // 16 bytes, blank-padded
constexpr std::size_t kMasterNameSize = 16;
constexpr std::size_t kMasterFirstDate = 25; // MBF packed date
constexpr std::size_t kMasterLastDate = 29;  // MBF packed date
constexpr std::size_t kMasterPeriod = 33;    // 'I', 'W', 'M', else daily
constexpr std::size_t kMasterInterval = 34;  // 1 byte, intraday only
constexpr std::size_t kMasterSymbol = 36;    // 14 bytes; this system uses the first 8
constexpr std::size_t kMasterLongSymbolSize = 14;
// MASTER and EMASTER headers: record count, highest file number in use.
constexpr std::size_t kHeaderCount = 0;
constexpr std::size_t kHeaderLastFile = 2;

// EMASTER record (192 bytes).
constexpr std::size_t kEmasterFileNumber = 2; // 1 byte
constexpr std::size_t kEmasterFieldCount = 6; // 1 byte
constexpr std::size_t kEmasterSymbol = 11;    // 14 bytes, zero-padded; 8 used
constexpr std::size_t kEmasterName = 32;      // 16 bytes, zero-padded
constexpr std::size_t kEmasterFirstDate = 64; // IEEE single packed date
constexpr std::size_t kEmasterPeriod = 60;    // as in MASTER
constexpr std::size_t kEmasterInterval = 62;  // 1 byte, intraday only
constexpr std::size_t kEmasterFirstTime = 68; // IEEE single HHMMSS, intraday only
constexpr std::size_t kEmasterLastDate = 72;  // IEEE single packed date
constexpr std::size_t kEmasterLastTime = 76;  // IEEE single HHMMSS, intraday only
constexpr std::size_t kEmasterFirstDay = 126; // 32-bit year*10000+month*100+day
constexpr std::size_t kEmasterLongName = 139; // 45 bytes, zero-padded
constexpr std::size_t kLongNameSize = 45;

// XMASTER record (150 bytes).
constexpr std::size_t kXmasterSymbol = 1; // 15 bytes; 8 used
constexpr std::size_t kXmasterLongSymbolSize = 15;
constexpr std::size_t kXmasterName = 16; // 45 bytes
constexpr std::size_t kXmasterPeriod = 62;
constexpr std::size_t kXmasterInterval = 63;
constexpr std::size_t kXmasterFileNumber = 65; // 16-bit
constexpr std::size_t kXmasterFieldMask = 70;
constexpr std::size_t kXmasterFirstDay = 104; // 32-bit year*10000+month*100+day
constexpr std::size_t kXmasterFirstDayCopy = 108;
constexpr std::size_t kXmasterLastDay = 116;
// XMASTER header: the record count twice, then the next free file number.
constexpr std::size_t kXmasterHeaderCount = 10;
constexpr std::size_t kXmasterHeaderCountCopy = 14;
constexpr std::size_t kXmasterHeaderNextFile = 18;

constexpr std::size_t kSymbolFieldSize = ExportSymbolInfo::kMaxSymbolChars;

constexpr std::uint8_t kBlank = 0x20;
constexpr std::uint8_t kIntradayLetter = 'I';

// ---- texts ----

// Padding other programs leave after a text: blanks, zeros, 0xFF bytes.
std::string WithoutPadding(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0' ||
                             static_cast<unsigned char>(text.back()) == 0xFF)) {
        text.pop_back();
    }
    return text;
}

std::string TextField(const std::uint8_t* p, std::size_t size) {
    return LoadFixedText(p, size);
}

// The text cut to the field and the rest of the field filled with `pad`; no
// terminator is needed when the text fills the field.
void StorePadded(std::uint8_t* p, std::size_t size, std::string_view text, std::uint8_t pad) {
    const std::size_t n = std::min(text.size(), size);
    std::memcpy(p, text.data(), n);
    std::memset(p + n, pad, size - n);
}

// A name cut to its field loses the blanks the cut leaves at its end: some
// MetaStock readers refuse a whole folder over a name that ends in a blank.
std::string_view CutName(std::string_view name, std::size_t size) {
    name = name.substr(0, std::min(name.size(), size));
    while (!name.empty() && name.back() == ' ') {
        name.remove_suffix(1);
    }
    return name;
}

// An empty name is written as the symbol, so that chart programs show something.
std::string_view NameOrSymbol(const ExportSymbolInfo& symbol) {
    return symbol.name.empty() ? std::string_view(symbol.symbol) : std::string_view(symbol.name);
}

// ---- dates ----

double OleDateOfPacked(const std::uint8_t* mbf) {
    return LongDate::FromMbfPacked(mbf).OleDate();
}

// year * 10000 + month * 100 + day of an OLE date; 0 for no date.
std::int32_t CalendarNumberOf(double oleDate) {
    SystemTime t;
    if (oleDate == 0.0 || !VariantTimeToSystemTime(oleDate, &t)) {
        return 0;
    }
    return t.year * 10000 + t.month * 100 + t.day;
}

double OleDateOfCalendarNumber(std::int32_t value) {
    if (value <= 0) {
        return 0.0;
    }
    const int year = value / 10000;
    const int month = (value / 100) % 100;
    const int day = value % 100;
    if (year < 1900 || year > 9999 || month < 1 || day < 1 || day > 31) {
        return 0.0;
    }
    const DATUM date{static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                     static_cast<std::uint16_t>(year)};
    return IsValidDatum(date) ? DayNumberToPlainOleDate(DatumToDayNumber(date)) : 0.0;
}

// The time of day of an OLE date as the index records hold it (HHMMSS).
float TimeFieldOf(double oleDate) {
    SystemTime t;
    if (oleDate <= 0.0 || !VariantTimeToSystemTime(oleDate, &t)) {
        return 0.0f;
    }
    return MetaStockTimeField(t.hour * 3600 + t.minute * 60 + t.second);
}

// Intervals beyond a byte (more than 4 hours) cannot be told to chart programs.
std::uint8_t IntervalByte(std::int32_t minutes) {
    return static_cast<std::uint8_t>(std::clamp(minutes, 0, 255));
}

int FieldCountOfMask(std::uint8_t mask) {
    switch (mask) {
    case 0x1F:
        return 5;
    case 0x3F:
        return 6;
    case 0x7F:
        return 7;
    case 0xFF:
        return 8;
    default:
        return 0;
    }
}

std::uint8_t MaskOfFieldCount(int fieldCount) {
    return static_cast<std::uint8_t>((1u << fieldCount) - 1);
}

// ---- templates ----

MasterRecord MakeMasterTemplate() {
    MasterRecord r{};
    r[1] = 0x65;
    r[3] = 0x1C;
    r[4] = 0x07;
    std::memset(r.data() + 7, kBlank, 16);
    r[33] = 0x44;
    std::memset(r.data() + 36, kBlank, 16);
    return r;
}

EmasterRecord MakeEmasterTemplate() {
    EmasterRecord r{};
    r[0] = 0x36;
    r[1] = 0x36;
    r[6] = 0x07;
    r[7] = 0x7F;
    r[9] = 0x20;
    r[60] = 0x44;
    r[126] = 0x87;
    r[127] = 0x7B;
    r[128] = 0x31;
    r[129] = 0x01;
    return r;
}

XmasterRecord MakeXmasterTemplate() {
    XmasterRecord r{};
    r[0] = 0x01;
    r[9] = 0x20;
    r[62] = 0x44;
    r[70] = 0x7F;
    constexpr std::uint8_t kBytes80[8] = {0xA8, 0x55, 0x31, 0x01, 0xA8, 0x55, 0x41, 0x00};
    std::memcpy(r.data() + 80, kBytes80, sizeof kBytes80);
    return r;
}

// ---- whole index ----

template <std::size_t N>
std::array<std::uint8_t, N> RecordAt(std::span<const std::uint8_t> file, std::size_t index) {
    std::array<std::uint8_t, N> record;
    std::memcpy(record.data(), file.data() + index * N, N);
    return record;
}

// Finds the EMASTER record of a MASTER record: the one at the same position
// when its file number agrees (or is not filled in), otherwise the first with
// the same file number.
class CEmasterPairing {
public:
    explicit CEmasterPairing(std::optional<std::span<const std::uint8_t>> emaster) {
        if (emaster && emaster->size() >= kEmasterRecordSize) {
            file_ = *emaster;
            records_ = file_.size() / kEmasterRecordSize - 1;
        }
    }

    // Record number (1-based) paired with MASTER record `position`, or 0.
    std::size_t Find(std::size_t position, std::uint8_t fileNumber) {
        if (position <= records_) {
            const std::uint8_t stored = FileNumberOf(position);
            if (stored == fileNumber || stored == 0) {
                return position;
            }
        }
        if (byFileNumber_.empty()) {
            for (std::size_t i = records_; i >= 1; --i) {
                byFileNumber_[FileNumberOf(i)] = i;
            }
        }
        const auto it = byFileNumber_.find(fileNumber);
        return it == byFileNumber_.end() ? 0 : it->second;
    }

    EmasterRecord Record(std::size_t number) const {
        return RecordAt<kEmasterRecordSize>(file_, number);
    }

private:
    std::uint8_t FileNumberOf(std::size_t number) const {
        return file_[number * kEmasterRecordSize + kEmasterFileNumber];
    }

    std::span<const std::uint8_t> file_;
    std::size_t records_ = 0;
    std::unordered_map<std::uint8_t, std::size_t> byFileNumber_;
};

void TakeStartDate(double firstDate, double& startDate) {
    if (firstDate > 0.0 && (startDate == 0.0 || firstDate < startDate)) {
        startDate = firstDate;
    }
}

void DecodeMasterSymbols(std::span<const std::uint8_t> master, CEmasterPairing& emaster,
                         MetaStockIndexContent& content) {
    const std::size_t records = master.size() / kMasterRecordSize - 1;
    for (std::size_t i = 1; i <= records; ++i) {
        ExportSymbolInfo symbol;
        symbol.masterRecord = RecordAt<kMasterRecordSize>(master, i);
        symbol.masterPos = static_cast<std::int32_t>(i * kMasterRecordSize);
        ReadMasterRecord(symbol.masterRecord, symbol);
        symbol.emasterRecord = EmasterTemplate();
        if (const std::size_t paired = emaster.Find(i, symbol.masterRecord[kMasterFileNumber])) {
            symbol.emasterRecord = emaster.Record(paired);
            symbol.hasEmaster = 1;
            if (auto longName = EmasterLongName(symbol.emasterRecord)) {
                symbol.name = std::move(*longName);
            }
        }
        TakeStartDate(symbol.firstDate, content.startDate);
        content.symbols.push_back(std::move(symbol));
    }
}

void DecodeXmasterSymbols(std::span<const std::uint8_t> xmaster, MetaStockIndexContent& content) {
    const std::size_t records = xmaster.size() / kXmasterRecordSize - 1;
    for (std::size_t i = 1; i <= records; ++i) {
        ExportSymbolInfo symbol;
        symbol.xmasterRecord = RecordAt<kXmasterRecordSize>(xmaster, i);
        symbol.xmasterPos = static_cast<std::int32_t>(i * kXmasterRecordSize);
        symbol.inXmaster = 1;
        ReadXmasterRecord(symbol.xmasterRecord, symbol);
        TakeStartDate(symbol.firstDate, content.startDate);
        content.symbols.push_back(std::move(symbol));
    }
}

void StoreCounts(std::uint8_t* header, std::size_t count, std::int32_t lastFile) {
    StoreLE16(header + kHeaderCount, static_cast<std::uint16_t>(count));
    StoreLE16(header + kHeaderLastFile, static_cast<std::uint16_t>(lastFile));
}

template <std::size_t N>
void Append(ByteBuffer& out, const std::array<std::uint8_t, N>& record) {
    out.insert(out.end(), record.begin(), record.end());
}

} // namespace

const MasterRecord& MasterTemplate() {
    static const MasterRecord kTemplate = MakeMasterTemplate();
    return kTemplate;
}

const EmasterRecord& EmasterTemplate() {
    static const EmasterRecord kTemplate = MakeEmasterTemplate();
    return kTemplate;
}

const XmasterRecord& XmasterTemplate() {
    static const XmasterRecord kTemplate = MakeXmasterTemplate();
    return kTemplate;
}

XmasterRecord NewXmasterHeader() {
    XmasterRecord header = XmasterTemplate();
    constexpr std::uint8_t kSignature[6] = {0x5D, 0xFE, 0x58, 0x4D, 0x8B, 0x02};
    std::memcpy(header.data(), kSignature, sizeof kSignature);
    return header;
}

void ReadMasterRecord(const MasterRecord& r, ExportSymbolInfo& symbol) {
    symbol.fileNumber = r[kMasterFileNumber];
    symbol.fieldCount = r[kMasterFieldCount];
    symbol.name = WithoutPadding(TextField(r.data() + kMasterName, kMasterNameSize));
    symbol.firstDate = OleDateOfPacked(r.data() + kMasterFirstDate);
    symbol.lastDate = OleDateOfPacked(r.data() + kMasterLastDate);
    symbol.period = PeriodOfLetter(r[kMasterPeriod]);
    symbol.interval = symbol.period == kPeriodIntraday ? r[kMasterInterval] : 0;
    symbol.symbol = WithoutPadding(TextField(r.data() + kMasterSymbol, kSymbolFieldSize));
}

std::optional<std::string> EmasterLongName(const EmasterRecord& r) {
    if (r[kEmasterLongName] == 0) {
        return std::nullopt;
    }
    return WithoutPadding(TextField(r.data() + kEmasterLongName, kLongNameSize));
}

void ReadXmasterRecord(const XmasterRecord& r, ExportSymbolInfo& symbol) {
    // The symbol is kept exactly as stored so that an unchanged symbol is
    // recognised when the record is written back.
    symbol.symbol = TextField(r.data() + kXmasterSymbol, kSymbolFieldSize);
    symbol.name = WithoutPadding(TextField(r.data() + kXmasterName, kLongNameSize));
    symbol.period = PeriodOfLetter(r[kXmasterPeriod]);
    symbol.interval = symbol.period == kPeriodIntraday ? r[kXmasterInterval] : 0;
    symbol.fileNumber = LoadLE16(r.data() + kXmasterFileNumber);
    symbol.fieldCount = FieldCountOfMask(r[kXmasterFieldMask]);
    symbol.firstDate = OleDateOfCalendarNumber(LoadLEInt32(r.data() + kXmasterFirstDay));
    symbol.lastDate = OleDateOfCalendarNumber(LoadLEInt32(r.data() + kXmasterLastDay));
}

std::string LongSymbolOfRecords(const ExportSymbolInfo& symbol) {
    if (symbol.inXmaster != 0) {
        return WithoutPadding(
            TextField(symbol.xmasterRecord.data() + kXmasterSymbol, kXmasterLongSymbolSize));
    }
    std::string text = WithoutPadding(
        TextField(symbol.masterRecord.data() + kMasterSymbol, kMasterLongSymbolSize));
    if (symbol.hasEmaster != 0) {
        std::string emaster = WithoutPadding(
            TextField(symbol.emasterRecord.data() + kEmasterSymbol, kMasterLongSymbolSize));
        if (emaster.size() > text.size()) {
            text = std::move(emaster);
        }
    }
    return text;
}

void RefreshMasterRecord(ExportSymbolInfo& symbol) {
    std::uint8_t* r = symbol.masterRecord.data();
    r[kMasterFileNumber] = static_cast<std::uint8_t>(symbol.fileNumber);
    r[kMasterFieldCount] = static_cast<std::uint8_t>(symbol.fieldCount);
    if (symbol.name.empty()) {
        StorePadded(r + kMasterName, kSymbolFieldSize, symbol.symbol, 0);
        std::memset(r + kMasterName + kSymbolFieldSize, kBlank, kMasterNameSize - kSymbolFieldSize);
    } else {
        StorePadded(r + kMasterName, kMasterNameSize, CutName(symbol.name, kMasterNameSize),
                    kBlank);
    }
    LongDate::FromOleDate(symbol.firstDate).StoreMbfPacked(r + kMasterFirstDate);
    LongDate::FromOleDate(symbol.lastDate).StoreMbfPacked(r + kMasterLastDate);
    StorePadded(r + kMasterSymbol, kSymbolFieldSize, symbol.symbol, 0);
    // Other periods stay as read: this system writes no weekly or monthly series.
    if (symbol.period == kPeriodIntraday) {
        r[kMasterPeriod] = kIntradayLetter;
        r[kMasterInterval] = IntervalByte(symbol.interval);
    }
}

void RefreshEmasterRecord(ExportSymbolInfo& symbol) {
    std::uint8_t* r = symbol.emasterRecord.data();
    r[kEmasterFileNumber] = static_cast<std::uint8_t>(symbol.fileNumber);
    r[kEmasterFieldCount] = static_cast<std::uint8_t>(symbol.fieldCount);
    StorePadded(r + kEmasterSymbol, kSymbolFieldSize, symbol.symbol, 0);
    const std::string_view name = NameOrSymbol(symbol);
    StorePadded(r + kEmasterName, kMasterNameSize, CutName(name, kMasterNameSize), 0);
    StoreLEFloat(r + kEmasterFirstDate, LongDate::FromOleDate(symbol.firstDate).IeeePacked());
    StoreLEFloat(r + kEmasterLastDate, LongDate::FromOleDate(symbol.lastDate).IeeePacked());
    StoreLEInt32(r + kEmasterFirstDay, CalendarNumberOf(symbol.firstDate));
    StorePadded(r + kEmasterLongName, kLongNameSize, CutName(name, kLongNameSize), 0);
    if (symbol.period == kPeriodIntraday) {
        r[kEmasterPeriod] = kIntradayLetter;
        r[kEmasterInterval] = IntervalByte(symbol.interval);
        StoreLEFloat(r + kEmasterFirstTime, TimeFieldOf(symbol.firstDate));
        StoreLEFloat(r + kEmasterLastTime, TimeFieldOf(symbol.lastDate));
    }
}

void RefreshXmasterRecord(ExportSymbolInfo& symbol) {
    std::uint8_t* r = symbol.xmasterRecord.data();
    // Compared as texts: some writers leave bytes of earlier texts behind the
    // terminator, and an unchanged symbol keeps its record's bytes.
    if (TextField(r + kXmasterSymbol, kSymbolFieldSize) != symbol.symbol) {
        StorePadded(r + kXmasterSymbol, kSymbolFieldSize, symbol.symbol, 0);
        StorePadded(r + kXmasterName, kLongNameSize, CutName(NameOrSymbol(symbol), kLongNameSize),
                    0);
    }
    StoreLE16(r + kXmasterFileNumber, static_cast<std::uint16_t>(symbol.fileNumber));
    if (IsMetaStockFieldCount(symbol.fieldCount)) {
        r[kXmasterFieldMask] = MaskOfFieldCount(symbol.fieldCount);
    }
    const std::int32_t firstDay = CalendarNumberOf(symbol.firstDate);
    StoreLEInt32(r + kXmasterFirstDay, firstDay);
    StoreLEInt32(r + kXmasterFirstDayCopy, firstDay);
    StoreLEInt32(r + kXmasterLastDay, CalendarNumberOf(symbol.lastDate));
    if (symbol.period == kPeriodIntraday) {
        r[kXmasterPeriod] = kIntradayLetter;
        r[kXmasterInterval] = IntervalByte(symbol.interval);
    }
}

bool BelongsInXmaster(const ExportSymbolInfo& symbol) {
    return symbol.inXmaster != 0 || symbol.fileNumber > static_cast<int>(kMaxMasterRecords);
}

std::optional<MetaStockIndexContent> DecodeMetaStockIndex(const MetaStockIndexBytes& files,
                                                          std::string* problem) {
    if (files.master.size() < kMasterRecordSize) {
        *problem = "MASTER is shorter than its header";
        return std::nullopt;
    }
    if (files.master.size() / kMasterRecordSize - 1 > kMaxMasterRecords) {
        *problem = "MASTER holds more than 255 records";
        return std::nullopt;
    }
    MetaStockIndexContent content;
    const bool hasXmaster = files.xmaster && files.xmaster->size() >= kXmasterRecordSize;
    content.symbols.reserve(files.master.size() / kMasterRecordSize +
                            (hasXmaster ? files.xmaster->size() / kXmasterRecordSize : 0));
    CEmasterPairing emaster(files.emaster);
    DecodeMasterSymbols(files.master, emaster, content);
    if (files.xmasterUnreadable) {
        content.complete = false;
        content.problem = "XMASTER cannot be read";
    } else if (hasXmaster) {
        if (files.xmaster->size() / kXmasterRecordSize - 1 > kMaxXmasterRecords) {
            content.complete = false;
            content.problem = "XMASTER holds more records than it can count";
        } else {
            DecodeXmasterSymbols(*files.xmaster, content);
        }
    }
    return content;
}

std::optional<MetaStockIndexImages> EncodeMetaStockIndex(std::vector<ExportSymbolInfo>& symbols,
                                                         const MetaStockIndexHeaders& headers) {
    MetaStockIndexImages images;
    Append(images.master, headers.master);
    Append(images.emaster, headers.emaster);
    std::size_t masterCount = 0;
    std::size_t xmasterCount = 0;
    std::int32_t lastMasterFile = 0; // 0..255: larger numbers go to XMASTER
    std::int32_t lastFile = 0;
    for (ExportSymbolInfo& symbol : symbols) {
        lastFile = std::max(lastFile, symbol.fileNumber);
        if (BelongsInXmaster(symbol)) {
            RefreshXmasterRecord(symbol);
            if (xmasterCount++ == 0) {
                Append(images.xmaster, headers.xmaster);
            }
            Append(images.xmaster, symbol.xmasterRecord);
            continue;
        }
        RefreshMasterRecord(symbol);
        RefreshEmasterRecord(symbol);
        Append(images.master, symbol.masterRecord);
        Append(images.emaster, symbol.emasterRecord);
        lastMasterFile = std::max(lastMasterFile, symbol.fileNumber);
        ++masterCount;
    }
    if (masterCount > kMaxMasterRecords || xmasterCount > kMaxXmasterRecords) {
        return std::nullopt;
    }
    // Bytes 2..3 name the highest file number in use: MetaStock programs take
    // the next free number from there, so a count alone (after a removal
    // left a gap) would let them reuse a file that is still in use.
    StoreCounts(images.master.data(), masterCount, lastMasterFile);
    StoreCounts(images.emaster.data(), masterCount, lastMasterFile);
    if (xmasterCount > 0) {
        StoreLE16(images.xmaster.data() + kXmasterHeaderCount,
                  static_cast<std::uint16_t>(xmasterCount));
        StoreLE16(images.xmaster.data() + kXmasterHeaderCountCopy,
                  static_cast<std::uint16_t>(xmasterCount));
        // Where MetaStock programs take the number of the next series from,
        // as in MASTER bytes 2..3 but one beyond the highest number in use.
        StoreLE16(images.xmaster.data() + kXmasterHeaderNextFile,
                  static_cast<std::uint16_t>(std::min(lastFile + 1, 0xFFFF)));
    }
    return images;
}

} // namespace mvr
