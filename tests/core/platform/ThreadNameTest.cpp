#include "core/platform/ThreadName.h"

#include <gtest/gtest.h>
#include <thread>

namespace mvr {
namespace {

TEST(ThreadNameTest, NamesTheCallingThreadOnly) {
    std::string inside;
    std::thread worker([&] {
        SetCurrentThreadName("SearchPage Fill");
        inside = CurrentThreadName();
    });
    worker.join();
    EXPECT_EQ(inside, "SearchPage Fill");
    EXPECT_NE(CurrentThreadName(), "SearchPage Fill");
}

#if defined(__linux__)
TEST(ThreadNameTest, LongNamesAreCutToWhatLinuxKeeps) {
    std::string inside;
    std::thread worker([&] {
        SetCurrentThreadName("SearchPage FillInhalt");
        inside = CurrentThreadName();
    });
    worker.join();
    EXPECT_EQ(inside, "SearchPage Fill");
}
#endif

} // namespace
} // namespace mvr
