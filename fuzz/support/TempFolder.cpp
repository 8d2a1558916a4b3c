#include "TempFolder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace mvr::fuzz {

namespace {

std::filesystem::path MakeFolder() {
    // Several fuzzers (and jobs of one) run at once: a random name each.
    std::random_device device;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("mvr-fuzz-" + std::to_string(device()) + "-" + std::to_string(stamp));
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "cannot create %s\n", folder.string().c_str());
        std::abort();
    }
    return folder;
}

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(ProcessTempFolder(), ignored);
}

} // namespace

const std::string& ProcessTempFolder() {
    // Never destroyed: the removal at exit still needs the name.
    static const std::string* folder = [] {
        const auto* made = new std::string(MakeFolder().string());
        std::atexit(RemoveFolder);
        return made;
    }();
    return *folder;
}

void EmptyProcessTempFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(ProcessTempFolder(), ignored)) {
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

} // namespace mvr::fuzz
