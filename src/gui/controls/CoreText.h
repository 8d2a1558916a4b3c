#pragma once

// Texts cross between the core and Qt here. The core keeps texts and paths in
// the platform's ANSI code page (UTF-8 on Linux), which is what Qt calls the
// local 8-bit encoding on every platform.

#include <QString>
#include <string>
#include <string_view>

namespace mvr::gui {

inline QString QtText(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string CoreText(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

// A path the user chose, in native separators. A Windows path whose names the
// code page cannot hold is given in its short form, which names the same
// folder without loss.
std::string CorePath(const QString& path);

} // namespace mvr::gui
