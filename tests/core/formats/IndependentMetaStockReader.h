#pragma once

// A MetaStock reader for the tests that shares no code with the system's
// formats: it lists a folder (MASTER and its data files) in the listing
// format of tests/data/metastock/expected, so that folders the system writes
// can be checked the way folders of other programs are.

#include <string>

namespace mvr::test {

std::string IndependentMetaStockListing(const std::string& folder);

} // namespace mvr::test
