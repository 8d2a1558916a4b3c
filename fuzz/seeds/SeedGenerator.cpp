// Writes a seed corpus for every fuzz target: the answers the reference
// server gives to the requests the client really sends, the request bodies
// the client writes, and files of every format as this system and the test
// data hold them. Seeds that start where the readers start let the fuzzer
// spend its time past the first bytes.
//
//   fuzz_seeds <corpus folder> <repository root>
//
// writes <corpus folder>/<target>/<seed name> and prints one line per target.

#include "support/FuzzInput.h"
#include "support/FuzzServerData.h"
#include "support/InputSocket.h"
#include "support/LoopbackPeer.h"
#include "support/ServerRoutes.h"
#include "support/TempFolder.h"

#include "LegacyFileBuilder.h"

#include "core/config/ConfigStore.h"
#include "core/definition/ChunkedBytes.h"
#include "core/formats/AsciiDataFile.h"
#include "core/formats/AsciiIndex.h"
#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/MetaStockDataFile.h"
#include "core/net/CatalogueRequests.h"
#include "core/net/IOException.h"
#include "core/net/InstrumentTranslation.h"
#include "core/net/ProcessState.h"
#include "core/net/RequestHeader.h"
#include "core/net/ServerRequest.h"
#include "core/net/SymbolLookup.h"
#include "core/net/SymbolSearchRequest.h"
#include "core/net/UserRequests.h"
#include "core/platform/FileSystem.h"
#include "core/platform/TextUtil.h"
#include "core/update/ChartRequestBody.h"
#include "server/CatalogueRequestHandlers.h"
#include "server/ChartAnswers.h"
#include "server/DefinitionRequestHandler.h"
#include "server/SearchRequestHandlers.h"
#include "server/UserRequestHandlers.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using mvr::fuzz::ServeOneConnection;

// Bytes of the handshake before the answer: a zero, then the go-ahead.
const Bytes kGoAhead{0, 1};

fs::path gCorpus;
std::map<std::string, int> gCounts;

void Write(const std::string& target, const std::string& name, const Bytes& bytes) {
    const fs::path folder = gCorpus / target;
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "fuzz_seeds: cannot write %s/%s\n", folder.string().c_str(), name.c_str());
        std::exit(1);
    }
    ++gCounts[target];
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// --- the protocol ----------------------------------------------------------

// What the client sends for a request: header and body, taken from the
// loopback peer while the client waits in vain for an answer.
struct SentRequest {
    mvr::RequestHeader header;
    Bytes headerBytes;
    Bytes body;
};

SentRequest Capture(const std::function<void()>& client) {
    const Bytes sent = ServeOneConnection(kGoAhead, client);
    SentRequest request;
    if (sent.size() < mvr::kRequestHeaderSize) {
        std::fprintf(stderr, "fuzz_seeds: the client sent no request header\n");
        std::exit(1);
    }
    request.headerBytes.assign(sent.begin(), sent.begin() + mvr::kRequestHeaderSize);
    request.body.assign(sent.begin() + mvr::kRequestHeaderSize, sent.end());
    mvr::DecodeRequestHeader(std::span<const std::uint8_t, mvr::kRequestHeaderSize>(
                                 request.headerBytes.data(), mvr::kRequestHeaderSize),
                             &request.header);
    return request;
}

// The reference server's answer to a request body.
Bytes Answer(void (*handler)(mvr::CRequestContext&), const SentRequest& sent,
             std::int32_t parameter) {
    mvr::fuzz::CInputSocket socket(sent.body, true);
    const mvr::RunFlag run{1};
    mvr::CClientRequest connection(socket, run);
    mvr::RequestHeader header = sent.header;
    header.parameter = parameter;
    const mvr::FaultOptions faults;
    mvr::CRequestContext request(connection, mvr::fuzz::FuzzServerData(), header, faults);
    try {
        handler(request);
    } catch (const mvr::CIOException&) {
        // The login waits for the client's rate after its answer; the answer is complete.
    }
    return socket.Sent();
}

std::uint8_t RouteOf(std::uint8_t code) {
    for (std::size_t i = 0; i < std::size(mvr::fuzz::kServerRoutes); ++i) {
        if (mvr::fuzz::kServerRoutes[i] == code) {
            return static_cast<std::uint8_t>(i);
        }
    }
    std::fprintf(stderr, "fuzz_seeds: no route for code %d\n", code);
    std::exit(1);
}

