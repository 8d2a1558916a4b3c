// The files of the configuration folder as a damaged disk, an older version
// or another program may have left them; the first byte picks the file:
// "MVRExpUsr.cfg", "MVRExpDir.cfg" (of either user layout), "MVRLstDir.cfg",
// "MVRExpWnd.cfg" or "MVRKrsExp.ini". What a record file gives is written
// back by the store, so what was read must be written and read again to the
// same bytes; the ".ini" goes through the store's own load.

#include "support/RecordChecks.h"
#include "support/TempFolder.h"

#include "core/config/ConfigStore.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <vector>

namespace {

using mvr::fuzz::Require;

// The store hands the server name to a buffer of this many bytes.
constexpr std::size_t kServerNameBuffer = 200;

void FuzzUserFile(std::span<const std::uint8_t> file) {
    bool sortStateRead = false;
    const mvr::ExportUserInfo user = mvr::ExportUserInfo::Deserialize(file, &sortStateRead);
    // A password whose scrambled form holds a zero byte cannot be stored
    // unchanged; the account dialog refuses such passwords.
    if (!mvr::IsStorablePassword(user.password)) {
        return;
    }
    const std::vector<std::uint8_t> written = user.Serialize();
    bool again = false;
    Require(mvr::ExportUserInfo::Deserialize(written, &again).Serialize() == written);
}

void FuzzDirectoryFile(std::span<const std::uint8_t> file, bool olderUserLayout) {
    const auto directories = mvr::DecodeDirectories(file, olderUserLayout);
    Require(directories.size() == file.size() / mvr::MVRKrsExportInfo::kSize);
    const std::vector<std::uint8_t> written = mvr::EncodeDirectories(directories);
    Require(mvr::EncodeDirectories(mvr::DecodeDirectories(written, false)) == written);
}

void FuzzListFile(std::span<const std::uint8_t> file) {
    const auto lists = mvr::DecodeLists(file);
    const std::vector<std::uint8_t> written = mvr::EncodeLists(lists);
    Require(mvr::EncodeLists(mvr::DecodeLists(written)) == written);
}

void FuzzWindowFile(std::span<const std::uint8_t> file) {
    const std::vector<std::uint8_t> written = mvr::WindowLayout::Deserialize(file).Serialize();
    Require(mvr::WindowLayout::Deserialize(written).Serialize() == written);
}

void FuzzIniFile(std::span<const std::uint8_t> file) {
    const mvr::CConfigStore store(mvr::fuzz::ProcessTempFolder());
    {
        std::ofstream out(store.PathOf(mvr::kIniFileName), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()),
                  static_cast<std::streamsize>(file.size()));
        Require(static_cast<bool>(out));
    }
    const mvr::ConfigData data = store.Load();
    Require(data.endpoint.name.size() < kServerNameBuffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::span<const std::uint8_t> file(data + 1, size - 1);
    switch (data[0] % 6) {
    case 0:
        FuzzUserFile(file);
        break;
    case 1:
        FuzzDirectoryFile(file, false);
        break;
    case 2:
        FuzzDirectoryFile(file, true);
        break;
    case 3:
        FuzzListFile(file);
        break;
    case 4:
        FuzzWindowFile(file);
        break;
    default:
        FuzzIniFile(file);
        break;
    }
    return 0;
}
