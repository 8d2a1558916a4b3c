#include "core/config/DirListInfo.h"

#include "core/platform/ByteStream.h"
#include "core/platform/Paths.h"

#include <algorithm>

namespace mvr {

bool CMVRDirListInfo::ContainsPath(std::string_view path) const {
    return std::any_of(paths.begin(), paths.end(),
                       [&](const std::string& p) { return PathsEqual(p, path); });
}

bool CMVRDirListInfo::AddPath(std::string_view path) {
    if (ContainsPath(path)) {
        return false;
    }
    paths.emplace_back(path);
    return true;
}

bool CMVRDirListInfo::RemovePath(std::string_view path) {
    const auto it = std::find_if(paths.begin(), paths.end(),
                                 [&](const std::string& p) { return PathsEqual(p, path); });
    if (it == paths.end()) {
        return false;
    }
    paths.erase(it);
    return true;
}

void CMVRDirListInfo::Serialize(CByteWriter& out) const {
    out.AppendFixedText(kNameSize, name);
    out.AppendLEInt32(kind);
    out.AppendLEInt32(static_cast<std::int32_t>(paths.size()));
    for (const std::string& path : paths) {
        out.AppendFixedText(kPathSize, path);
    }
}

bool CMVRDirListInfo::Deserialize(CByteReader& in, CMVRDirListInfo* list) {
    *list = CMVRDirListInfo{};
    if (!in.ReadFixedText(kNameSize, &list->name)) {
        return false;
    }
    std::int32_t count = 0;
    if (!in.ReadLEInt32(&list->kind) || !in.ReadLEInt32(&count)) {
        return true;
    }
    // The count is never trusted beyond the paths that are really there.
    std::string path;
    for (std::int32_t i = 0; i < count && in.ReadFixedText(kPathSize, &path); ++i) {
        list->paths.push_back(path);
    }
    return true;
}

} // namespace mvr