// A request body as the server target's seed, and its header once per code.
void WriteServerSeed(const std::string& name, const SentRequest& sent) {
    const std::uint8_t route = RouteOf(sent.header.code) | mvr::fuzz::kValidNumberBit;
    Write("fuzz_server_request", name, Cat({{route}, sent.body}));
    Write("fuzz_server_request", "header-" + name, Cat({{RouteOf(0)}, sent.headerBytes}));
}

// Both ends of one exchange: the body for the server target, the answer for
// the client target (behind its selector byte and the handshake).
void Exchange(const std::string& name, const std::function<void()>& client,
              void (*handler)(mvr::CRequestContext&), std::int32_t parameter,
              const std::string& clientTarget, std::uint8_t selector) {
    const SentRequest sent = Capture(client);
    WriteServerSeed(name, sent);
    const Bytes answer = Answer(handler, sent, parameter);
    Write(clientTarget, name, Cat({{selector}, kGoAhead, answer}));
    // A refusal of the request and an answer that breaks off half way.
    Write(clientTarget, name + "-refused", {selector, 0, mvr::kStatusRequestRunning});
    Write(clientTarget, name + "-cut",
          Cat({{selector}, kGoAhead, Bytes(answer.begin(), answer.begin() + answer.size() / 2)}));
}

void UserAnswers() {
    const mvr::RunFlag run{1};
    for (const char* account : {mvr::fuzz::kValidAccount, mvr::fuzz::kExtraSectionsAccount,
                                mvr::fuzz::kMessageAccount, "UNKNOWN"}) {
        const std::string suffix = std::string("-") + account;
        Exchange("login" + suffix, [&] {
            mvr::ReferenceTables tables;
            mvr::LoginUser user;
            std::string message;
            mvr::ExchangeLogin(account, mvr::fuzz::kValidPassword, tables, user, message, run);
        }, mvr::AnswerLogin, 0, "fuzz_user_answers", 0);
        Exchange("check" + suffix,
                 [&] { mvr::CheckAccount(account, mvr::fuzz::kValidPassword, run); },
                 mvr::AnswerCheckAccount, 0, "fuzz_user_answers", 1);
    }
    Exchange("clientinfo", [&] {
        mvr::CWinSocket socket;
        mvr::ClientInfo info;
        mvr::GetClientInfo(socket, info, run);
    }, mvr::AnswerClientInfo, 0, "fuzz_user_answers", 2);
}

// The payload of the first block of an answer that holds one.
Bytes FirstPayload(const Bytes& answer) {
    if (answer.size() < 4) {
        return {};
    }
    const std::size_t length = (std::size_t{answer[0]} << 24) | (std::size_t{answer[1]} << 16) |
                               (std::size_t{answer[2]} << 8) | answer[3];
    if (length == 0 || length > answer.size() - 4) {
        return {};
    }
    return Bytes(answer.begin() + 4, answer.begin() + 4 + static_cast<std::ptrdiff_t>(length));
}

void CatalogueAnswers() {
    const mvr::RunFlag run{1};
    Exchange("catalogues", [&] {
        mvr::ResetProcessStateForTesting();
        mvr::LoadCatalogues(run);
    }, mvr::AnswerCatalogues, mvr::fuzz::kValidLoginNumber, "fuzz_catalogue_answers", 0);
    for (const std::int16_t number : {mvr::fuzz::kCatalogueNumber, std::int16_t{2}, std::int16_t{99}}) {
        const std::string name = "contents-" + std::to_string(number);
        const SentRequest sent = Capture([&] {
            std::vector<mvr::WATCH> records;
            try {
                mvr::LoadCatalogueContents(number, mvr::fuzz::kValidCheckNumber, run, records);
            } catch (const mvr::CIOException&) {
            }
        });
        WriteServerSeed(name, sent);
        const Bytes answer = Answer(mvr::AnswerCatalogueContents, sent, mvr::fuzz::kValidCheckNumber);
        Write("fuzz_catalogue_answers", name, Cat({{1}, kGoAhead, answer}));
        // The records alone, for the record reader's own target.
        const Bytes records = FirstPayload(answer);
        if (!records.empty()) {
            Write("fuzz_instrument_record", name, records);
        }
    }
}

