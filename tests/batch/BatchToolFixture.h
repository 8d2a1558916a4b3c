#pragma once

// mvrkrsexp-batch as a program against the reference server: a demo data
// folder served in-process, a configuration folder of the test's own that
// points at it, and the tool run as a child process.

#include "server/TestPriceServer.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mvr::test {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Every file of the folder with its bytes; a temporary file that a killed
// writer left behind (".NAME.tmp-...") is no part of what readers see.
std::map<std::string, std::vector<std::uint8_t>> FolderImage(const std::string& folder);

// Opens the index and reads every symbol's data file (a MetaStock symbol
// without bars has none yet); the number of bars.
std::size_t ReadEveryFile(const std::string& folder, int formatType, std::size_t* symbols);

class BatchToolFixture : public ::testing::Test {
protected:
    BatchToolFixture();

    // Serves the demo data (generated once per fixture) with these options
    // and points the configuration at the server.
    void StartServer(ServeOptions options = TestServeOptions());
    void StopServer() { server_.reset(); }
    // Points the configuration at a port where nobody listens.
    void PointAtNoServer();
    // Points the configuration at this port.
    void PointAt(int port);

    ToolRun RunTool(const std::vector<std::string>& arguments);
    // mvr-dircat, to read what the tool wrote as users and scripts read it.
    ToolRun RunDirCat(const std::vector<std::string>& arguments);
    // Sets the demo account and adds the directory; fails the test otherwise.
    void Configure(const std::vector<std::vector<std::string>>& directories);

    std::string ConfigFolder() const { return dir_.File("config"); }
    std::string Folder(const std::string& name) const { return dir_.File(name); }
    std::string DemoData() const { return dir_.File("server-data"); }
    const TempDir& Dir() const { return dir_; }

private:
    ToolRun RunProgram(const std::string& path, const std::vector<std::string>& arguments);

    TempDir dir_;
    ScopedEnvironment configDir_;
    std::unique_ptr<TestPriceServer> server_;
};

} // namespace mvr::test
