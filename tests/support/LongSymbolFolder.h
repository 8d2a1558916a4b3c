#pragma once

// A MetaStock folder as other programs write it for exchanges whose symbols
// are longer than 8 characters: MASTER/EMASTER symbols of up to 14 and
// XMASTER symbols of up to 15 characters, two pairs of which share their
// first 8. Each series holds one bar whose close is its file number, so that a
// reader shows whose bars it took.

#include <string>
#include <vector>

namespace mvr::test {

struct LongSymbolSeries {
    std::string symbol;
    std::string name;
    int fileNumber;
};

// MASTER order, then XMASTER order.
const std::vector<LongSymbolSeries>& LongSymbolFolderSeries();

// Writes the index files and the data files into the existing folder `path`.
void WriteLongSymbolFolder(const std::string& path);

} // namespace mvr::test