void InstrumentAnswers() {
    const mvr::RunFlag run{1};
    const std::vector<mvr::SearchCriteria> searches{
        {2, 0, 0, "sap"}, {1, 0, 0, ""}, {3, 1, 1, "DE0007164600"}, {9, 0, 0, "x"}};
    for (std::size_t i = 0; i < searches.size(); ++i) {
        Exchange("search-" + std::to_string(i), [&] {
            std::vector<mvr::WATCH> records;
            std::string text;
            try {
                mvr::SearchInstruments(searches[i], run, records, text);
            } catch (const mvr::CIOException&) {
            }
        }, mvr::AnswerSymbolSearch, mvr::fuzz::kValidLoginNumber, "fuzz_instrument_answers", 0);
    }
    Exchange("lookup", [&] {
        mvr::CExportDirectory directory(mvr::kFormatAsciiComma);
        for (const char* text : {"SAPX", "IDX", "NOPE", "SAPX"}) {
            mvr::ExportSymbolInfo symbol;
            symbol.symbol = text;
            directory.Symbols().push_back(symbol);
        }
        mvr::LookupSInCodes(directory, run);
    }, mvr::AnswerSymbolLookup, mvr::fuzz::kValidLoginNumber, "fuzz_instrument_answers", 1);
    Exchange("translation", [&] {
        mvr::TranslationMap map{{mvr::fuzz::kLegacyNumber, 0}, {601, 0}, {999, 0}};
        try {
            mvr::TranslateInstrumentNumbers(map, mvr::fuzz::kValidCheckNumber, run);
        } catch (const mvr::CIOException&) {
        }
    }, mvr::AnswerTranslation, mvr::fuzz::kValidCheckNumber, "fuzz_instrument_answers", 2);
}

// The price requests are written and read on connections the caller hands
// over, so both ends meet in memory.
Bytes WrittenBody(void (*write)(mvr::CClientRequest&, std::span<const mvr::JAHRESCHARTARRAY>),
                  const std::vector<mvr::JAHRESCHARTARRAY>& entries) {
    mvr::fuzz::CInputSocket socket({}, true);
    const mvr::RunFlag run{1};
    mvr::CClientRequest request(socket, run);
    write(request, entries);
    return socket.Sent();
}

Bytes PriceAnswer(bool intraday, const Bytes& body, std::int32_t checkNumber) {
    mvr::fuzz::CInputSocket socket(body, true);
    const mvr::RunFlag run{1};
    mvr::CClientRequest connection(socket, run);
    const mvr::ChartAnswerContext context{mvr::fuzz::FuzzServerData(), checkNumber,
                                          mvr::fuzz::FuzzToday()};
    if (intraday) {
        mvr::AnswerIntradayBars(connection, context);
    } else {
        mvr::AnswerDailyBars(connection, context);
    }
    return socket.Sent();
}

void PriceAnswers() {
    for (const bool intraday : {false, true}) {
        const std::string kind = intraday ? "intraday" : "daily";
        const Bytes body = intraday
                               ? WrittenBody(mvr::WriteIntradayBarsBody, mvr::fuzz::IntradayRequestEntries())
                               : WrittenBody(mvr::WriteDailyBarsBody, mvr::fuzz::DailyRequestEntries());
        const std::uint8_t route =
            RouteOf(intraday ? mvr::kIntradayBarsRequestCode : mvr::kDailyBarsRequestCode);
        Write("fuzz_server_request", kind, Cat({{static_cast<std::uint8_t>(route | mvr::fuzz::kValidNumberBit)}, body}));
        Write("fuzz_server_request", kind + "-unentitled", Cat({{route}, body}));
        const std::uint8_t selector = intraday ? 1 : 0;
        const Bytes answer = PriceAnswer(intraday, body, mvr::fuzz::kValidCheckNumber);
        Write("fuzz_price_answers", kind, Cat({{selector}, answer}));
        Write("fuzz_price_answers", kind + "-cut",
              Cat({{selector}, Bytes(answer.begin(), answer.begin() + answer.size() * 2 / 3)}));
        Write("fuzz_price_answers", kind + "-unentitled",
              Cat({{selector}, PriceAnswer(intraday, body, 0)}));
    }
}

