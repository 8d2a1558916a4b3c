#include "core/formats/MetaStockRecordCodec.h"

#include "core/formats/Mbf.h"
#include "core/platform/Bytes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define MVR_METASTOCK_SSE2 1
#include <emmintrin.h>
#endif

namespace mvr {

namespace {

// Where the fields of a record of `Fields` fields lie: the date, the time of
// an intraday record, the prices (led by the open from 6 fields on, not
// counting the time), then the volume.
template <int Fields, bool Time>
struct RecordLayout {
    static constexpr std::size_t kLength = 4 * Fields;
    static constexpr std::size_t kDate = 0;
    static constexpr std::size_t kTime = 1; // with Time only
    static constexpr std::size_t kFirstPrice = Time ? 2 : 1;
    static constexpr bool kHasOpen = Fields - (Time ? 1 : 0) > 5;
    static constexpr std::size_t kOpen = kFirstPrice; // with kHasOpen only
    static constexpr std::size_t kHigh = kFirstPrice + (kHasOpen ? 1 : 0);
    static constexpr std::size_t kLow = kHigh + 1;
    static constexpr std::size_t kClose = kHigh + 2;
    static constexpr std::size_t kVolume = kHigh + 3;
    static_assert(kVolume < Fields);
};

std::uint32_t FieldWord(const std::uint8_t* record, std::size_t field) {
    return LoadLE32(record + 4 * field);
}

float FieldValue(const std::uint8_t* record, std::size_t field) {
    return MbfWordToFloat(FieldWord(record, field));
}

// The volume field's magnitude as a whole number, saturating at 2^31 - 1.
std::int32_t VolumeOfField(float field) {
    const float magnitude = std::fabs(field);
    return magnitude < 2147483648.0f ? static_cast<std::int32_t>(magnitude) : 2147483647;
}

template <int Fields, bool Time>
bool DecodeRecord(const std::uint8_t* record, std::int32_t index, BarReading reading,
                  CPackedDateReader& dates, PERIODE& bar) {
    using L = RecordLayout<Fields, Time>;
    const std::int32_t secondsOfDay =
        Time ? SecondsOfMetaStockTime(FieldValue(record, L::kTime)) : 0;
    const float volume = FieldValue(record, L::kVolume);
    bar = PERIODE{.secondsOfDay = secondsOfDay,
                  .open = L::kHasOpen ? FieldValue(record, L::kOpen) : 0.0f,
                  .high = FieldValue(record, L::kHigh),
                  .low = FieldValue(record, L::kLow),
                  .close = FieldValue(record, L::kClose),
                  .volume = reading == BarReading::Corrected ? VolumeOfField(volume)
                                                             : TruncateToInt32(volume),
                  .dayNumber = dates.DayNumberOfWord(FieldWord(record, L::kDate)),
                  .sourcePos = index,
                  .isNew = 0};
    if (reading == BarReading::Corrected) {
        CorrectBar(bar);
    }
    return secondsOfDay >= 0;
}

#ifdef MVR_METASTOCK_SSE2

// A group is written as three stores per bar: the time of day, the four
// prices, and volume, day, position and new flag.
static_assert(std::is_trivially_copyable_v<PERIODE>);
static_assert(offsetof(PERIODE, secondsOfDay) == 0);
static_assert(offsetof(PERIODE, open) == 4 && offsetof(PERIODE, high) == 8 &&
              offsetof(PERIODE, low) == 12 && offsetof(PERIODE, close) == 16);
static_assert(offsetof(PERIODE, volume) == 20 && offsetof(PERIODE, dayNumber) == 24 &&
              offsetof(PERIODE, sourcePos) == 28 && offsetof(PERIODE, isNew) == 32);

// MbfWordToFloat in four lanes, split into the converted bits and the mask
// of the lanes whose value is not zero (exponent byte above 2).
struct MbfLanes {
    __m128 bits;
    __m128 nonZero;
};

inline MbfLanes ConvertMbfLanes(__m128i word) {
    // The exponent byte moved to the IEEE exponent field, still with MBF's bias.
    const __m128i exponent = _mm_and_si128(_mm_srli_epi32(word, 1), _mm_set1_epi32(0x7F800000));
    const __m128i two = _mm_set1_epi32(2 << 23);
    const __m128i nonZero = _mm_cmpgt_epi32(exponent, two);
    const __m128i sign =
        _mm_and_si128(_mm_slli_epi32(word, 8), _mm_set1_epi32(static_cast<int>(0x80000000u)));
    const __m128i mantissa = _mm_and_si128(word, _mm_set1_epi32(0x007FFFFF));
    const __m128i bits = _mm_or_si128(_mm_or_si128(sign, mantissa), _mm_sub_epi32(exponent, two));
    return {_mm_castsi128_ps(bits), _mm_castsi128_ps(nonZero)};
}

inline __m128 MbfToFloats(__m128i word) {
    const MbfLanes lanes = ConvertMbfLanes(word);
    return _mm_and_ps(lanes.bits, lanes.nonZero);
}

// A price of zero takes the close, as in CorrectBar (a converted value is
// zero exactly when its exponent byte was 2 or less).
inline __m128 PricesOrClose(__m128i word, __m128 close) {
    const MbfLanes lanes = ConvertMbfLanes(word);
    return _mm_or_ps(_mm_and_ps(lanes.nonZero, lanes.bits), _mm_andnot_ps(lanes.nonZero, close));
}

// CorrectBar's steps after the missing prices took the close, in four lanes;
// min and max take their first operand exactly when CorrectBar's comparison
// holds.
inline void BringIntoRange(__m128& open, __m128& high, __m128& low, __m128 close) {
    high = _mm_max_ps(close, high);
    low = _mm_min_ps(close, low);
    low = _mm_min_ps(open, low);
    open = _mm_min_ps(high, open);
}

// Rows of four 32-bit lanes become columns.
inline void Transpose(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
    const __m128i ab0 = _mm_unpacklo_epi32(a, b);
    const __m128i cd0 = _mm_unpacklo_epi32(c, d);
    const __m128i ab1 = _mm_unpackhi_epi32(a, b);
    const __m128i cd1 = _mm_unpackhi_epi32(c, d);
    a = _mm_unpacklo_epi64(ab0, cd0);
    b = _mm_unpackhi_epi64(ab0, cd0);
    c = _mm_unpacklo_epi64(ab1, cd1);
    d = _mm_unpackhi_epi64(ab1, cd1);
}

__m128i Load16(const std::uint8_t* bytes) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// The day numbers of four date words: by the current month when all four lie
// in it, otherwise one by one (which enters the next month).
inline __m128i DayNumbers(__m128i words, CPackedDateReader& dates) {
    const CPackedDateReader::Month& month = dates.CurrentMonth();
    const __m128i offset = _mm_sub_epi32(words, _mm_set1_epi32(static_cast<int>(month.firstWord)));
    // An unsigned offset < span, as a signed comparison of values moved by 2^31.
    const __m128i flip = _mm_set1_epi32(static_cast<int>(0x80000000u));
    const __m128i inside =
        _mm_cmplt_epi32(_mm_xor_si128(offset, flip),
                        _mm_set1_epi32(static_cast<int>(month.spanWords ^ 0x80000000u)));
    if (_mm_movemask_ps(_mm_castsi128_ps(inside)) == 0xF) {
        return _mm_add_epi32(
            _mm_set1_epi32(month.firstDay),
            _mm_srl_epi32(offset, _mm_cvtsi32_si128(static_cast<int>(month.shift))));
    }
    alignas(16) std::uint32_t word[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(word), words);
    const std::int32_t d0 = dates.DayNumberOfWord(word[0]);
    const std::int32_t d1 = dates.DayNumberOfWord(word[1]);
    const std::int32_t d2 = dates.DayNumberOfWord(word[2]);
    const std::int32_t d3 = dates.DayNumberOfWord(word[3]);
    return _mm_setr_epi32(d0, d1, d2, d3);
}

void StoreBar(PERIODE* bar, std::int32_t secondsOfDay, __m128 prices, __m128i tail) {
    std::uint8_t* bytes = reinterpret_cast<std::uint8_t*>(bar);
    bar->secondsOfDay = secondsOfDay;
    _mm_storeu_ps(reinterpret_cast<float*>(bytes + offsetof(PERIODE, open)), prices);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + offsetof(PERIODE, volume)), tail);
}

