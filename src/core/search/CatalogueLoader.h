#pragma once

// The catalogue loader of the symbol search and the catalogue picker: the
// catalogue model downloaded once per process on a worker thread "SearchPage
// FillKataloge", then the tree as a view shows it. A second opening finds
// the model in memory and makes no request.

#include "core/net/RequestWorker.h"
#include "core/search/CatalogueDisplayTree.h"

#include <functional>
#include <vector>

namespace mvr {

inline constexpr const char* kCatalogueLoaderThreadName = "SearchPage FillKataloge";

class CCatalogueLoader {
public:
    // Called on the worker thread with the tree to show (empty when the
    // download failed); a view queues it into its own thread.
    using Done = std::function<void(std::vector<CatalogueTreeItem> tree)>;

    // False while the loader runs.
    bool Start(Done done);
    // A stopped loader reports nothing; the model stays incomplete and the
    // next opening downloads it again.
    void Stop() { worker_.Stop(); }
    void Wait() { worker_.Wait(); }
    bool IsRunning() const { return worker_.IsRunning(); }

private:
    CRequestWorker worker_;
};

} // namespace mvr
