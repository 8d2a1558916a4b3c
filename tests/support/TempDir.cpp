#include "support/TempDir.h"

#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace mvr::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (;;) {
        const fs::path candidate =
            base / ("mvr-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = WithTrailingSeparator(candidate.string());
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::string& value)
    : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) {
        hadValue_ = true;
        oldValue_ = old;
    }
#ifdef _WIN32
    _putenv_s(name_.c_str(), value.c_str());
#else
    setenv(name_.c_str(), value.c_str(), 1);
#endif
}

ScopedEnvironment::~ScopedEnvironment() {
#ifdef _WIN32
    _putenv_s(name_.c_str(), hadValue_ ? oldValue_.c_str() : "");
#else
    if (hadValue_) {
        setenv(name_.c_str(), oldValue_.c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
#endif
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::map<std::string, std::vector<std::uint8_t>> FolderContents(const std::string& folder) {
    std::map<std::string, std::vector<std::uint8_t>> contents;
    for (const std::string& name : ListFileNames(folder)) {
        contents[name] = ReadWholeFile(JoinPath(folder, name)).value_or(ByteBuffer{});
    }
    return contents;
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

} // namespace mvr::test
