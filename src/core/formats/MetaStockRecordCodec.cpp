#include "core/formats/MetaStockRecordDecoder.h"

#include "core/formats/Mbf.h"
#include "core/platform/Bytes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
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
    // CorrectBar's steps; min and max take their first operand exactly when
    // CorrectBar's comparison holds.
    high = _mm_max_ps(close, high);
    low = _mm_min_ps(close, low);
    low = _mm_min_ps(open, low);
    open = _mm_min_ps(high, open);

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

template <bool Time>
bool DecodeRecordsWithTime(std::span<const std::uint8_t> records, int fieldCount, std::size_t count,
                           std::int32_t firstIndex, BarReading reading, CPackedDateReader& dates,
                           PERIODE* out) {
    switch (fieldCount) {
    case 5:
        if constexpr (!Time) {
            return DecodeRecords<5, false>(records, count, firstIndex, reading, dates, out);
        }
        return false;
    case 6:
        return DecodeRecords<6, Time>(records, count, firstIndex, reading, dates, out);
    case 7:
        return DecodeRecords<7, Time>(records, count, firstIndex, reading, dates, out);
    case 8:
        return DecodeRecords<8, Time>(records, count, firstIndex, reading, dates, out);
    default:
        return false;
    }
}

} // namespace

bool DecodeMetaStockRecords(std::span<const std::uint8_t> records, const MetaStockLayout& layout,
                            std::size_t count, std::int32_t firstIndex, BarReading reading,
                            CPackedDateReader& dates, PERIODE* out) {
    return layout.hasTime ? DecodeRecordsWithTime<true>(records, layout.fieldCount, count,
                                                        firstIndex, reading, dates, out)
                          : DecodeRecordsWithTime<false>(records, layout.fieldCount, count,
                                                         firstIndex, reading, dates, out);
}

} // namespace mvr
