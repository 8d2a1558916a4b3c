#include "core/legacy/LegacyFormats.h"

#include "core/platform/ByteStream.h"

#include <algorithm>

namespace mvr {

namespace {

constexpr std::size_t kHeaderWordOffset = 290;
constexpr std::size_t kWordSize = 4;

// After the format type: a word, four single bytes, a word.
constexpr std::size_t kUnusedAfterFormatType = 3 * kWordSize;
// After a directory path: two words.
constexpr std::size_t kUnusedAfterPath = 2 * kWordSize;
// After the texts of a symbol record: a byte and three words.
constexpr std::size_t kUnusedSymbolTail = 1 + 3 * kWordSize;

static_assert(kKvloFormatsOffset == kHeaderWordOffset + 2 * kWordSize);

// No count is trusted: records are read one at a time and nothing is reserved
// for them, so a count beyond the file fails at the first missing record,
// having taken memory only for the records that are there.
class CFormatsReader {
public:
    explicit CFormatsReader(std::span<const std::uint8_t> file) : in_(file) {}

    bool ReadAll(std::vector<Cqdx_kvlo_format_info>* formats) {
        std::uint32_t count = 0;
        if (!in_.Skip(kHeaderWordOffset + kWordSize) || !in_.ReadLE32(&count)) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            Cqdx_kvlo_format_info format;
            if (!ReadFormat(&format)) {
                return false;
            }
            formats->push_back(std::move(format));
        }
        return true;
    }

private:
    bool ReadFormat(Cqdx_kvlo_format_info* format) {
        std::uint8_t type = 0;
        if (!ReadText(kKvloShortNameSize, &format->shortName) ||
            !ReadText(kKvloNameSize, &format->name) || !in_.ReadU8(&type) ||
            !in_.Skip(kUnusedAfterFormatType) || !ReadLists(&format->lists) ||
            !in_.Skip(kWordSize) || !ReadDirectories(&format->directories)) {
            return false;
        }
        format->formatType = type;
        return true;
    }

    bool ReadLists(std::vector<Cprev_kvlo_list_info>* lists) {
        std::uint32_t count = 0;
        if (!in_.ReadLE32(&count)) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            Cprev_kvlo_list_info list;
            if (!ReadText(kKvloNameSize, &list.name) || !in_.Skip(kWordSize) ||
                !ReadDirectories(&list.directories)) {
                return false;
            }
            lists->push_back(std::move(list));
        }
        return true;
    }

    bool ReadDirectories(std::vector<Cqdx_kvlo_directory_info>* directories) {
        std::uint32_t count = 0;
        if (!in_.ReadLE32(&count)) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            Cqdx_kvlo_directory_info directory;
            if (!ReadText(kKvloPathSize, &directory.path) || !in_.Skip(kUnusedAfterPath) ||
                !PassSymbols()) {
                return false;
            }
            directories->push_back(std::move(directory));
        }
        return true;
    }

    // The symbol records are checked like every other record but not kept.
    bool PassSymbols() {
        std::uint32_t count = 0;
        if (!in_.ReadLE32(&count)) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!ReadText(kKvloSymbolSize, &scratch_) ||
                !ReadText(kKvloSymbolNameSize, &scratch_) || !in_.Skip(kUnusedSymbolTail)) {
                return false;
            }
        }
        return true;
    }

    // A text is what precedes the first zero of its L bytes. It must leave
    // room for the terminator in its field, as the predecessor's own fields
    // did; a longer one marks the file as damaged. A length of 0 is an empty text.
    bool ReadText(std::size_t fieldSize, std::string* text) {
        std::uint32_t length = 0;
        if (!in_.ReadLE32(&length) || length > fieldSize) {
            return false;
        }
        const auto bytes = in_.Take(length);
        if (bytes.size() != length) {
            return false;
        }
        const auto chars =
            static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin());
        if (chars >= fieldSize) {
            return false;
        }
        text->assign(reinterpret_cast<const char*>(bytes.data()), chars);
        return true;
    }

    CByteReader in_;
    std::string scratch_;
};

} // namespace

bool ReadFormats(std::span<const std::uint8_t> file, std::vector<Cqdx_kvlo_format_info>* formats) {
    std::vector<Cqdx_kvlo_format_info> read;
    if (!CFormatsReader(file).ReadAll(&read)) {
        return false;
    }
    *formats = std::move(read);
    return true;
}

} // namespace mvr
