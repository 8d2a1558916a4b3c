#include "core/platform/FileSystem.h"

#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

#include <climits>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace mvr {

namespace fs = std::filesystem;

std::optional<ByteBuffer> ReadWholeFile(const std::string& path, std::uint64_t maxBytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::optional<ByteBuffer> result;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size >= 0 && static_cast<std::uint64_t>(size) <= maxBytes &&
            std::fseek(file, 0, SEEK_SET) == 0) {
            ByteBuffer bytes(static_cast<std::size_t>(size));
            if (bytes.empty() || std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size()) {
                result = std::move(bytes);
            }
        }
    }
    std::fclose(file);
    return result;
}

std::optional<ByteBuffer> ReadFileRange(const std::string& path, std::uint64_t offset,
                                        std::size_t count) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::optional<ByteBuffer> result;
    if (offset <= static_cast<std::uint64_t>(LONG_MAX) &&
        std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0) {
        ByteBuffer bytes(count);
        const std::size_t got = count == 0 ? 0 : std::fread(bytes.data(), 1, count, file);
        if (got == count || std::feof(file)) {
            bytes.resize(got);
            result = std::move(bytes);
        }
    }
    std::fclose(file);
    return result;
}

std::optional<std::uint64_t> FileSizeOf(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    return size;
}

bool EntryExists(const std::string& path) {
    if (path.empty() || EndsWithSeparator(path)) {
        return false;
    }
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec)) && !ec;
}

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool CreateFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    return IsDirectory(path);
}

bool RemoveFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(path, ec) && !ec;
}

std::vector<std::string> ListFileNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError)) {
            names.push_back(it->path().filename().string());
        }
    }
    return names;
}

std::optional<std::string> FindFileIgnoringCase(const std::string& folder, std::string_view name) {
    const std::string exact = JoinPath(folder, name);
    if (IsRegularFile(exact)) {
        return exact;
    }
    for (const std::string& candidate : ListFileNames(folder)) {
        if (EqualsIgnoreCase(candidate, name)) {
            return JoinPath(folder, candidate);
        }
    }
    return std::nullopt;
}

std::string ResolveFileName(const std::string& folder, std::string_view name) {
    if (auto existing = FindFileIgnoringCase(folder, name)) {
        return *existing;
    }
    return JoinPath(folder, name);
}

} // namespace mvr
