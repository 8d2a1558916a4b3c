#include "core/app/CommandLine.h"

#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"

#include <algorithm>

namespace mvr {

namespace {

struct BatchSwitch {
    const char* name;
    SwitchSelection selection;
    std::int32_t mode;
    bool realtime;
};

constexpr BatchSwitch kBatchSwitches[] = {
    {kUpdateAllSwitch, SwitchSelection::All, kUpdateModeFull, false},
    {"-updateallrt", SwitchSelection::All, kUpdateModeFull, true},
    {"-dirupdate", SwitchSelection::Directory, kUpdateModeFull, false},
    {"-dirupdatert", SwitchSelection::Directory, kUpdateModeFull, true},
    {"-listupdate", SwitchSelection::List, kUpdateModeList, false},
    {"-listupdatert", SwitchSelection::List, kUpdateModeList, true},
};

std::string WithoutQuotes(std::string_view text) {
    std::string out;
    std::copy_if(text.begin(), text.end(), std::back_inserter(out),
                 [](char c) { return c != '"'; });
    return out;
}

void AddOnce(std::vector<std::int32_t>& indices, std::int32_t index) {
    if (std::find(indices.begin(), indices.end(), index) == indices.end()) {
        indices.push_back(index);
    }
}

std::vector<std::int32_t> SelectDirectories(SwitchSelection selection, const std::string& value,
                                            const std::vector<MVRKrsExportInfo>& directories,
                                            const std::vector<CMVRDirListInfo>& lists) {
    std::vector<std::int32_t> indices;
    const auto count = static_cast<std::int32_t>(directories.size());
    switch (selection) {
    case SwitchSelection::All:
        for (std::int32_t i = 0; i < count; ++i) {
            indices.push_back(i);
        }
        break;
    case SwitchSelection::Directory: {
        const std::string path = WithTrailingSeparator(value);
        for (std::int32_t i = 0; i < count; ++i) {
            if (PathsEqual(directories[static_cast<std::size_t>(i)].path, path)) {
                indices.push_back(i);
            }
        }
        break;
    }
    case SwitchSelection::List:
        // Several lists may carry the name (an imported list beside one of the
        // system's); a directory in more than one of them is updated once.
        for (const CMVRDirListInfo& list : lists) {
            if (!EqualsIgnoreCase(list.name, value)) {
                continue;
            }
            for (std::int32_t i = 0; i < count; ++i) {
                if (list.ContainsPath(directories[static_cast<std::size_t>(i)].path)) {
                    AddOnce(indices, i);
                }
            }
        }
        break;
    }
    return indices;
}

const BatchSwitch* FindBatchSwitch(std::string_view firstArgument) {
    const std::string name = ToLowerAscii(firstArgument);
    const auto found =
        std::find_if(std::begin(kBatchSwitches), std::end(kBatchSwitches),
                     [&](const BatchSwitch& candidate) { return name == candidate.name; });
    return found == std::end(kBatchSwitches) ? nullptr : found;
}

} // namespace

StartupArguments AnalyseArguments(const std::vector<std::string>& arguments) {
    auto first = arguments.begin();
    while (first != arguments.end() && *first == "-nowindow") {
        ++first;
    }
    const std::vector<std::string> rest(first, arguments.end());
    StartupArguments result;
    if (rest.size() == 4 && rest[0] == "-definitionfile") {
        result.kind = RunKind::DefinitionFile;
        result.definitionInput = rest[1];
        result.definitionOutput = rest[3];
        return result;
    }
    if (!rest.empty()) {
        result.firstArgument = rest[0];
    }
    if (rest.size() > 1) {
        result.secondArgument = rest[1];
    }
    return result;
}

bool IsBatchSwitch(std::string_view firstArgument) {
    return FindBatchSwitch(firstArgument) != nullptr;
}

std::optional<BatchSwitchKind> BatchSwitchKindOf(std::string_view firstArgument) {
    const BatchSwitch* found = FindBatchSwitch(firstArgument);
    if (found == nullptr) {
        return std::nullopt;
    }
    return BatchSwitchKind{found->selection, found->realtime};
}

const char* BatchSwitchFor(const BatchSwitchKind& kind) {
    const auto found = std::find_if(
        std::begin(kBatchSwitches), std::end(kBatchSwitches), [&](const BatchSwitch& candidate) {
            return candidate.selection == kind.selection && candidate.realtime == kind.realtime;
        });
    return found->name; // every selection has both forms
}

bool BatchSwitchTakesValue(std::string_view firstArgument) {
    const auto kind = BatchSwitchKindOf(firstArgument);
    return kind && kind->selection != SwitchSelection::All;
}

BatchSelection SelectBatchDirectories(std::string_view firstArgument,
                                      std::string_view secondArgument,
                                      const std::vector<MVRKrsExportInfo>& directories,
                                      const std::vector<CMVRDirListInfo>& lists) {
    BatchSelection result;
    const BatchSwitch* found = FindBatchSwitch(firstArgument);
    if (found == nullptr) {
        return result;
    }
    result.switchRecognised = true;
    result.mode = found->mode;
    result.realtime = found->realtime;
    result.directories =
        SelectDirectories(found->selection, WithoutQuotes(secondArgument), directories, lists);
    return result;
}

} // namespace mvr
