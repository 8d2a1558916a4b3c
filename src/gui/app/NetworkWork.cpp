#include "gui/app/NetworkWork.h"

#include "core/platform/ThreadName.h"
#include "gui/controls/CoreText.h"

#include <atomic>
#include <exception>
#include <QEventLoop>
#include <QProgressDialog>
#include <thread>

namespace mvr::gui {

namespace {

// Work that ends this quickly shows no dialog at all.
constexpr int kBusyDialogDelayMs = 400;

} // namespace

bool RunNetworkWorkOnWorker(QWidget* owner, const std::string& what,
                            const std::function<void(const RunFlag&)>& work,
                            const std::function<void()>& onCancel) {
    RunFlag run{1};
    std::exception_ptr failure;
    QEventLoop loop;
    QProgressDialog busy(QtText(what), QStringLiteral("Cancel"), 0, 0, owner);
    busy.setWindowModality(Qt::WindowModal);
    busy.setMinimumDuration(kBusyDialogDelayMs);
    busy.setAutoClose(false);
    busy.setAutoReset(false);
    // Starts the delay: without a first value the dialog keeps Qt's own 4 s.
    busy.setValue(0);
    QObject::connect(&busy, &QProgressDialog::canceled, [&run, &onCancel] {
        run.store(0);
        if (onCancel) {
            onCancel();
        }
    });

    std::thread worker([&] {
        SetCurrentThreadName(kNetworkWorkThreadName);
        try {
            work(run);
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    busy.cancel();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return run.load() != 0;
}

} // namespace mvr::gui
