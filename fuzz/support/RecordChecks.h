#pragma once

// What every decoded instrument record must satisfy whatever the server
// sent: each text fits the buffer its field has on the wire. A text longer
// than that means the reader ran past its field.

#include "core/net/InstrumentRecord.h"

#include <cstdlib>
#include <string>

namespace mvr::fuzz {

inline void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

inline void RequireFits(const std::string& text, std::size_t bufferSize) {
    Require(text.size() < bufferSize);
}

inline void CheckRecord(const WATCH& record) {
    RequireFits(record.symbol, watch::kSymbolSize);
    RequireFits(record.item6, watch::kItem6Size);
    RequireFits(record.isin, watch::kIsinSize);
    RequireFits(record.item8, watch::kItem8Size);
    RequireFits(record.item9, watch::kItem9Size);
    RequireFits(record.name, watch::kNameSize);
    RequireFits(record.currency, watch::kCurrencySize);
    RequireFits(record.item33, watch::kItem33Size);
}

} // namespace mvr::fuzz
