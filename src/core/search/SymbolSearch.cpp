#include "core/search/SymbolSearch.h"

#include "core/net/CatalogueRequests.h"
#include "core/net/IOException.h"
#include "core/net/ProcessState.h"
#include "core/net/ServerRequest.h"
#include "core/platform/ThreadName.h"

namespace mvr {

std::string ResultCountText(const std::string& text, std::size_t count) {
    return text + " " + std::to_string(count) + (count == 1 ? " security" : " securities");
}

CSymbolSearch::CSymbolSearch(CSymbolSearchSink& sink) : sink_(sink) {}

CSymbolSearch::~CSymbolSearch() {
    Stop();
}

void CSymbolSearch::StartSearch(const SearchCriteria& criteria) {
    CSectionLock lock(textLock_);
    if (active_ == Worker::Contents) {
        return;
    }
    criteria_ = criteria;
    restart_.store(1);
    if (run_.load() != 0 && active_ == Worker::None) {
        Launch(Worker::Search);
    }
}

void CSymbolSearch::StartContents(std::int16_t number, const std::string& name) {
    CSectionLock lock(textLock_);
    if (number == 0 || active_ == Worker::Search) {
        return;
    }
    catalogueNumber_ = number;
    catalogueName_ = name;
    restart_.store(1);
    if (run_.load() != 0 && active_ == Worker::None) {
        Launch(Worker::Contents);
    }
}

// Called under the text lock. A worker that ran before has marked itself
// ended under the same lock and does nothing more, so joining it here is
// immediate.
void CSymbolSearch::Launch(Worker worker) {
    if (thread_.joinable()) {
        thread_.join();
    }
    active_ = worker;
    if (worker == Worker::Search) {
        thread_ = std::thread([this] { RunSearchWorker(); });
    } else {
        thread_ = std::thread([this] { RunContentsWorker(); });
    }
}

void CSymbolSearch::Stop() {
    {
        CSectionLock lock(textLock_);
        run_.store(0);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool CSymbolSearch::IsSearchRunning() const {
    CSectionLock lock(textLock_);
    return active_ == Worker::Search;
}

bool CSymbolSearch::IsContentsRunning() const {
    CSectionLock lock(textLock_);
    return active_ == Worker::Contents;
}

bool CSymbolSearch::IsRunning() const {
    CSectionLock lock(textLock_);
    return active_ != Worker::None;
}

bool CSymbolSearch::WaitUntilIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock<CWinSection> lock(textLock_);
    return idle_.wait_for(lock, timeout, [this] { return active_ == Worker::None; });
}

bool CSymbolSearch::TakeSearchCriteria(SearchCriteria& criteria) {
    CSectionLock lock(textLock_);
    if (run_.load() == 0 || restart_.load() == 0) {
        return false;
    }
    restart_.store(0);
    criteria = criteria_;
    return true;
}

bool CSymbolSearch::TakeCatalogue(std::int16_t& number, std::string& name) {
    CSectionLock lock(textLock_);
    if (run_.load() == 0 || restart_.load() == 0) {
        return false;
    }
    restart_.store(0);
    number = catalogueNumber_;
    name = catalogueName_;
    return true;
}

// The decision to end is taken under the lock that StartSearch and
// StartContents hold, so new work is either picked up here or starts a new
// worker; it is never lost between the last look at the restart flag and
// the end of the thread.
bool CSymbolSearch::FinishWorker() {
    CSectionLock lock(textLock_);
    if (run_.load() != 0 && restart_.load() != 0) {
        return false;
    }
    active_ = Worker::None;
    idle_.notify_all();
    return true;
}

// Whatever a pass throws — a lost connection, an answer too large for
// memory, a failing sink — costs the user that answer, so the status line
// shows the one text for a lost answer. The criteria in hand are dropped
// with it, or a failure that repeats would keep the worker going round;
// criteria given after this still start over. Even the report may fail: the
// worker must still mark itself ended, or no search could start again.
void CSymbolSearch::AbandonPass(bool listBusy) noexcept {
    restart_.store(0);
    try {
        sink_.SetStatusText(kConnectionErrorText);
        if (listBusy) {
            sink_.SetListBusy(false);
        }
    } catch (...) {
    }
}

void CSymbolSearch::ClearBusy() noexcept {
    try {
        sink_.SetBusy(false);
    } catch (...) {
    }
}

void CSymbolSearch::RunSearchWorker() {
    SetCurrentThreadName(kSearchThreadName);
    do {
        try {
            sink_.SetStatusText(kSearchingText);
            sink_.SetBusy(true);
            SearchLoop();
        } catch (...) {
            AbandonPass(true);
        }
        ClearBusy();
    } while (!FinishWorker());
}

void CSymbolSearch::SearchLoop() {
    SearchCriteria criteria;
    while (TakeSearchCriteria(criteria)) {
        std::vector<WATCH> results;
        std::string text;
        SearchInstruments(
            criteria, run_, results, text,
            [this] {
                sink_.SetResults({});
                sink_.SetListBusy(true);
            },
            [this] { return RestartRequested(); });
        sink_.SetStatusText(ResultCountText(text, results.size()));
        sink_.SetResults(std::move(results));
        sink_.SetListBusy(false);
    }
}

void CSymbolSearch::RunContentsWorker() {
    SetCurrentThreadName(kContentsThreadName);
    do {
        try {
            sink_.SetStatusText(kCatalogueLoadingText);
            sink_.SetBusy(true);
            sink_.SetResults({});
            ContentsLoop();
        } catch (...) {
            AbandonPass(false);
        }
        ClearBusy();
    } while (!FinishWorker());
}

void CSymbolSearch::ContentsLoop() {
    std::int16_t number = 0;
    std::string name;
    while (TakeCatalogue(number, name)) {
        std::vector<WATCH> results;
        const bool ok = LoadCatalogueContents(number, LoginNumber(), run_, results,
                                              [this] { return RestartRequested(); });
        if (run_.load() != 0 && !ok) {
            sink_.SetStatusText(kDatabaseErrorText);
            sink_.SetResults({});
            continue;
        }
        sink_.SetStatusText(ResultCountText(kCatalogueTextPrefix + name + ":", results.size()));
        sink_.SetResults(std::move(results));
    }
}

} // namespace mvr
