#pragma once

// The two workers of the symbol search: the text search (request 121) and
// the listing of a catalogue's contents (request 11). One of them runs at a
// time, on a thread of its own; a new search or listing while its worker
// runs makes the worker drop the answer it is reading and start over with
// the new criteria. The dialog shows what the worker reports through a sink.
// Nothing a worker meets ends more than its own pass.

#include "core/net/InstrumentRecord.h"
#include "core/net/IOException.h"
#include "core/net/RunFlag.h"
#include "core/net/SymbolSearchRequest.h"
#include "core/net/WinSection.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace mvr {

inline constexpr const char* kSearchThreadName = "SearchPage Fill";
inline constexpr const char* kContentsThreadName = "SearchPage FillInhalt";

inline constexpr const char* kSearchingText = "Searching for securities...";
inline constexpr const char* kCatalogueLoadingText = "Catalog is being loaded...";
inline constexpr const char* kCatalogueTextPrefix = "Catalog ";

// "<text> 1 security" or "<text> <n> securities".
std::string ResultCountText(const std::string& text, std::size_t count);

// What the workers report. Calls arrive on the worker's thread; they must not
// wait for the thread that starts or stops the workers (a view queues them).
// A call that throws ends the worker's pass like a lost connection.
class CSymbolSearchSink {
public:
    virtual ~CSymbolSearchSink() = default;

    virtual void SetStatusText(const std::string& text) = 0;
    // A worker runs (the busy icon).
    virtual void SetBusy(bool busy) = 0;
    // An answer is being read into the list (the list's wait cursor).
    virtual void SetListBusy(bool busy) = 0;
    // The rows of the result list in arrival order; empty clears the list.
    virtual void SetResults(std::vector<WATCH> results) = 0;
};

class CSymbolSearch {
public:
    explicit CSymbolSearch(CSymbolSearchSink& sink);
    // Stops and waits for the worker.
    ~CSymbolSearch();
    CSymbolSearch(const CSymbolSearch&) = delete;
    CSymbolSearch& operator=(const CSymbolSearch&) = delete;

    // Ignored while a catalogue listing runs. Otherwise the criteria become
    // the ones to search with, and a search worker starts unless one runs.
    void StartSearch(const SearchCriteria& criteria);
    // Ignored for catalogue 0 and while a search runs. Otherwise the
    // catalogue becomes the one to list, and a contents worker starts unless
    // one runs.
    void StartContents(std::int16_t number, const std::string& name);

    // Clears the run flag and waits until the worker has ended; afterwards
    // nothing starts again. Must not be called from a sink callback.
    void Stop();

    bool IsSearchRunning() const;
    bool IsContentsRunning() const;
    bool IsRunning() const;
    // Waits until no worker runs (its last report made); false when the
    // time-out passed first.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) const;

    // The run flag of every request of the workers.
    const RunFlag& Run() const { return run_; }

private:
    enum class Worker { None, Search, Contents };

    void Launch(Worker worker);
    bool TakeSearchCriteria(SearchCriteria& criteria);
    bool TakeCatalogue(std::int16_t& number, std::string& name);
    // False (and the worker goes on) when new work arrived while it ended.
    bool FinishWorker();
    bool RestartRequested() const { return restart_.load() != 0; }

    void AbandonPass(bool listBusy) noexcept;
    void ClearBusy() noexcept;
    void RunSearchWorker();
    void SearchLoop();
    void RunContentsWorker();
    void ContentsLoop();

    CSymbolSearchSink& sink_;
    RunFlag run_{1};
    std::atomic<std::int32_t> restart_{1};
    // Guards the criteria, the catalogue and which worker runs.
    mutable CWinSection textLock_;
    SearchCriteria criteria_;
    std::int16_t catalogueNumber_ = 0;
    std::string catalogueName_;
    Worker active_ = Worker::None;
    mutable std::condition_variable_any idle_;
    std::thread thread_;
};

} // namespace mvr
