// MASTER, EMASTER and XMASTER of a MetaStock directory as any program may
// have left them. The first byte says which of EMASTER and XMASTER exist
// (and whether XMASTER could not be read); the rest holds the three files
// cut at the part separator. Whatever was decoded must be writable again:
// the directory saves its index from exactly this list.

#include "support/FuzzInput.h"
#include "support/RecordChecks.h"

#include "core/formats/MetaStockIndex.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using mvr::fuzz::Require;
    if (size == 0) {
        return 0;
    }
    const auto parts = mvr::fuzz::SplitParts({data + 1, size - 1}, 3);
    mvr::MetaStockIndexBytes files;
    files.master = parts[0];
    if ((data[0] & 1) != 0 && parts.size() > 1) {
        files.emaster = parts[1];
    }
    if ((data[0] & 2) != 0 && parts.size() > 2) {
        files.xmaster = parts[2];
    }
    files.xmasterUnreadable = (data[0] & 4) != 0;
    std::string problem;
    auto content = mvr::DecodeMetaStockIndex(files, &problem);
    if (!content) {
        Require(!problem.empty());
        return 0;
    }
    Require(!files.xmasterUnreadable || !content->complete);
    // One symbol per complete record: MASTER's, then those of an XMASTER
    // that was taken.
    std::size_t masterSymbols = 0;
    std::size_t xmasterSymbols = 0;
    for (const mvr::ExportSymbolInfo& symbol : content->symbols) {
        Require(symbol.inXmaster == 0 || symbol.inXmaster == 1);
        (symbol.inXmaster != 0 ? xmasterSymbols : masterSymbols) += 1;
    }
    Require(masterSymbols == files.master.size() / mvr::kMasterRecordSize - 1);
    if (files.xmaster && files.xmaster->size() >= mvr::kXmasterRecordSize && content->complete) {
        Require(xmasterSymbols == files.xmaster->size() / mvr::kXmasterRecordSize - 1);
    } else {
        Require(xmasterSymbols == 0);
    }
    mvr::MetaStockIndexHeaders headers;
    mvr::EncodeMetaStockIndex(content->symbols, headers);
    return 0;
}