// Four records from `first` on; reads kGroupReadBytes from the start of each.
constexpr std::size_t kGroupReadBytes = 32;

// The times of day of four time fields; false when one holds none.
bool TimesOfDay(__m128i words, std::int32_t (&seconds)[4]) {
    alignas(16) float field[4];
    _mm_store_ps(field, MbfToFloats(words));
    bool valid = true;
    for (int lane = 0; lane < 4; ++lane) {
        seconds[lane] = SecondsOfMetaStockTime(field[lane]);
        valid = valid && seconds[lane] >= 0;
    }
    return valid;
}

template <int Fields, bool Time>
bool DecodeGroup(const std::uint8_t* first, std::int32_t index, CPackedDateReader& dates,
                 PERIODE* out) {
    using L = RecordLayout<Fields, Time>;
    // Fields 0..3 and 4..7 of each record, as columns.
    __m128i a0 = Load16(first);
    __m128i a1 = Load16(first + L::kLength);
    __m128i a2 = Load16(first + 2 * L::kLength);
    __m128i a3 = Load16(first + 3 * L::kLength);
    Transpose(a0, a1, a2, a3);
    __m128i b0 = Load16(first + 16);
    __m128i b1 = Load16(first + L::kLength + 16);
    __m128i b2 = Load16(first + 2 * L::kLength + 16);
    __m128i b3 = Load16(first + 3 * L::kLength + 16);
    Transpose(b0, b1, b2, b3);
    const __m128i field[8] = {a0, a1, a2, a3, b0, b1, b2, b3};
    std::int32_t seconds[4] = {0, 0, 0, 0};
    if (Time && !TimesOfDay(field[L::kTime], seconds)) {
        return false;
    }

    const __m128 close = MbfToFloats(field[L::kClose]);
    __m128 high = PricesOrClose(field[L::kHigh], close);
    __m128 low = PricesOrClose(field[L::kLow], close);
    __m128 open = L::kHasOpen ? PricesOrClose(field[L::kOpen], close) : close;
    BringIntoRange(open, high, low, close);

    // VolumeOfField: the magnitude truncated; out of range converts to
    // 0x80000000, which the subtraction turns into 0x7FFFFFFF.
    const __m128 magnitude =
        _mm_and_ps(MbfToFloats(field[L::kVolume]), _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
    __m128i volume = _mm_cvttps_epi32(magnitude);
    volume = _mm_sub_epi32(volume, _mm_srli_epi32(volume, 31));
    const __m128i day = DayNumbers(field[L::kDate], dates);
    const __m128i position = _mm_add_epi32(_mm_set1_epi32(index), _mm_setr_epi32(0, 1, 2, 3));

    // Back to rows: open, high, low, close and volume, day, position, 0.
    __m128 p0 = open;
    __m128 p1 = high;
    __m128 p2 = low;
    __m128 p3 = close;
    _MM_TRANSPOSE4_PS(p0, p1, p2, p3);
    __m128i t0 = volume;
    __m128i t1 = day;
    __m128i t2 = position;
    __m128i t3 = _mm_setzero_si128();
    Transpose(t0, t1, t2, t3);
    StoreBar(out, seconds[0], p0, t0);
    StoreBar(out + 1, seconds[1], p1, t1);
    StoreBar(out + 2, seconds[2], p2, t2);
    StoreBar(out + 3, seconds[3], p3, t3);
    return true;
}

// ---- encoding ----

// FloatToMbfWord in four lanes: NaNs and zeros (with the denormals) become 0,
// magnitudes beyond MBF's range its largest, with their sign.
inline __m128i FloatsToMbf(__m128 value) {
    const __m128i bits = _mm_castps_si128(value);
    const __m128i exponent = _mm_and_si128(_mm_srli_epi32(bits, 23), _mm_set1_epi32(0xFF));
    const __m128i mantissa = _mm_and_si128(bits, _mm_set1_epi32(0x007FFFFF));
    const __m128i sign = _mm_and_si128(_mm_srli_epi32(bits, 8), _mm_set1_epi32(0x00800000));
    const __m128i normal =
        _mm_or_si128(_mm_slli_epi32(_mm_add_epi32(exponent, _mm_set1_epi32(2)), 24),
                     _mm_or_si128(sign, mantissa));
    const __m128i largest = _mm_or_si128(_mm_set1_epi32(static_cast<int>(0xFF7FFFFFu)), sign);
    const __m128i beyond = _mm_cmpgt_epi32(exponent, _mm_set1_epi32(0xFD));
    const __m128i zero = _mm_cmpeq_epi32(exponent, _mm_setzero_si128());
    const __m128i nan = _mm_andnot_si128(_mm_cmpeq_epi32(mantissa, _mm_setzero_si128()),
                                         _mm_cmpeq_epi32(exponent, _mm_set1_epi32(0xFF)));
    const __m128i word =
        _mm_or_si128(_mm_and_si128(beyond, largest), _mm_andnot_si128(beyond, normal));
    return _mm_andnot_si128(_mm_or_si128(zero, nan), word);
}

// A price of zero takes the close, as in CorrectBar.
inline __m128 ZeroTakesClose(__m128 price, __m128 close) {
    const __m128 zero = _mm_cmpeq_ps(price, _mm_setzero_ps());
    return _mm_or_ps(_mm_and_ps(zero, close), _mm_andnot_ps(zero, price));
}

// The date fields of four days: by the current month when all four lie in
// it, otherwise one by one (which enters the next month).
inline __m128i PackedDates(const PERIODE* bars, __m128i days, CPackedDateWriter& dates) {
    const CPackedDateWriter::Month& month = dates.CurrentMonth();
    const __m128i offset = _mm_sub_epi32(days, _mm_set1_epi32(month.firstDay));
    // An unsigned offset < length, as a signed comparison of values moved by 2^31.
    const __m128i flip = _mm_set1_epi32(static_cast<int>(0x80000000u));
    const __m128i inside = _mm_cmplt_epi32(_mm_xor_si128(offset, flip),
                                           _mm_xor_si128(_mm_set1_epi32(month.length), flip));
    if (_mm_movemask_ps(_mm_castsi128_ps(inside)) == 0xF) {
        const __m128i packed = month.packedBase == 0
                                   ? _mm_setzero_si128()
                                   : _mm_add_epi32(offset, _mm_set1_epi32(month.packedBase + 1));
        return FloatsToMbf(_mm_cvtepi32_ps(packed));
    }
    alignas(16) std::uint8_t words[16];
    for (int i = 0; i < 4; ++i) {
        dates.Store(bars[i].dayNumber, words + 4 * i);
    }
    return _mm_load_si128(reinterpret_cast<const __m128i*>(words));
}

// Four bars from `bars` on as four records from `first` on: the bars' prices
// and volume, day and position as columns, corrected and converted four at a
// time, then back to rows of fields.
template <int Fields, bool Time>
void StoreGroup(const PERIODE* bars, CPackedDateWriter& dates, std::uint8_t* first) {
    using L = RecordLayout<Fields, Time>;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(bars);
    const auto prices = [bytes](int bar) {
        return _mm_loadu_ps(reinterpret_cast<const float*>(bytes + bar * sizeof(PERIODE) +
                                                           offsetof(PERIODE, open)));
    };
    __m128 open = prices(0);
    __m128 high = prices(1);
    __m128 low = prices(2);
    __m128 close = prices(3);
    _MM_TRANSPOSE4_PS(open, high, low, close);
    const auto tail = [bytes](int bar) {
        return Load16(bytes + bar * sizeof(PERIODE) + offsetof(PERIODE, volume));
    };
    __m128i volume = tail(0);
    __m128i day = tail(1);
    __m128i position = tail(2);
    __m128i isNew = tail(3);
    Transpose(volume, day, position, isNew);

    // CorrectBar's steps.
    high = ZeroTakesClose(high, close);
    low = ZeroTakesClose(low, close);
    open = ZeroTakesClose(open, close);
    BringIntoRange(open, high, low, close);

    // Fields after the volume are zero. (Written out: an array zeroed with
    // "= {}" is cleared in memory with a string store, slower than the rest.)
    const __m128i none = _mm_setzero_si128();
    __m128i field[8] = {none, none, none, none, none, none, none, none};
    field[L::kDate] = PackedDates(bars, day, dates);
    if constexpr (Time) {
        field[L::kTime] = FloatsToMbf(_mm_setr_ps(
            MetaStockTimeField(bars[0].secondsOfDay), MetaStockTimeField(bars[1].secondsOfDay),
            MetaStockTimeField(bars[2].secondsOfDay), MetaStockTimeField(bars[3].secondsOfDay)));
    }
    if constexpr (L::kHasOpen) {
        field[L::kOpen] = FloatsToMbf(open);
    }
    field[L::kHigh] = FloatsToMbf(high);
    field[L::kLow] = FloatsToMbf(low);
    field[L::kClose] = FloatsToMbf(close);
    field[L::kVolume] = FloatsToMbf(_mm_cvtepi32_ps(volume));
    Transpose(field[0], field[1], field[2], field[3]);
    Transpose(field[4], field[5], field[6], field[7]);
    for (std::size_t r = 0; r < 4; ++r) {
        std::uint8_t* record = first + r * L::kLength;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(record), field[r]);
        alignas(16) std::uint8_t rest[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(rest), field[4 + r]);
        std::memcpy(record + 16, rest, L::kLength - 16);
    }
}

