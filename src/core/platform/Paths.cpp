#include "core/platform/Paths.h"

#include "core/platform/TextUtil.h"

namespace mvr {

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::size_t LastSeparator(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1])) {
            return i - 1;
        }
    }
    return std::string_view::npos;
}

} // namespace

bool EndsWithSeparator(std::string_view path) {
    return !path.empty() && IsSeparator(path.back());
}

std::string WithTrailingSeparator(std::string_view path) {
    std::string out(path);
    if (!EndsWithSeparator(out)) {
        out.push_back(kPathSeparator);
    }
    return out;
}

std::string WithoutTrailingSeparator(std::string_view path) {
    if (EndsWithSeparator(path)) {
        path.remove_suffix(1);
    }
    return std::string(path);
}

std::string JoinPath(std::string_view directory, std::string_view name) {
    if (directory.empty()) {
        return std::string(name);
    }
    return WithTrailingSeparator(directory) + std::string(name);
}

std::string ParentFolder(std::string_view filePath) {
    const std::size_t pos = LastSeparator(filePath);
    if (pos == std::string_view::npos) {
        return ".";
    }
    if (pos == 0) {
        return std::string(1, kPathSeparator);
    }
#ifdef _WIN32
    // "C:" alone names the current folder of drive C, not its root.
    if (pos == 2 && filePath[1] == ':') {
        return std::string(filePath.substr(0, 3));
    }
#endif
    return std::string(filePath.substr(0, pos));
}

std::string FileNamePart(std::string_view filePath) {
    const std::size_t pos = LastSeparator(filePath);
    return std::string(pos == std::string_view::npos ? filePath : filePath.substr(pos + 1));
}

// On Windows "C:/Kurse/" and "C:\\Kurse\\" name one folder.
bool PathsEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i]) && !(IsSeparator(a[i]) && IsSeparator(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace mvr