Bytes ChunkedUpload(const std::string& text) {
    mvr::fuzz::CInputSocket socket({}, true);
    const mvr::RunFlag run{1};
    mvr::CClientRequest request(socket, run);
    mvr::writeChunkedBytes(request, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    return socket.Sent();
}

void DefinitionAnswers() {
    std::string longFile;
    // An answer of more than one data block.
    for (int i = 0; i < 60; ++i) {
        longFile += "SAPX;20240102;20240103\n";
    }
    const std::vector<std::pair<std::string, std::string>> files{
        {"ranges", "# prices\nSAPX;20240102;20240131\n1002;20240101;\nIDX\n"},
        {"errors", "NOPE\nSAPX;2024-01-02\nSAPX;20240105;20240102\nA;B;C;D\n"},
        {"empty", ""},
        {"long", longFile},
    };
    for (const auto& [name, text] : files) {
        SentRequest sent;
        sent.header.code = mvr::kRequestDefinitionFile;
        sent.body = ChunkedUpload(text);
        Write("fuzz_server_request", "definition-" + name,
              Cat({{static_cast<std::uint8_t>(RouteOf(mvr::kRequestDefinitionFile) | mvr::fuzz::kValidNumberBit)},
                   sent.body}));
        Write("fuzz_definition_answer", name,
              Answer(mvr::AnswerDefinitionFile, sent, mvr::fuzz::kValidCheckNumber));
    }
}

// --- the files -----------------------------------------------------------

mvr::PriceHistory History(int bars, bool intraday) {
    mvr::PriceHistory history;
    const std::int32_t first = mvr::DatumToDayNumber({2, 1, 2024});
    for (int i = 0; i < bars; ++i) {
        mvr::PERIODE bar;
        bar.dayNumber = first + (intraday ? i / 4 : i);
        bar.secondsOfDay = intraday ? 9 * 3600 + (i % 4) * 900 : 0;
        bar.close = 100.25f + static_cast<float>(i % 7);
        bar.open = bar.close - 0.5f;
        bar.high = bar.close + 1.0f;
        bar.low = bar.open - 1.0f;
        bar.volume = 1000 * (i + 1);
        history.push_back(bar);
    }
    return history;
}

std::optional<Bytes> ReadAll(const fs::path& path) {
    return mvr::ReadWholeFile(path.string(), std::uint64_t{1} << 24);
}

std::optional<fs::path> FindIgnoringCase(const fs::path& folder, const std::string& name) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (mvr::EqualsIgnoreCase(entry.path().filename().string(), name)) {
            return entry.path();
        }
    }
    return std::nullopt;
}

void MetaStockIndexSeed(const std::string& name, const fs::path& folder) {
    const auto master = FindIgnoringCase(folder, "MASTER");
    const auto emaster = FindIgnoringCase(folder, "EMASTER");
    const auto xmaster = FindIgnoringCase(folder, "XMASTER");
    std::uint8_t flags = 0;
    std::vector<Bytes> parts{master ? ReadAll(*master).value_or(Bytes{}) : Bytes{}, {}, {}};
    if (emaster) {
        flags |= 1;
        parts[1] = ReadAll(*emaster).value_or(Bytes{});
    }
    if (xmaster) {
        flags |= 2;
        parts[2] = ReadAll(*xmaster).value_or(Bytes{});
    }
    Write("fuzz_metastock_index", name, Cat({{flags}, mvr::fuzz::JoinParts(parts)}));
}

// The data files of a MetaStock folder, with the field counts its index gives.
void MetaStockDataSeeds(const std::string& name, const fs::path& folder, std::size_t most) {
    mvr::CExportDirectory directory;
    if (!directory.Open(folder.string(), mvr::kFormatMetaStock)) {
        return;
    }
    std::size_t written = 0;
    for (const mvr::ExportSymbolInfo& symbol : directory.Symbols()) {
        if (written == most || !mvr::IsMetaStockFieldCount(symbol.fieldCount)) {
            continue;
        }
        mvr::CExportDataFile file;
        file.UseFolderListing(&directory.FolderListing());
        file.BuildFileName(folder.string(), symbol, mvr::kFormatMetaStock);
        if (const auto bytes = ReadAll(file.FilePath())) {
            const auto selector = static_cast<std::uint8_t>(symbol.fieldCount - mvr::kMinMetaStockFields);
            Write("fuzz_metastock_data", name + "-" + std::to_string(symbol.fileNumber),
                  Cat({{selector}, *bytes}));
            ++written;
        }
    }
}

