#include "TestPriceServer.h"

#include "core/net/ProcessState.h"
#include "core/net/RequestTimeout.h"
#include "core/net/ServerEndpoint.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace mvr::test {

namespace {

constexpr std::chrono::seconds kWatchdog{20};

} // namespace

ServeOptions TestServeOptions() {
    ServeOptions options;
    options.port = 0;
    options.connections = 4;
    options.ioTimeout = std::chrono::milliseconds(3000);
    options.connectionLimit = std::chrono::milliseconds(10000);
    return options;
}

std::size_t CountLines(const std::vector<std::string>& lines, std::string_view text) {
    std::size_t count = 0;
    for (const std::string& line : lines) {
        if (line.find(text) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

TestPriceServer::TestPriceServer(const ServerTables& tables, ServeOptions options,
                                 const AddHandlers& addHandlers) {
    WriteDataFolder(dir_.Path(), tables);
    Start(dir_.Path(), std::move(options), addHandlers);
}

TestPriceServer::TestPriceServer(const std::string& folder, ServeOptions options) {
    Start(folder, std::move(options), {});
}

void TestPriceServer::Start(const std::string& folder, ServeOptions options,
                            const AddHandlers& addHandlers) {
    DataError error;
    data_ = CServerData::Open(folder, &error);
    if (!data_) {
        throw std::runtime_error("test data folder: " + error.Text());
    }
    // As mvr-priceserver does, so that a test can serve an older state of its data.
    if (options.dataUntilDay) {
        data_->ServeBarsUntil(*options.dataUntilDay);
    }
    log_ = std::make_unique<CRequestLog>([this](const std::string& line) {
        {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        }
        logged_.notify_all();
    });
    server_ = std::make_unique<CPriceServer>(*data_, std::move(options), *log_);
    if (addHandlers) {
        addHandlers(server_->Dispatcher());
    }
    std::string listenError;
    if (!server_->Listen(&listenError)) {
        throw std::runtime_error(listenError);
    }
    server_->Start();
    ResetProcessStateForTesting();
    timeout_.emplace(kLoweredClientTimeout);
    BecomeServer();
}

TestPriceServer::~TestPriceServer() {
    server_->StopAndWait();
    ResetProcessStateForTesting();
}

void TestPriceServer::BecomeServer() const {
    endpoint_.emplace(ServerEndpoint{"127.0.0.1", Port()});
}

std::vector<std::string> TestPriceServer::WaitForLogLines(std::size_t count) {
    std::unique_lock lock(mutex_);
    const bool arrived = logged_.wait_for(lock, kWatchdog, [&] { return lines_.size() >= count; });
    EXPECT_TRUE(arrived) << "only " << lines_.size() << " of " << count << " log lines";
    return lines_;
}

} // namespace mvr::test
