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

bool CUserInteraction::RunNetworkWork(const std::string&,
                                      const std::function<void(const RunFlag&)>& work) {
    networkRun_.store(1);
    work(networkRun_);
    return networkRun_.load() != 0;
}

} // namespace mvr
