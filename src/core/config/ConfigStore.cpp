#include "core/config/ConfigStore.h"

#include "core/platform/AtomicFile.h"
#include "core/platform/ByteStream.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/FileSystem.h"
#include "core/platform/IniFile.h"
#include "core/platform/Paths.h"

namespace mvr {

namespace {

constexpr const char* kIniSection = "MVRKrsExp";
constexpr std::size_t kServerNameBuffer = 200;

// Configuration files are small; anything much larger is not one of ours.
constexpr std::uint64_t kMaxConfigBytes = 64u << 20;

std::optional<ByteBuffer> ReadConfigFile(const std::string& path) {
    return ReadWholeFile(path, kMaxConfigBytes);
}

} // namespace

std::vector<std::uint8_t> EncodeDirectories(const std::vector<MVRKrsExportInfo>& directories) {
    std::vector<std::uint8_t> bytes(directories.size() * MVRKrsExportInfo::kSize);
    for (std::size_t i = 0; i < directories.size(); ++i) {
        directories[i].Serialize(std::span<std::uint8_t, MVRKrsExportInfo::kSize>(
            bytes.data() + i * MVRKrsExportInfo::kSize, MVRKrsExportInfo::kSize));
    }
    return bytes;
}

// A trailing partial record is dropped: it cannot be a directory.
std::vector<MVRKrsExportInfo> DecodeDirectories(std::span<const std::uint8_t> file,
                                                bool olderUserLayout) {
    std::vector<MVRKrsExportInfo> directories;
    for (std::size_t offset = 0; offset + MVRKrsExportInfo::kSize <= file.size();
         offset += MVRKrsExportInfo::kSize) {
        MVRKrsExportInfo info =
            MVRKrsExportInfo::Deserialize(std::span<const std::uint8_t, MVRKrsExportInfo::kSize>(
                file.data() + offset, MVRKrsExportInfo::kSize));
        if (olderUserLayout) {
            info.interval = MVRKrsExportInfo::kDefaultInterval;
        }
        directories.push_back(std::move(info));
    }
    return directories;
}

std::vector<std::uint8_t> EncodeLists(const std::vector<CMVRDirListInfo>& lists) {
    if (lists.empty()) {
        return {};
    }
    CByteWriter out;
    out.AppendLEInt32(static_cast<std::int32_t>(lists.size()));
    for (const CMVRDirListInfo& list : lists) {
        list.Serialize(out);
    }
    return out.Release();
}

// The count is never trusted beyond the records that are really there.
std::vector<CMVRDirListInfo> DecodeLists(std::span<const std::uint8_t> file) {
    std::vector<CMVRDirListInfo> lists;
    CByteReader in(file);
    std::int32_t count = 0;
    if (!in.ReadLEInt32(&count)) {
        return lists;
    }
    CMVRDirListInfo list;
    for (std::int32_t i = 0; i < count && CMVRDirListInfo::Deserialize(in, &list); ++i) {
        lists.push_back(std::move(list));
    }
    return lists;
}

std::optional<CConfigStore> CConfigStore::OpenDefault() {
    auto folder = ConfigurationFolder();
    if (!folder) {
        return std::nullopt;
    }
    return CConfigStore(*folder);
}

std::string CConfigStore::PathOf(const char* fileName) const {
    return JoinPath(folder_, fileName);
}

ConfigData CConfigStore::Load() const {
    ConfigData data;
    const CIniFile ini = CIniFile::Load(PathOf(kIniFileName));
    data.endpoint.name =
        ini.GetString(kIniSection, "ServerName", PrimaryServerHost(), kServerNameBuffer);
    data.endpoint.port = ini.GetInt(kIniSection, "ServerPort", kDefaultServerPort);

    if (auto user = ReadConfigFile(PathOf(kUserFileName))) {
        data.user = ExportUserInfo::Deserialize(*user, &data.sortStateRead);
    }
    if (auto directories = ReadConfigFile(PathOf(kDirectoryFileName))) {
        data.directories = DecodeDirectories(*directories, data.user.IsOlderLayout());
    }
    if (auto lists = ReadConfigFile(PathOf(kListFileName))) {
        data.lists = DecodeLists(*lists);
    }
    if (auto window = ReadConfigFile(PathOf(kWindowFileName))) {
        data.windowLayout = WindowLayout::Deserialize(*window);
    }
    return data;
}

bool CConfigStore::Store(const ConfigData& data) const {
    // Every file is readable by its owner only: the user file holds the password.
    const auto write = [this](const char* name, const std::vector<std::uint8_t>& bytes) {
        return WriteFileAtomically(PathOf(name), bytes, NewFileAccess::OwnerOnly);
    };
    ExportUserInfo user = data.user;
    user.version = ExportUserInfo::kCurrentVersion;
    user.size = static_cast<std::int32_t>(ExportUserInfo::kSize);

    bool all = write(kDirectoryFileName, EncodeDirectories(data.directories));
    all = write(kListFileName, EncodeLists(data.lists)) && all;
    all = write(kUserFileName, user.Serialize()) && all;
    all = write(kWindowFileName, data.windowLayout.Serialize()) && all;
    return all;
}

} // namespace mvr
