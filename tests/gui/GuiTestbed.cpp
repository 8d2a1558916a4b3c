#include "GuiTestbed.h"

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "core/platform/TextUtil.h"
#include "server/DemoGenerator.h"
#include "server/SmallDataFolder.h"
#include "support/ChildProcess.h"

#include <stdexcept>

namespace mvr::gui::test {

ServerTables QuietTables() {
    ServerTables tables = mvr::test::SmallTables();
    tables.clientInfo = {};
    // The account dialog sends the password in upper case, as it stores it.
    for (ServerAccount& account : tables.accounts) {
        account.password = ToUpperAscii(account.password);
    }
    return tables;
}

CGuiTestbed::CGuiTestbed(const ServerTables& tables)
    : configFolder_("MVRKRSEXP_CONFIG_DIR", dir_.File("config")),
      server_(std::make_unique<mvr::test::TestPriceServer>(tables)) {
    PointAt(server_->Port());
    SetAccount("valid1", "PW");
}

CGuiTestbed::CGuiTestbed(DemoData) : configFolder_("MVRKRSEXP_CONFIG_DIR", dir_.File("config")) {
    DemoOptions options;
    options.instruments = DemoOptions::kMinInstruments;
    options.years = 2;
    options.lastDay = TodayDayNumber();
    std::string error;
    DemoSummary summary;
    const std::string data = dir_.File("server-data");
    if (!CDemoGenerator(options).Write(data, &summary, &error)) {
        throw std::runtime_error("demo data: " + error);
    }
    // Without a message the start's check lets a batch switch run at once.
    const std::string clientInfo = JoinPath(data, "clientinfo.txt");
    std::string text = mvr::test::FileText(clientInfo);
    const auto message = text.find("message=");
    text.erase(message + 8, text.find('\n', message) - message - 8);
    mvr::test::WriteBytes(clientInfo, std::vector<std::uint8_t>(text.begin(), text.end()));
    server_ = std::make_unique<mvr::test::TestPriceServer>(data, mvr::test::TestServeOptions());
    PointAt(server_->Port());
    SetAccount(std::string(kDemoAccount), std::string(kDemoPassword));
}

void CGuiTestbed::StopServer() {
    const int port = server_->Port();
    server_.reset();
    PointAt(port);
}

void CGuiTestbed::PointAt(int port) {
    if (!CreateFolders(ConfigFolder())) {
        throw std::runtime_error("cannot create " + ConfigFolder());
    }
    const std::string ini =
        "[MVRKrsExp]\r\nServerName=127.0.0.1\r\nServerPort=" + std::to_string(port) + "\r\n";
    if (!WriteFileAtomically(
            JoinPath(ConfigFolder(), "MVRKrsExp.ini"),
            std::span(reinterpret_cast<const std::uint8_t*>(ini.data()), ini.size()))) {
        throw std::runtime_error("cannot write the server's address");
    }
}

void CGuiTestbed::AddDirectory(const std::string& name, int formatType, int symbols) {
    const std::string path = WithTrailingSeparator(Folder(name));
    CExportDirectory index(formatType);
    if (!CreateFolders(path) || !index.Create(path, 0.0, formatType)) {
        throw std::runtime_error("cannot create " + path);
    }
    for (int i = 0; i < symbols; ++i) {
        ExportSymbolInfo symbol;
        symbol.symbol = "S" + std::to_string(i);
        symbol.name = "Symbol " + std::to_string(i);
        symbol.sinCode = 1000 + i;
        index.AddSymbol(symbol);
    }
    if (!index.Save()) {
        throw std::runtime_error("cannot save " + path);
    }
    MVRKrsExportInfo record;
    record.path = path;
    record.formatType = formatType;
    setup_.Directories().push_back(record);
}

void CGuiTestbed::AddLinkedDirectory(const std::string& name, int formatType,
                                     std::int32_t catalogue) {
    AddDirectory(name, formatType, 0);
    setup_.Directories().back().catalogueId = catalogue;
    setup_.Directories().back().catalogueName = "Catalogue " + std::to_string(catalogue);
}

void CGuiTestbed::AddList(const std::string& name, const std::vector<std::string>& directoryNames) {
    CMVRDirListInfo list;
    list.name = name;
    for (const std::string& directory : directoryNames) {
        list.paths.push_back(WithTrailingSeparator(Folder(directory)));
    }
    setup_.Lists().push_back(list);
}

void CGuiTestbed::SetAccount(const std::string& account, const std::string& password) {
    setup_.User().account = account;
    setup_.User().password = password;
}

void CGuiTestbed::StoreConfiguration() {
    if (!setup_.StoreConfig()) {
        throw std::runtime_error("cannot store the configuration");
    }
}

CMVRKrsExpDlg& CGuiTestbed::OpenWindow() {
    // The window's models observe the session's lists: the window goes first.
    window_.reset();
    session_ = std::make_unique<CMVRKrsExpSession>();
    window_ = std::make_unique<CMVRKrsExpDlg>(*session_);
    window_->Interaction().SetScriptedAnswers(&answers_);
    if (!window_->Initialise()) {
        throw std::runtime_error("the window could not load its configuration");
    }
    window_->show();
    window_->StartClientCheck();
    return *window_;
}

} // namespace mvr::gui::test
