#include "core/editing/EditPriceValues.h"

#include "core/editing/NumberText.h"
#include "core/editing/PriceRowTexts.h"

#include <optional>

namespace mvr {

CEditPriceValues::CEditPriceValues(const PERIODE& record) : record_(record) {
    texts_[kOpen] = FloatFieldText(record.open);
    texts_[kHigh] = FloatFieldText(record.high);
    texts_[kLow] = FloatFieldText(record.low);
    texts_[kClose] = FloatFieldText(record.close);
    texts_[kVolume] = std::to_string(record.volume);
}

std::string CEditPriceValues::DateText() const {
    return SlashedDateText(record_.dayNumber);
}

CEditPriceValues::Check CEditPriceValues::Accept(const FieldTexts& texts) {
    std::array<float, kVolume> prices{};
    for (std::size_t field = kOpen; field < kVolume; ++field) {
        const std::optional<float> value = ParseFloatField(texts[field]);
        if (!value) {
            return {false, static_cast<Field>(field), kNotANumberMessage};
        }
        prices[field] = *value;
    }
    const std::optional<std::int32_t> volume = ParseWholeNumberField(texts[kVolume]);
    if (!volume) {
        return {false, kVolume, kNotAWholeNumberMessage};
    }
    record_.open = prices[kOpen];
    record_.high = prices[kHigh];
    record_.low = prices[kLow];
    record_.close = prices[kClose];
    record_.volume = *volume;
    texts_ = texts;
    return {true, kOpen, {}};
}

} // namespace mvr
