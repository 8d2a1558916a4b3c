#include "core/platform/FileImage.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace mvr {

namespace {

// Storage up to this size is kept for the next image of its thread; it holds
// every MetaStock data file and index and the ASCII files of decades of daily
// bars. Larger images (rare) give their storage back.
constexpr std::size_t kMaxKeptBytes = std::size_t{4} << 20;

// Storage is allocated in powers of two from this size on, so that files of
// slowly growing sizes (one bar more after every update) keep reusing it.
constexpr std::size_t kMinBlockBytes = std::size_t{64} << 10;

std::size_t BlockSizeFor(std::size_t size) {
    return size > kMaxKeptBytes ? size : std::bit_ceil(std::max(size, kMinBlockBytes));
}

// Set once the thread's spare storage is destroyed at thread exit: an image
// released after that frees its storage instead of keeping it. A bool needs no
// destruction, so it can still be read then.
thread_local bool tSpareGone = false;

struct CSpareStorage {
    ~CSpareStorage() { tSpareGone = true; }

    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t capacity = 0;
};

thread_local CSpareStorage tSpare;

} // namespace

CFileImage::CFileImage(std::unique_ptr<std::uint8_t[]> storage, std::size_t capacity,
                       std::size_t size)
    : storage_(std::move(storage)), capacity_(capacity), size_(size) {}

CFileImage::CFileImage(CFileImage&& other) noexcept
    : storage_(std::move(other.storage_)), capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)) {}

CFileImage& CFileImage::operator=(CFileImage&& other) noexcept {
    if (this != &other) {
        Release();
        storage_ = std::move(other.storage_);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

CFileImage::~CFileImage() {
    Release();
}

CFileImage CFileImage::WithUnwrittenBytes(std::size_t size) {
    if (size == 0) {
        return CFileImage();
    }
    if (kFileImagesReuseStorage && !tSpareGone && tSpare.bytes && tSpare.capacity >= size) {
        const std::size_t capacity = std::exchange(tSpare.capacity, 0);
        return CFileImage(std::move(tSpare.bytes), capacity, size);
    }
    const std::size_t capacity = BlockSizeFor(size);
    return CFileImage(std::make_unique_for_overwrite<std::uint8_t[]>(capacity), capacity, size);
}

void CFileImage::Release() {
    // The larger of two blocks is the one worth keeping.
    if (kFileImagesReuseStorage && storage_ && !tSpareGone && capacity_ <= kMaxKeptBytes &&
        capacity_ > tSpare.capacity) {
        tSpare.bytes = std::move(storage_);
        tSpare.capacity = capacity_;
    }
    storage_.reset();
    capacity_ = 0;
    size_ = 0;
}

} // namespace mvr
