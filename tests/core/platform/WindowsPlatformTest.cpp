// The Windows side of the platform layer, run under Windows or wine: paths in
// the ANSI code page and folders whose names it cannot hold, atomic
// replacement that keeps a file's attributes, the local application-data
// folder and the predecessor's uninstall entry in the registry.

#include "core/legacy/LegacyInitialFolder.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/ConfigFolder.h"
#include "core/platform/FileSystem.h"
#include "core/platform/NativePath.h"
#include "core/platform/Paths.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace mvr {
namespace {

using test::TempDir;

const std::vector<std::uint8_t> kOld = {'o', 'l', 'd'};
const std::vector<std::uint8_t> kNew = {'n', 'e', 'w'};

std::wstring Wide(const std::string& ansi) {
    return NativePath(ansi).native();
}

// The test's folder in the wide form, with its separator.
std::wstring WideFolder(const TempDir& dir) {
    return Wide(dir.Path()) + L"\\";
}

bool WideFileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(WindowsPathTest, AnAnsiNameReachesTheFileOfTheSameWideName) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the test names a folder in the Western code page 1252, not " << GetACP();
    }
    TempDir dir;
    const std::string folder = dir.File("Kurse M\xFCller"); // u umlaut in code page 1252
    ASSERT_TRUE(CreateFolders(folder));
    ASSERT_TRUE(WriteFileAtomically(JoinPath(folder, "F1.DAT"), kNew));
    EXPECT_TRUE(WideFileExists(WideFolder(dir) + L"Kurse M\u00FCller\\F1.DAT"));
    EXPECT_EQ(ListFileNames(folder), std::vector<std::string>{"F1.DAT"});
    EXPECT_EQ(SystemPath(NativePath(folder)), folder);
}

TEST(WindowsPathTest, AFolderNameOutsideTheCodePageIsReachedThroughItsShortForm) {
    TempDir dir;
    // Greek capital omega and a check mark: no Western code page holds them.
    const std::wstring wideFolder = WideFolder(dir) + L"Kurse \u03A9 \u2713";
    ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
    ASSERT_FALSE(AnsiText(wideFolder).has_value());

    const std::optional<std::string> folder = SystemPath(std::filesystem::path(wideFolder));
    ASSERT_TRUE(folder.has_value()) << "no short form of the folder";
    ASSERT_TRUE(IsDirectory(*folder)) << *folder;
    ASSERT_TRUE(WriteFileAtomically(JoinPath(*folder, "MASTER"), kOld));
    ASSERT_TRUE(WriteFileAtomically(JoinPath(*folder, "MASTER"), kNew));
    EXPECT_TRUE(WideFileExists(wideFolder + L"\\MASTER"));
    EXPECT_EQ(ReadWholeFile(JoinPath(*folder, "MASTER")), kNew);
    EXPECT_EQ(ListFileNames(*folder), std::vector<std::string>{"MASTER"});
}

TEST(WindowsPathTest, AFileNameOutsideTheCodePageIsNotListedUnderAWrongName) {
    TempDir dir;
    const std::wstring wideFile = WideFolder(dir) + L"\u03A9.DAT";
    const HANDLE file = CreateFileW(wideFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    for (const std::string& name : ListFileNames(dir.Path())) {
        EXPECT_TRUE(IsRegularFile(dir.File(name))) << name;
    }
}

TEST(WindowsAtomicFileTest, ReplacementKeepsTheAttributesOfTheReplacedFile) {
    TempDir dir;
    const std::string path = dir.File("EMASTER");
    ASSERT_TRUE(WriteFileAtomically(path, kOld));
    ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteFileAtomically(path, kNew));
    EXPECT_EQ(ReadWholeFile(path), kNew);
    EXPECT_TRUE(GetFileAttributesW(Wide(path).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ListFileNames(dir.Path()).size(), 1u);
}

TEST(WindowsAtomicFileTest, AReadOnlyFileIsNotReplacedAndTheReasonIsKept) {
    TempDir dir;
    const std::string path = dir.File("F1.DAT");
    ASSERT_TRUE(WriteFileAtomically(path, kOld));
    ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY));
    ClearLastAtomicWriteError();
    EXPECT_FALSE(WriteFileAtomically(path, kNew));
    EXPECT_TRUE(LastAtomicWriteError());
    EXPECT_EQ(ReadWholeFile(path), kOld);
    EXPECT_EQ(ListFileNames(dir.Path()).size(), 1u) << "a temporary file was left behind";
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsConfigFolderTest, TheLocalApplicationDataFolderExistsAndEndsInABackslash) {
    const std::optional<std::string> folder = LocalAppDataFolder();
    ASSERT_TRUE(folder.has_value());
    EXPECT_TRUE(IsDirectory(*folder)) << *folder;
    EXPECT_EQ(folder->back(), '\\');
    EXPECT_EQ((*folder)[1], ':') << *folder;
}

// The predecessor's uninstall entry names its uninstaller; the import starts
// in the folder it lies in.
class UninstallEntry {
public:
    explicit UninstallEntry(const std::string& uninstallString) {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key_,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key_, "UninstallString", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(uninstallString.c_str()),
                           static_cast<DWORD>(uninstallString.size() + 1));
        }
    }
    ~UninstallEntry() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
        }
    }
    UninstallEntry(const UninstallEntry&) = delete;
    UninstallEntry& operator=(const UninstallEntry&) = delete;
    bool Written() const { return key_ != nullptr; }

private:
    static constexpr const char* kKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\qdx Kavolo";
    HKEY key_ = nullptr;
};

TEST(WindowsRegistryTest, TheInitialImportFolderIsTheUninstallersFolder) {
    TempDir dir;
    const std::string installation = dir.File("KVLO");
    ASSERT_TRUE(CreateFolders(installation));
    ASSERT_TRUE(WriteFileAtomically(JoinPath(installation, "UNWISE.EXE"), kOld));
    {
        const UninstallEntry entry(JoinPath(installation, "UNWISE.EXE") + " " +
                                   JoinPath(installation, "INSTALL.LOG"));
        ASSERT_TRUE(entry.Written());
        EXPECT_TRUE(PathsEqual(LegacyInitialFolder(), WithTrailingSeparator(installation)))
            << LegacyInitialFolder();
    }
    EXPECT_EQ(LegacyInitialFolder(), "");

    const UninstallEntry gone(dir.File("GONE\\UNWISE.EXE"));
    EXPECT_EQ(LegacyInitialFolder(), "");
}

} // namespace
} // namespace mvr
