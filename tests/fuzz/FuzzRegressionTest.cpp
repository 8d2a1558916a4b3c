// Every reproducer a fuzz target ever produced, run through that target's
// own entry point: a decoder fault that comes back aborts or crashes its
// test (and is caught in full by a build with MVR_SANITIZE).

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#define MVR_FUZZ_TARGET(name) extern "C" int MvrFuzzOne_##name(const std::uint8_t*, std::size_t);
#include "FuzzTargetTable.inc"
#undef MVR_FUZZ_TARGET

namespace {

namespace fs = std::filesystem;

struct FuzzTarget {
    const char* name;
    int (*run)(const std::uint8_t*, std::size_t);
};

constexpr FuzzTarget kTargets[] = {
#define MVR_FUZZ_TARGET(name) {#name, MvrFuzzOne_##name},
#include "FuzzTargetTable.inc"
#undef MVR_FUZZ_TARGET
};

const FuzzTarget* FindTarget(const std::string& name) {
    const auto found = std::find_if(std::begin(kTargets), std::end(kTargets),
                                    [&](const FuzzTarget& target) { return target.name == name; });
    return found == std::end(kTargets) ? nullptr : found;
}

struct Reproducer {
    std::string target;
    fs::path file;
};

// What the test's output shows for a reproducer: its file.
void PrintTo(const Reproducer& reproducer, std::ostream* out) {
    *out << reproducer.file.string();
}

std::vector<Reproducer> Reproducers() {
    std::vector<Reproducer> found;
    std::error_code error;
    for (const auto& folder : fs::directory_iterator(MVR_FUZZ_REGRESSIONS_DIR, error)) {
        if (!folder.is_directory()) {
            continue;
        }
        for (const auto& file : fs::directory_iterator(folder.path())) {
            if (file.is_regular_file()) {
                found.push_back({folder.path().filename().string(), file.path()});
            }
        }
    }
    std::sort(found.begin(), found.end(),
              [](const Reproducer& a, const Reproducer& b) { return a.file < b.file; });
    return found;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FuzzRegression : public testing::TestWithParam<Reproducer> {};

TEST_P(FuzzRegression, DecodesWithoutFault) {
    const Reproducer& reproducer = GetParam();
    const FuzzTarget* target = FindTarget(reproducer.target);
    ASSERT_NE(target, nullptr) << "fuzz/regressions/" << reproducer.target
                               << " names no fuzz target";
    // A buffer of exactly the input's size, as libFuzzer hands it over, so
    // that a sanitizer sees any read beyond it.
    const std::vector<std::uint8_t> bytes = ReadBytes(reproducer.file);
    const auto input = std::make_unique<std::uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), input.get());
    EXPECT_EQ(target->run(input.get(), bytes.size()), 0);
}

std::string TestName(const testing::TestParamInfo<Reproducer>& info) {
    std::string name = info.param.target + "_" + info.param.file.filename().string();
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Reproducers, FuzzRegression, testing::ValuesIn(Reproducers()), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(FuzzRegression);

} // namespace
