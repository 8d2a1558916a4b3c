#pragma once

// A named list of export directories. It refers to its directories by path
// text; a directory belongs to the list when one of the paths equals the
// directory's path without regard to letter case.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CByteReader;
class CByteWriter;

struct CMVRDirListInfo {
    static constexpr std::int32_t kSystemKind = 50;
    static constexpr std::size_t kNameSize = 260;
    static constexpr std::size_t kPathSize = 260;

    std::string name;
    std::vector<std::string> paths;
    std::int32_t kind = kSystemKind; // set from the predecessor's list by the legacy import

    bool ContainsPath(std::string_view path) const;
    // Appends the path unless the list holds it already; true when it was appended.
    bool AddPath(std::string_view path);
    // Deletes the first path equal to `path`; true when one was deleted.
    bool RemovePath(std::string_view path);

    // On disk: name (260), kind (4), path count m (4), m paths of 260 bytes.
    void Serialize(CByteWriter& out) const;
    // Reads one record. A record cut short keeps the fields that are complete;
    // false when not even the name was there (no list is then made).
    static bool Deserialize(CByteReader& in, CMVRDirListInfo* list);

    bool operator==(const CMVRDirListInfo&) const = default;
};

} // namespace mvr
