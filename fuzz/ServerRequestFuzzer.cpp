// The server's handlers on any request body a client may send: the first
// byte picks the request, the rest is what arrives on the connection. A
// handler may refuse (CIOException) but must never read beyond a limit,
// allocate without bound or crash.

#include "core/net/ClientRequest.h"
#include "core/net/IOException.h"
#include "core/net/SocketError.h"
#include "server/CatalogueRequestHandlers.h"
#include "server/DataFolderWriter.h"
#include "server/SearchRequestHandlers.h"
#include "server/ServerData.h"
#include "server/UserRequestHandlers.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// Receives come from the fuzzer's bytes; sends go nowhere.
class InputSocket : public mvr::CWinSocket {
public:
    InputSocket(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    using mvr::CWinSocket::Receive;
    bool Receive(void* buffer, int length, int* received, int = 0) override {
        const std::size_t count = std::min(static_cast<std::size_t>(length), size_ - read_);
        std::memcpy(buffer, data_ + read_, count);
        read_ += count;
        if (received != nullptr) {
            *received = static_cast<int>(count);
        }
        if (count < static_cast<std::size_t>(length)) {
            SetError(mvr::kSockErrConnectionAborted);
            return false;
        }
        return true;
    }
    bool Send(const void*, int, int = 0) override { return true; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t read_ = 0;
};

mvr::ServerTables Tables() {
    mvr::ServerTables t;
    mvr::ServerAccount account;
    account.account = "a";
    account.password = "p";
    t.accounts = {account};
    t.securityTypes = {{1, "Shares"}};
    t.exchanges = {{1, "XETR Xetra", true, 0}};
    t.searchKinds = {{1, "Name", mvr::kSearchName, mvr::SearchMatch::Contains}};
    t.instruments = {{1001, 501, 1, 1, "SAPX", "", "Sapex", "EUR", 2},
                     {1002, 502, 1, 1, "APLX", "", "Applex", "USD", 2}};
    t.catalogueGroups = {{10, "Shares"}};
    t.catalogues = {{1, "ALL", "All", {1001, 1002, 1001}}};
    t.catalogueTree = {{10, -1, 0, 0}, {1, 10, 1, 0}};
    return t;
}

std::string& DataFolder() {
    static std::string folder =
        (std::filesystem::temp_directory_path() / ("mvr-fuzz-" + std::to_string(getpid())))
            .string();
    return folder;
}

void RemoveDataFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(DataFolder(), ignored);
}

// A small data folder, written once and removed when the fuzzer ends.
const mvr::CServerData& Data() {
    static const std::unique_ptr<mvr::CServerData> data = [] {
        std::string failed;
        mvr::CDataFolderWriter(DataFolder()).WriteTables(Tables(), &failed);
        std::atexit(RemoveDataFolder);
        mvr::DataError error;
        auto opened = mvr::CServerData::Open(DataFolder(), &error);
        if (!opened) {
            std::abort();
        }
        return opened;
    }();
    return *data;
}

using Handler = void (*)(mvr::CRequestContext&);
constexpr Handler kHandlers[] = {
    mvr::AnswerLogin,        mvr::AnswerCheckAccount,      mvr::AnswerClientInfo,
    mvr::AnswerCatalogues,   mvr::AnswerCatalogueContents, mvr::AnswerSymbolSearch,
    mvr::AnswerSymbolLookup, mvr::AnswerTranslation,
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const Handler handler = kHandlers[data[0] % std::size(kHandlers)];
    InputSocket socket(data + 1, size - 1);
    const mvr::RunFlag run{1};
    mvr::CClientRequest connection(socket, run);
    const mvr::RequestHeader header{};
    const mvr::FaultOptions faults;
    mvr::CRequestContext request(connection, Data(), header, faults);
    try {
        handler(request);
    } catch (const mvr::CIOException&) {
    }
    return 0;
}
