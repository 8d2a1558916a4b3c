#pragma once

// The rule of the "Add List" dialog for the name of a new list of directories.

#include "core/config/DirListInfo.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mvr {

class CUserInteraction;

inline constexpr const char* kListExistsMessage = "A list with the name already exist!";

// The name to take (at most 259 characters), or nothing when the dialog stays
// open: for an empty text silently, and with a message when an existing
// list's name begins with the text (letter case ignored), so that with a list
// "Stocks Europe" the name "Stocks" is refused.
std::optional<std::string> AcceptListName(std::string_view text,
                                          const std::vector<CMVRDirListInfo>& lists,
                                          CUserInteraction& interaction);

} // namespace mvr
