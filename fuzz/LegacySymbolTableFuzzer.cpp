// "kvlo.sdb" of a predecessor installation: any bytes are read or refused, and
// every symbol of a table that was read is found again by halving.

#include "core/legacy/LegacySymbolTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    mvr::CLegacySymbolTable table;
    if (!mvr::ReadSymbolTable({data, size}, &table)) {
        return 0;
    }
    for (const mvr::CLegacySymbolRecord& record : table.Records()) {
        const mvr::CLegacySymbolRecord* found = table.LookupSymbol(record.symbol);
        if (found == nullptr || found->symbol != record.symbol) {
            std::abort();
        }
    }
    return 0;
}
