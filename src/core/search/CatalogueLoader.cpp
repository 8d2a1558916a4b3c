#include "core/search/CatalogueLoader.h"

#include "core/net/CatalogueRequests.h"

namespace mvr {

bool CCatalogueLoader::Start(Done done) {
    return worker_.Start(kCatalogueLoaderThreadName, [done = std::move(done)](const RunFlag& run) {
        // Whether the download succeeded is not asked: the
        // tree shows what the tables hold.
        LoadCatalogues(run);
        if (run.load() != 0) {
            done(BuildCatalogueDisplayTree());
        }
    });
}

} // namespace mvr
