#include "core/health/HealthFinding.h"

namespace mvr {

std::string_view HealthFindingWord(HealthFindingKind kind) {
    switch (kind) {
    case HealthFindingKind::OutOfOrder:
        return "out-of-order";
    case HealthFindingKind::Duplicate:
        return "duplicate";
    case HealthFindingKind::HighBelow:
        return "high-below";
    case HealthFindingKind::LowAbove:
        return "low-above";
    case HealthFindingKind::NonPositivePrice:
        return "non-positive-price";
    case HealthFindingKind::NegativeVolume:
        return "negative-volume";
    case HealthFindingKind::Gap:
        return "gap";
    case HealthFindingKind::Jump:
        return "jump";
    }
    return "unknown";
}

} // namespace mvr
