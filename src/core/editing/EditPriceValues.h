#pragma once

// The values of the dialog that corrects one price record: the five fields as
// the user sees them, and what is stored when the user confirms them. The
// stored values are read back from the texts, so a price is stored as the
// 6-digit field showed it (12.3456789 becomes 12.3457).

#include "core/formats/Periode.h"

#include <array>
#include <cstddef>
#include <string>

namespace mvr {

class CEditPriceValues {
public:
    // The fields from left to right.
    enum Field : std::size_t { kOpen, kHigh, kLow, kClose, kVolume, kFieldCount };
    using FieldTexts = std::array<std::string, kFieldCount>;

    struct Check {
        bool accepted = false;
        Field field = kOpen; // the field that was refused; it gets the focus
        std::string message; // the framework's message for it
    };

    explicit CEditPriceValues(const PERIODE& record);

    // "dd/mm/yyyy" of the record's day; the time of day is not shown.
    std::string DateText() const;
    // The texts the fields show on opening.
    const FieldTexts& Texts() const { return texts_; }

    // OK with the texts the fields hold now. The first field, from left to
    // right, that holds no number (no whole number for the volume) refuses
    // them, and the record stays as it was. Otherwise the five values replace
    // those of the record; its day, time, source position and new mark stay.
    Check Accept(const FieldTexts& texts);

    const PERIODE& Record() const { return record_; }

private:
    PERIODE record_;
    FieldTexts texts_;
};

} // namespace mvr