void MetaStockFiles(const fs::path& repository) {
    // A folder this system writes: MASTER, EMASTER and XMASTER.
    const fs::path folder = fs::path(mvr::fuzz::ProcessTempFolder()) / "metastock";
    fs::create_directories(folder);
    {
        mvr::CExportDirectory directory;
        if (!directory.Create(folder.string(), 0.0, mvr::kFormatMetaStock)) {
            std::fprintf(stderr, "fuzz_seeds: cannot create a MetaStock folder\n");
            std::exit(1);
        }
        for (int i = 0; i < 260; ++i) {
            mvr::ExportSymbolInfo symbol;
            symbol.symbol = "S" + std::to_string(i);
            symbol.name = "Instrument number " + std::to_string(i) + " with a long name";
            symbol.sinCode = 5000 + i;
            symbol.fieldCount = mvr::kMinMetaStockFields + i % 4;
            directory.AddSymbol(symbol);
        }
        if (!directory.Save()) {
            std::fprintf(stderr, "fuzz_seeds: cannot save a MetaStock folder\n");
            std::exit(1);
        }
    }
    MetaStockIndexSeed("written", folder);
    for (const char* sample : {"broken-xmaster", "intraday-7field", "mixed-case-xmaster"}) {
        const fs::path sampleFolder = repository / "tests" / "data" / "metastock" / sample;
        MetaStockIndexSeed(sample, sampleFolder);
        MetaStockDataSeeds(sample, sampleFolder, 4);
    }
    for (int fields = mvr::kMinMetaStockFields; fields <= mvr::kMaxMetaStockFields; ++fields) {
        if (const auto image = mvr::EncodeMetaStockFile(History(30, false), fields)) {
            Write("fuzz_metastock_data", "written-" + std::to_string(fields),
                  Cat({{static_cast<std::uint8_t>(fields - mvr::kMinMetaStockFields)}, *image}));
        }
    }
}

void AsciiFiles() {
    std::vector<int> types;
    for (int type = 0; type <= mvr::kLastFormatType; ++type) {
        const mvr::FormatTypeInfo* info = mvr::FindFormatType(type);
        if (info != nullptr && info->reads == mvr::DataFileCodec::Ascii) {
            types.push_back(type);
        }
    }
    for (std::size_t i = 0; i < types.size(); ++i) {
        const int type = types[i];
        const std::string text = mvr::EncodeAsciiFile(History(12, mvr::IsIntradayFormat(type)), type);
        const std::string name = "type-" + std::to_string(type);
        const auto selector = static_cast<std::uint8_t>(i);
        Write("fuzz_ascii_data", name, Cat({{selector}, Text(text)}));
        // With the edge reader, a header line of another program and CR LF line ends.
        std::string crlf = "Date,Open,High,Low,Close,Volume\r\n";
        for (const char c : text) {
            crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        }
        Write("fuzz_ascii_data", name + "-edges", Cat({{static_cast<std::uint8_t>(selector | 0x80)}, Text(crlf)}));
        if (type == mvr::kFormatHermes) {
            Write("fuzz_legacy_asc", "hermes",
                  mvr::fuzz::JoinParts({Text("SAPX.ASC\n" + text), Text("idx.asc\n" + crlf),
                                        Text("README.TXT\nnot a price file\n")}));
        }
    }
    // A file longer than the edge windows.
    const std::string longText = mvr::EncodeAsciiFile(History(400, false), mvr::kFormatAsciiComma);
    for (std::size_t i = 0; i < types.size(); ++i) {
        if (types[i] == mvr::kFormatAsciiComma) {
            Write("fuzz_ascii_data", "long-comma",
                  Cat({{static_cast<std::uint8_t>(i | 0x80)}, Text("\n\n" + longText + "\n\n")}));
        }
    }

    std::vector<mvr::ExportSymbolInfo> symbols(3);
    symbols[0].symbol = "SAPX";
    symbols[0].name = "Sapex";
    symbols[0].sinCode = mvr::fuzz::kFirstSinCode;
    symbols[0].firstDate = 45293.0;
    symbols[0].lastDate = 45330.0;
    symbols[1].symbol = "IDX";
    symbols[1].name = "Index";
    symbols[2].symbol = "LONGSYMB";
    symbols[2].interval = 15;
    Write("fuzz_ascii_index", "three", mvr::EncodeAsciiIndex(mvr::kFormatAsciiComma, 45293.0, symbols));
    Write("fuzz_ascii_index", "empty", mvr::EncodeAsciiIndex(mvr::kFormatAsciiIntraday, 0.0, {}));
}

