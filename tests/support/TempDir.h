#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mvr::test {

// A fresh folder below the system's temporary folder, removed with everything
// in it when the object goes away. Path() ends in the native separator.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Sets an environment variable for the lifetime of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::string& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    bool hadValue_ = false;
    std::string oldValue_;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path);
// File name -> bytes of every file of the folder (not of its subfolders).
std::map<std::string, std::vector<std::uint8_t>> FolderContents(const std::string& folder);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace mvr::test
