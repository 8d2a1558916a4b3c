#include "core/app/ClientInfoCheck.h"

#include "core/net/ProcessState.h"
#include "core/net/UserRequests.h"

#include <thread>

namespace mvr {

namespace {

// Sleeps in short steps so that a stop during the pause takes effect at once.
bool PauseWhileRunning(std::chrono::milliseconds pause, const RunFlag& run) {
    constexpr std::chrono::milliseconds kStep{10};
    for (auto left = pause; left.count() > 0 && run.load() != 0; left -= kStep) {
        std::this_thread::sleep_for(std::min(left, kStep));
    }
    return run.load() != 0;
}

} // namespace

bool CClientInfoCheck::Start(Done done) {
    return worker_.Start(kClientInfoThreadName,
                         [pause = pause_, done = std::move(done)](const RunFlag& run) {
                             if (!PauseWhileRunning(pause, run)) {
                                 return;
                             }
                             CWinSocket socket;
                             ClientInfo info = CurrentClientInfo();
                             const int result = GetClientInfo(socket, info, run);
                             if (run.load() == 0) {
                                 return;
                             }
                             if (result > 0) {
                                 StoreClientInfo(info);
                             }
                             done(result, info);
                         });
}

} // namespace mvr
