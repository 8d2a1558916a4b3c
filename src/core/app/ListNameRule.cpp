#include "core/app/ListNameRule.h"

#include "core/config/UserInteraction.h"
#include "core/platform/TextUtil.h"

#include <algorithm>

namespace mvr {

std::optional<std::string> AcceptListName(std::string_view text,
                                          const std::vector<CMVRDirListInfo>& lists,
                                          CUserInteraction& interaction) {
    if (text.empty()) {
        return std::nullopt;
    }
    const bool taken = std::any_of(lists.begin(), lists.end(), [&](const CMVRDirListInfo& list) {
        return StartsWithIgnoreCase(list.name, text);
    });
    if (taken) {
        interaction.ShowMessage(kListExistsMessage, MessageIcon::None);
        return std::nullopt;
    }
    return Truncated(text, CMVRDirListInfo::kNameSize - 1);
}

} // namespace mvr
