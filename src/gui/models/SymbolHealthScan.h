#pragma once

// Checks the stored prices of the symbol list's directory on a thread of its
// own, so that a directory of thousands of files never holds up the window,
// and hands the results to the list on the window's thread. A new directory
// stops the check of the one before.

#include <atomic>
#include <cstdint>
#include <memory>
#include <QObject>
#include <thread>

namespace mvr {
class CExpSymbolListModel;
}

namespace mvr::gui {

class CSymbolHealthScan : public QObject {
    Q_OBJECT

public:
    explicit CSymbolHealthScan(CExpSymbolListModel& list, QObject* parent = nullptr);
    ~CSymbolHealthScan() override;

    // Starts a check when the list shows a directory it has not checked yet.
    void Refresh();
    // Waits for a running check; for the tests.
    void WaitForCheck();

signals:
    // The list took over the results of a check.
    void Checked();

private:
    void Stop();

    CExpSymbolListModel& list_;
    std::uint64_t checkedGeneration_ = 0;
    std::shared_ptr<std::atomic<bool>> running_;
    std::thread worker_;
};

} // namespace mvr::gui