#endif

template <int Fields, bool Time>
bool DecodeRecords(std::span<const std::uint8_t> records, std::size_t count,
                   std::int32_t firstIndex, BarReading reading, CPackedDateReader& dates,
                   PERIODE* out) {
    constexpr std::size_t length = RecordLayout<Fields, Time>::kLength;
    std::size_t i = 0;
#ifdef MVR_METASTOCK_SSE2
    if (reading == BarReading::Corrected) {
        // Each record of a group is read 32 bytes from its start.
        const std::size_t readable =
            records.size() < kGroupReadBytes ? 0 : (records.size() - kGroupReadBytes) / length + 1;
        const std::size_t grouped = std::min(count, readable) / 4 * 4;
        for (; i < grouped; i += 4) {
            if (!DecodeGroup<Fields, Time>(records.data() + i * length,
                                           firstIndex + static_cast<std::int32_t>(i), dates,
                                           out + i)) {
                return false;
            }
        }
    }
#endif
    for (; i < count; ++i) {
        if (!DecodeRecord<Fields, Time>(records.data() + i * length,
                                        firstIndex + static_cast<std::int32_t>(i), reading, dates,
                                        out[i])) {
            return false;
        }
    }
    return true;
}

template <int Fields, bool Time>
void StoreRecords(std::span<const PERIODE> bars, CPackedDateWriter& dates, std::uint8_t* record) {
    using L = RecordLayout<Fields, Time>;
#ifdef MVR_METASTOCK_SSE2
    const std::size_t grouped = bars.size() / 4 * 4;
    for (std::size_t i = 0; i < grouped; i += 4) {
        StoreGroup<Fields, Time>(bars.data() + i, dates, record);
        record += 4 * L::kLength;
    }
    bars = bars.subspan(grouped);
#endif
    for (PERIODE bar : bars) {
        dates.Store(bar.dayNumber, record + 4 * L::kDate);
        CorrectBar(bar);
        if constexpr (Time) {
            StoreMbf(record + 4 * L::kTime, MetaStockTimeField(bar.secondsOfDay));
        }
        if constexpr (L::kHasOpen) {
            StoreMbf(record + 4 * L::kOpen, bar.open);
        }
        StoreMbf(record + 4 * L::kHigh, bar.high);
        StoreMbf(record + 4 * L::kLow, bar.low);
        StoreMbf(record + 4 * L::kClose, bar.close);
        StoreMbf(record + 4 * L::kVolume, static_cast<float>(bar.volume));
        std::memset(record + 4 * (L::kVolume + 1), 0, L::kLength - 4 * (L::kVolume + 1));
        record += L::kLength;
    }
}

