#include "BatchToolFixture.h"

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "server/DemoGenerator.h"

namespace mvr::test {

std::map<std::string, std::vector<std::uint8_t>> FolderImage(const std::string& folder) {
    auto image = FolderContents(folder);
    std::erase_if(image, [](const auto& file) {
        return file.first.starts_with(".") && file.first.find(".tmp-") != std::string::npos;
    });
    return image;
}

std::size_t ReadEveryFile(const std::string& folder, int formatType, std::size_t* symbols) {
    CExportDirectory index(formatType);
    EXPECT_TRUE(index.Open(folder, formatType)) << index.Problem();
    std::size_t bars = 0;
    for (const ExportSymbolInfo& symbol : index.Symbols()) {
        CExportDataFile file;
        file.BuildFileName(folder, symbol, formatType);
        if (EntryExists(file.FilePath())) {
            EXPECT_TRUE(file.Read(folder, symbol, formatType)) << symbol.symbol;
            bars += file.History().size();
        }
    }
    *symbols = index.SymbolCount();
    return bars;
}

BatchToolFixture::BatchToolFixture() : configDir_("MVRKRSEXP_CONFIG_DIR", dir_.File("config")) {
    CreateFolders(ConfigFolder());
    DemoOptions options;
    options.instruments = DemoOptions::kMinInstruments;
    options.years = 2;
    options.lastDay = TodayDayNumber();
    std::string error;
    DemoSummary summary;
    EXPECT_TRUE(CDemoGenerator(options).Write(DemoData(), &summary, &error)) << error;
}

void BatchToolFixture::StartServer(ServeOptions options) {
    server_.reset();
    server_ = std::make_unique<TestPriceServer>(DemoData(), options);
    PointAt(server_->Port());
}

void BatchToolFixture::PointAtNoServer() {
    int closedPort = 0;
    {
        TestPriceServer gone(DemoData(), TestServeOptions());
        closedPort = gone.Port();
    }
    PointAt(closedPort);
}

void BatchToolFixture::PointAt(int port) {
    const std::string ini =
        "[MVRKrsExp]\r\nServerName=127.0.0.1\r\nServerPort=" + std::to_string(port) + "\r\n";
    ASSERT_TRUE(WriteFileAtomically(
        dir_.File("config/MVRKrsExp.ini"),
        std::span(reinterpret_cast<const std::uint8_t*>(ini.data()), ini.size())));
}

ToolRun BatchToolFixture::RunTool(const std::vector<std::string>& arguments) {
    return RunProgram(MVR_BATCH_PATH, arguments);
}

ToolRun BatchToolFixture::RunDirCat(const std::vector<std::string>& arguments) {
    return RunProgram(MVR_DIRCAT_PATH, arguments);
}

ToolRun BatchToolFixture::RunProgram(const std::string& path,
                                     const std::vector<std::string>& arguments) {
    const std::string errFile = dir_.File("tool-stderr.txt");
    ChildProcess tool(path, arguments, errFile);
    ToolRun run;
    run.out = tool.ReadAll();
    run.exitCode = tool.Wait();
    run.err = FileText(errFile);
    return run;
}

void BatchToolFixture::Configure(const std::vector<std::vector<std::string>>& directories) {
    const ToolRun account =
        RunTool({"--set-account", std::string(kDemoAccount), std::string(kDemoPassword)});
    ASSERT_EQ(account.exitCode, 0) << account.err;
    for (std::vector<std::string> directory : directories) {
        directory.insert(directory.begin(), "--add-directory");
        const ToolRun added = RunTool(directory);
        ASSERT_EQ(added.exitCode, 0) << added.err;
    }
}

} // namespace mvr::test
