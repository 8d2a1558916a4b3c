// "master.kvl" of a predecessor ASCII directory: any bytes give entries or
// none, and each entry becomes a symbol record with valid dates or none.

#include "core/legacy/MasterFile.h"
#include "core/platform/OleDate.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The header names the type; take it from there so that entries are reached.
    const int formatType = size > 30 ? data[30] : 5;
    for (const mvr::qdxMasterAsciiEntry& entry : mvr::DecodeMasterFile({data, size}, formatType)) {
        const mvr::ExportSymbolInfo info = mvr::ToExportSymbolInfo(entry);
        mvr::SystemTime time;
        if (info.symbol.size() > mvr::ExportSymbolInfo::kMaxSymbolChars ||
            (info.firstDate != 0.0 && !mvr::VariantTimeToSystemTime(info.firstDate, &time)) ||
            (info.lastDate != 0.0 && !mvr::VariantTimeToSystemTime(info.lastDate, &time))) {
            std::abort();
        }
    }
    return 0;
}