void ConfigFiles() {
    const fs::path folder = fs::path(mvr::fuzz::ProcessTempFolder()) / "config";
    fs::create_directories(folder);
    const mvr::CConfigStore store(folder.string());
    mvr::ConfigData data;
    data.user.account = "DEMO";
    data.user.password = "DEMO";
    data.user.activeListEntry = 1;
    for (int i = 0; i < 3; ++i) {
        mvr::MVRKrsExportInfo directory;
        directory.path = "/home/user/prices/dir" + std::to_string(i) + "/";
        directory.formatType = i == 0 ? mvr::kFormatMetaStock : mvr::kFormatAsciiComma;
        directory.catalogueId = i;
        directory.catalogueName = i != 0 ? "Shares/All" : "";
        data.directories.push_back(directory);
    }
    mvr::CMVRDirListInfo list;
    list.name = "Morning";
    list.paths = {"/home/user/prices/dir0/", "/home/user/prices/dir2/"};
    data.lists = {list, mvr::CMVRDirListInfo{"Empty", {}, 3}};
    data.windowLayout.mainPlacementRead = true;
    data.windowLayout.columnWidths = {120, 80, 60, 200};
    data.windowLayout.splitterPosition = 300;
    if (!store.Store(data)) {
        std::fprintf(stderr, "fuzz_seeds: cannot store a configuration\n");
        std::exit(1);
    }
    const auto file = [&](const char* name) { return ReadAll(folder / name).value_or(Bytes{}); };
    const Bytes user = file(mvr::kUserFileName);
    Write("fuzz_config_files", "user", Cat({{0}, user}));
    Write("fuzz_config_files", "user-older",
          Cat({{0}, Bytes(user.begin(), user.begin() + mvr::ExportUserInfo::kOlderLayoutSize)}));
    Write("fuzz_config_files", "directories", Cat({{1}, file(mvr::kDirectoryFileName)}));
    Write("fuzz_config_files", "directories-older", Cat({{2}, file(mvr::kDirectoryFileName)}));
    Write("fuzz_config_files", "lists", Cat({{3}, file(mvr::kListFileName)}));
    Write("fuzz_config_files", "window", Cat({{4}, file(mvr::kWindowFileName)}));
    Write("fuzz_config_files", "ini",
          Cat({{5}, Text("; price server\r\n[MVRKrsExp]\r\nServerName = \"prices.example\"\r\n"
                         "ServerPort=5000\r\n[Other]\r\nServerName=no\r\n")}));
}

void LegacyFiles() {
    using namespace mvr::test;
    LegacyFormatSpec format;
    format.shortName = "ASCII";
    format.name = "Ascii: Comma Delimited";
    format.formatType = 5;
    format.lists = {{"Morning", {{"C:\\Prices\\Ascii\\", {{"SAPX", "Sapex"}, {"IDX", "Index"}}}}}};
    format.directories = {{"C:\\Prices\\Intraday", {{"SAPX", "Sapex"}}}};
    LegacyFormatSpec metastock;
    metastock.shortName = "MS";
    metastock.name = "MetaStock";
    metastock.formatType = 4;
    metastock.lists = {{"All", {{"C:\\Prices\\MS", {{"SAPX", "Sapex"}}}}}, {"Empty", {}}};
    Write("fuzz_legacy_formats", "two-formats", BuildKvloDat({format, metastock}));

    KvloSdbSpec sdb;
    sdb.symbols = {{501, "SAPX"}, {502, "IDX"}, {503, "ZZZ"}, {504, "AAA"}};
    sdb.table1Count = 2;
    sdb.table4Count = 1;
    sdb.spareCapacity = 3;
    Write("fuzz_legacy_symbol_table", "four", BuildKvloSdb(sdb));

    const std::vector<MasterEntrySpec> entries{{"SAPX", "Sapex", 'D', 0, 240102, 0, 240229, 7},
                                               {"IDX", "Index", 'I', 15, 1240102, 93000, 20240229, 0}};
    for (const std::uint8_t type : {std::uint8_t{5}, std::uint8_t{21}}) {
        Write("fuzz_legacy_master_file", "type-" + std::to_string(type), BuildMasterKvl(type, entries));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds <corpus folder> <repository root>\n");
        return 2;
    }
    gCorpus = argv[1];
    const fs::path repository = argv[2];
    UserAnswers();
    CatalogueAnswers();
    InstrumentAnswers();
    PriceAnswers();
    DefinitionAnswers();
    MetaStockFiles(repository);
    AsciiFiles();
    ConfigFiles();
    LegacyFiles();
    for (const auto& [target, count] : gCounts) {
        std::printf("%s: %d seeds\n", target.c_str(), count);
    }
    return 0;
}
