#include "server/DataFolderLayout.h"

#include "core/platform/Paths.h"

namespace mvr {

std::string BarFileName(BarKind kind, std::int32_t sinCode) {
    std::string name(kind == BarKind::Daily ? kDailyFolder : kIntradayFolder);
    return name + '/' + std::to_string(sinCode) + ".csv";
}

std::string DataFilePath(const std::string& folder, std::string_view relativeName) {
    std::string path = WithTrailingSeparator(folder);
    for (char c : relativeName) {
        path += c == '/' ? kPathSeparator : c;
    }
    return path;
}

} // namespace mvr
