#pragma once

// Server work of a command on a worker thread: the calling (UI) thread keeps
// its event loop running and shows a small dialog with the work's text and
// Cancel once the work takes longer than a moment. Cancel clears the work's
// run flag; the requests give up within a second and the call returns.

#include "core/net/RunFlag.h"

#include <functional>
#include <string>

class QWidget;

namespace mvr::gui {

inline constexpr const char* kNetworkWorkThreadName = "MVR Server Work";

// False when the user cancelled. What the work throws is thrown here again.
// `onCancel` runs on the UI thread when the user cancels, for work that
// stops through a flag of its own besides the one it is given.
bool RunNetworkWorkOnWorker(QWidget* owner, const std::string& what,
                            const std::function<void(const RunFlag&)>& work,
                            const std::function<void()>& onCancel = {});

} // namespace mvr::gui
