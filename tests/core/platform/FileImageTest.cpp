#include "core/platform/FileImage.h"

#include "core/platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <thread>

namespace mvr {
namespace {

using test::TempDir;
using test::WriteBytes;

ByteBuffer Content(const CFileImage& image) {
    return ByteBuffer(image.begin(), image.end());
}

// Storage is kept per thread: each case runs on a thread of its own so that it
// starts without a kept block, whatever ran before.
template <typename Body>
void OnFreshThread(Body body) {
    std::thread thread(body);
    thread.join();
}

TEST(FileImageTest, ReadFileImageGivesContentOrNothing) {
    TempDir dir;
    WriteBytes(dir.File("a"), {1, 2, 3});
    WriteBytes(dir.File("empty"), {});
    const auto image = ReadFileImage(dir.File("a"));
    ASSERT_TRUE(image);
    EXPECT_EQ(Content(*image), (ByteBuffer{1, 2, 3}));
    const std::span<const std::uint8_t> bytes = *image;
    EXPECT_EQ(bytes.size(), 3u);
    EXPECT_EQ(bytes.data(), image->data());

    EXPECT_FALSE(ReadFileImage(dir.File("missing")));
    EXPECT_FALSE(ReadFileImage(dir.File("a"), 2));
    EXPECT_TRUE(ReadFileImage(dir.File("a"), 3));
    const auto empty = ReadFileImage(dir.File("empty"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(FileImageTest, OnlyRegularFilesAreRead) {
    TempDir dir;
    EXPECT_FALSE(ReadFileImage(dir.Path()));
    EXPECT_FALSE(ReadWholeFile(dir.Path()));
}

// A reader that left bytes unwritten would show the previous file's bytes in
// reused storage; files of equal size and different content reveal that.
TEST(FileImageTest, ReusedStorageHoldsOnlyTheNewFile) {
    TempDir dir;
    WriteBytes(dir.File("a"), ByteBuffer(70000, 0xAA));
    WriteBytes(dir.File("b"), ByteBuffer(70000, 0x55));
    ByteBuffer shorter(1000);
    for (std::size_t i = 0; i < shorter.size(); ++i) {
        shorter[i] = static_cast<std::uint8_t>(i * 7);
    }
    WriteBytes(dir.File("c"), shorter);
    OnFreshThread([&] {
        const std::uint8_t* storage = nullptr;
        {
            const auto a = ReadFileImage(dir.File("a"));
            ASSERT_TRUE(a);
            storage = a->data();
        }
        const auto b = ReadFileImage(dir.File("b"));
        ASSERT_TRUE(b);
        EXPECT_EQ(b->data(), storage);
        EXPECT_EQ(Content(*b), ByteBuffer(70000, 0x55));
    });
    OnFreshThread([&] {
        { ReadFileImage(dir.File("a")); }
        const auto c = ReadFileImage(dir.File("c"));
        ASSERT_TRUE(c);
        EXPECT_EQ(Content(*c), shorter);
    });
}

TEST(FileImageTest, ReleasedStorageServesTheNextImageOfTheThread) {
    if (!kFileImagesReuseStorage) {
        GTEST_SKIP() << "this build keeps no storage for the next image";
    }
    OnFreshThread([] {
        const std::uint8_t* first = nullptr;
        std::size_t capacity = 0;
        {
            CFileImage image = CFileImage::WithUnwrittenBytes(100000);
            EXPECT_EQ(image.size(), 100000u);
            EXPECT_GE(image.Capacity(), 100000u);
            first = image.data();
            capacity = image.Capacity();
        }
        // Sizes up to the kept block reuse it ...
        CFileImage again = CFileImage::WithUnwrittenBytes(capacity);
        EXPECT_EQ(again.data(), first);
        // ... while it is out, another image gets storage of its own.
        CFileImage other = CFileImage::WithUnwrittenBytes(10);
        EXPECT_NE(other.data(), first);
        EXPECT_GE(other.Capacity(), 10u);
    });
}

TEST(FileImageTest, TheLargerBlockIsKept) {
    if (!kFileImagesReuseStorage) {
        GTEST_SKIP() << "this build keeps no storage for the next image";
    }
    OnFreshThread([] {
        CFileImage small = CFileImage::WithUnwrittenBytes(10);
        CFileImage large = CFileImage::WithUnwrittenBytes(300000);
        const std::uint8_t* largeStorage = large.data();
        large = CFileImage();
        small = CFileImage();
        EXPECT_EQ(CFileImage::WithUnwrittenBytes(300000).data(), largeStorage);
    });
}

TEST(FileImageTest, HugeImagesGiveTheirStorageBack) {
    OnFreshThread([] {
        const std::size_t huge = std::size_t{5} << 20;
        {
            CFileImage image = CFileImage::WithUnwrittenBytes(huge);
            EXPECT_EQ(image.Capacity(), huge);
        }
        // Nothing was kept: a small image gets a block of its own size class.
        EXPECT_LT(CFileImage::WithUnwrittenBytes(10).Capacity(), huge);
    });
}

TEST(FileImageTest, MovingHandsTheBytesOver) {
    OnFreshThread([] {
        CFileImage image = CFileImage::WithUnwrittenBytes(4);
        std::uint8_t* storage = image.data();
        storage[0] = 9;
        CFileImage moved(std::move(image));
        EXPECT_TRUE(image.empty());
        EXPECT_EQ(image.data(), nullptr);
        EXPECT_EQ(moved.data(), storage);
        EXPECT_EQ(moved.size(), 4u);
        EXPECT_EQ(moved.data()[0], 9);

        CFileImage target = CFileImage::WithUnwrittenBytes(8);
        target = std::move(moved);
        EXPECT_EQ(target.data(), storage);
        EXPECT_EQ(target.size(), 4u);
        EXPECT_TRUE(moved.empty());
    });
}

TEST(FileImageTest, AnEmptyImageHoldsNoStorage) {
    const CFileImage image = CFileImage::WithUnwrittenBytes(0);
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(image.begin(), image.end());
    EXPECT_TRUE(std::span<const std::uint8_t>(image).empty());
}

} // namespace
} // namespace mvr
