#pragma once

// What a test of the window needs around it: the reference price server on a
// free port, a configuration folder of its own that points at it, export
// directories on disk, and the window opened on that configuration with its
// message boxes answered by the test.

#include "core/app/Session.h"
#include "gui/app/ScriptedAnswers.h"
#include "gui/window/MVRKrsExpDlg.h"
#include "server/TestPriceServer.h"
#include "support/TempDir.h"

#include <memory>
#include <string>
#include <vector>

namespace mvr::gui::test {

// The small tables without a server message (a message would open the
// account dialog after every start), with the passwords in upper case as the
// account dialog sends them ("valid1" / "PW").
ServerTables QuietTables();

// Asks for the demo price data (100 instruments, 2 years up to today, no
// server message) instead of the small tables.
struct DemoData {};

class CGuiTestbed {
public:
    explicit CGuiTestbed(const ServerTables& tables = QuietTables());
    explicit CGuiTestbed(DemoData);

    std::string Folder(const std::string& name) const { return dir_.File(name); }
    std::string ConfigFolder() const { return dir_.File("config"); }
    int Port() const { return server_->Port(); }
    // Stops the server and points the configuration at a port nobody serves.
    void StopServer();

    // An export directory of the format with `symbols` symbols S0, S1, ...
    // added to the configuration.
    void AddDirectory(const std::string& name, int formatType, int symbols);
    // An empty directory linked to a server catalogue: the first update fills it.
    void AddLinkedDirectory(const std::string& name, int formatType, std::int32_t catalogue);
    void AddList(const std::string& name, const std::vector<std::string>& directoryNames);
    void SetAccount(const std::string& account, const std::string& password);
    // Writes what was set up into the configuration folder.
    void StoreConfiguration();

    // The window on the stored configuration, initialised and shown; its
    // boxes are answered by Answers().
    CMVRKrsExpDlg& OpenWindow();
    CMVRKrsExpDlg& Window() { return *window_; }
    CMVRKrsExpSession& Session() { return *session_; }
    CScriptedAnswers& Answers() { return answers_; }

private:
    void PointAt(int port);

    mvr::test::TempDir dir_;
    mvr::test::ScopedEnvironment configFolder_;
    std::unique_ptr<mvr::test::TestPriceServer> server_;
    CMVRKrsExpSession setup_;
    CScriptedAnswers answers_;
    std::unique_ptr<CMVRKrsExpSession> session_;
    std::unique_ptr<CMVRKrsExpDlg> window_;
};

} // namespace mvr::gui::test
