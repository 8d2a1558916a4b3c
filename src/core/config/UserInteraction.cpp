#include "core/config/UserInteraction.h"

namespace mvr {

bool CUserInteraction::EditSymbolData(CSymbolDataEditor&) {
    return false;
}

bool CUserInteraction::CopyOrMoveSymbols(CCopyMoveSymbols&) {
    return false;
}

bool CUserInteraction::FindInstrument(CFindInstrumentInDirectories&) {
    return false;
}

bool CUserInteraction::RunUpdateJob(CUpdateJob&) {
    return false;
}

} // namespace mvr
