#include "gui/controls/CoreText.h"

#include "core/platform/NativePath.h"

#include <filesystem>
#include <QDir>

namespace mvr::gui {

std::string CorePath(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
#ifdef _WIN32
    if (auto system = SystemPath(std::filesystem::path(native.toStdWString()))) {
        return *system;
    }
#endif
    return CoreText(native);
}

} // namespace mvr::gui