// Calls `code.template operator()<Fields, Time>()` for the record layout of
// a valid `layout`; false for any other.
template <typename Code>
bool WithRecordLayout(const MetaStockLayout& layout, Code&& code) {
    const int time = layout.hasTime ? 1 : 0;
    switch (layout.fieldCount * 2 + time) {
    case 5 * 2:
        return code.template operator()<5, false>();
    case 6 * 2:
        return code.template operator()<6, false>();
    case 7 * 2:
        return code.template operator()<7, false>();
    case 8 * 2:
        return code.template operator()<8, false>();
    case 6 * 2 + 1:
        return code.template operator()<6, true>();
    case 7 * 2 + 1:
        return code.template operator()<7, true>();
    case 8 * 2 + 1:
        return code.template operator()<8, true>();
    default:
        return false;
    }
}

} // namespace

bool DecodeMetaStockRecords(std::span<const std::uint8_t> records, const MetaStockLayout& layout,
                            std::size_t count, std::int32_t firstIndex, BarReading reading,
                            CPackedDateReader& dates, PERIODE* out) {
    return WithRecordLayout(layout, [&]<int Fields, bool Time>() {
        return DecodeRecords<Fields, Time>(records, count, firstIndex, reading, dates, out);
    });
}

void StoreMetaStockRecords(std::span<const PERIODE> bars, const MetaStockLayout& layout,
                           CPackedDateWriter& dates, std::uint8_t* records) {
    WithRecordLayout(layout, [&]<int Fields, bool Time>() {
        StoreRecords<Fields, Time>(bars, dates, records);
        return true;
    });
}

} // namespace mvr
