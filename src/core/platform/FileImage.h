#pragma once

// The bytes of a whole file in memory, as the decoders of index and price
// files take them (a contiguous range of bytes, so it converts to a span).
//
// Two costs of a plain byte vector are avoided on the way: the storage is not
// cleared before the read overwrites it, and the storage of an image that goes
// away is kept for the next image of the same thread. Reading thousands of
// price files in a row then allocates once instead of per file, and the
// allocator does not hand the pages back to the system between two files only
// to fault them in again, which costs more than the read itself.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace mvr {

// mingw-w64 runs the destructors of thread_local objects through the key
// destructors of its threads library, which crash at the exit of a thread
// when linked statically: that build keeps no storage for the next image.
#ifdef __MINGW32__
inline constexpr bool kFileImagesReuseStorage = false;
#else
inline constexpr bool kFileImagesReuseStorage = true;
#endif

class CFileImage {
public:
    CFileImage() = default;
    CFileImage(CFileImage&& other) noexcept;
    CFileImage& operator=(CFileImage&& other) noexcept;
    CFileImage(const CFileImage&) = delete;
    CFileImage& operator=(const CFileImage&) = delete;
    ~CFileImage();

    // An image of `size` bytes whose content is unspecified: the caller
    // writes every byte through data() before anyone reads it.
    static CFileImage WithUnwrittenBytes(std::size_t size);

    std::uint8_t* data() { return storage_.get(); }
    const std::uint8_t* data() const { return storage_.get(); }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Non-const iterators too, or a mutable image would not be a contiguous
    // range (its data() and begin() must agree) and not convert to a span.
    std::uint8_t* begin() { return data(); }
    std::uint8_t* end() { return data() + size_; }
    const std::uint8_t* begin() const { return data(); }
    const std::uint8_t* end() const { return data() + size_; }

    // Bytes held, at least size(); storage is handed on in whole blocks.
    std::size_t Capacity() const { return capacity_; }

private:
    CFileImage(std::unique_ptr<std::uint8_t[]> storage, std::size_t capacity, std::size_t size);
    void Release();

    std::unique_ptr<std::uint8_t[]> storage_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

} // namespace mvr
