#pragma once

// The program's own artwork, compiled in: the window icon, one icon per
// button of the main window and the cursor over the window's divider. The
// icons are vector drawings, rendered at whatever size and pixel density a
// widget asks for.

#include "core/app/MainWindowTexts.h"

#include <QCursor>
#include <QIcon>

namespace mvr::gui {

// Registers the compiled-in artwork with Qt's resource system. The artwork
// lives in a static library, whose resources nothing registers on its own;
// the functions below call this themselves, and calling it again is harmless.
void InitArtwork();

QIcon ApplicationIcon();

// The mark of stored prices the health check found faults in.
QIcon PriceFindingIcon();

// Null for a value that is not a button of the main window.
QIcon ButtonIcon(MainWindowButton button);

// A bar with arrows to both sides, its hot spot in the middle. Rendered for
// the densest screen, so a QGuiApplication must exist.
QCursor SplitterCursor();

} // namespace mvr::gui
