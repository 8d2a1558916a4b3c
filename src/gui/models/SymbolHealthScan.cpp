#include "gui/models/SymbolHealthScan.h"

#include "core/editing/ExpSymbolListModel.h"
#include "core/formats/ExportDirectory.h"
#include "core/health/SymbolHealth.h"

#include <QMetaObject>
#include <vector>

namespace mvr::gui {

CSymbolHealthScan::CSymbolHealthScan(CExpSymbolListModel& list, QObject* parent)
    : QObject(parent), list_(list) {}

CSymbolHealthScan::~CSymbolHealthScan() {
    Stop();
}

void CSymbolHealthScan::Refresh() {
    const CExportDirectory* directory = list_.Directory();
    if (directory == nullptr || list_.Generation() == checkedGeneration_) {
        return;
    }
    Stop();
    checkedGeneration_ = list_.Generation();
    running_ = std::make_shared<std::atomic<bool>>(true);
    // The worker keeps copies: the window may change the directory meanwhile.
    // This object outlives the worker (Stop joins it); a result delivered
    // after a newer directory was shown is dropped by the list.
    worker_ = std::thread([this, running = running_, generation = checkedGeneration_,
                           path = directory->Path(), formatType = directory->FormatType(),
                           symbols = directory->Symbols()] {
        std::vector<SymbolHealth> health =
            CheckDirectoryHealth(path, symbols, formatType, {}, *running);
        if (!running->load()) {
            return;
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, health = std::move(health)]() mutable {
                list_.SetHealth(generation, std::move(health));
                emit Checked();
            },
            Qt::QueuedConnection);
    });
}

void CSymbolHealthScan::WaitForCheck() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void CSymbolHealthScan::Stop() {
    // The worker stops before its next file: the wait is one file's read.
    if (running_) {
        running_->store(false);
    }
    WaitForCheck();
}

} // namespace mvr::gui
