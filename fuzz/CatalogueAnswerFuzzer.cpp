// The client's readers of the catalogue answers on any bytes a server may
// send: the catalogue model (3) with its tree, group and catalogue sections,
// and the contents of one catalogue (11) as instrument records. The first
// byte picks the request, the rest is the answer stream from the go-ahead on.

#include "support/LoopbackPeer.h"
#include "support/RecordChecks.h"

#include "core/net/CatalogueRequests.h"
#include "core/net/IOException.h"
#include "core/net/ProcessState.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace {

using mvr::fuzz::Require;
using mvr::fuzz::RequireFits;

void FuzzCatalogues(std::span<const std::uint8_t> answer) {
    // The tables are process-wide and kept once complete: each run starts
    // without them, as a fresh client does.
    mvr::ResetProcessStateForTesting();
    const mvr::RunFlag run{1};
    bool loaded = false;
    mvr::fuzz::ServeOneConnection(answer, [&] { loaded = mvr::LoadCatalogues(run); });
    mvr::CCatalogueTables& tables = mvr::ProcessCatalogueTables();
    Require(loaded == tables.IsComplete());
    for (const mvr::GRUPPENSTRUKTUR& entry : tables.TreeSnapshot()) {
        mvr::KATALOGGROUP group;
        if (tables.LookupGroup(entry.id, group)) {
            Require(group.id == entry.id);
            RequireFits(group.name, mvr::kGroupNameSize);
        }
        mvr::SYMBOL catalogue;
        if (tables.LookupCatalogue(entry.id, catalogue)) {
            RequireFits(catalogue.symbol, mvr::kCatalogueShortNameSize);
            RequireFits(catalogue.name, mvr::kCatalogueNameSize);
        }
    }
}

void FuzzCatalogueContents(std::span<const std::uint8_t> answer) {
    const mvr::RunFlag run{1};
    std::vector<mvr::WATCH> records;
    mvr::fuzz::ServeOneConnection(answer, [&] {
        try {
            mvr::LoadCatalogueContents(1, 7, run, records);
        } catch (const mvr::CIOException&) {
        }
    });
    for (const mvr::WATCH& record : records) {
        mvr::fuzz::CheckRecord(record);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::span<const std::uint8_t> answer(data + 1, size - 1);
    if (data[0] % 2 == 0) {
        FuzzCatalogues(answer);
    } else {
        FuzzCatalogueContents(answer);
    }
    return 0;
}
