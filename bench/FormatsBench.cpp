// Price files and directory indexes against the physical baseline: reading
// and writing the same number of bytes as a plain file, in the same run.
//
//   bench_formats --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
//
// "Plain/Read" reads the file with one read; "Plain/Write" writes it through
// the atomic writer every file of the system goes through (flushed to disk);
// "Plain/WriteUnflushed" writes it with one write and no flush, the cost of
// the bytes alone.

#include "core/formats/DayNumber.h"
#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/MetaStockDataFile.h"
#include "core/platform/AppendJournal.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/Paths.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace mvr {
namespace {

// The fixtures are written once; a benchmark over a file that is not there
// would measure nothing.
void Require(bool done, const char* what) {
    if (!done) {
        std::fprintf(stderr, "FormatsBench: %s failed\n", what);
        std::exit(1);
    }
}

constexpr std::size_t kBars = 10000;
constexpr int kIndexSymbols = 5000;

// A folder below the temporary folder, removed when the program ends.
class CBenchFolder {
public:
    CBenchFolder() {
        std::random_device random;
        path_ = (std::filesystem::temp_directory_path() / ("mvr-bench-" + std::to_string(random())))
                    .string();
        std::filesystem::create_directories(path_);
        path_ = WithTrailingSeparator(path_);
    }
    ~CBenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string Sub(const std::string& name) const {
        const std::string sub = path_ + name + kPathSeparator;
        std::filesystem::create_directories(sub);
        return sub;
    }

private:
    std::string path_;
};

const CBenchFolder& Folder() {
    static const CBenchFolder folder;
    return folder;
}

PriceHistory History() {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> move(-0.5f, 0.5f);
    PriceHistory history;
    float close = 50.0f;
    const std::int32_t first = DatumToDayNumber(DATUM{2, 1, 1990});
    for (std::size_t i = 0; i < kBars; ++i) {
        PERIODE bar;
        bar.dayNumber = first + static_cast<std::int32_t>(i);
        bar.open = close;
        close = std::max(1.0f, close + move(random));
        bar.close = close;
        bar.high = std::max(bar.open, bar.close) + 0.25f;
        bar.low = std::min(bar.open, bar.close) - 0.25f;
        bar.volume = static_cast<std::int32_t>(100000 + i);
        bar.isNew = 1;
        history.push_back(bar);
    }
    return history;
}

ExportSymbolInfo PriceSymbol() {
    ExportSymbolInfo symbol;
    symbol.symbol = "BENCH";
    symbol.fileNumber = 1;
    symbol.fieldCount = 7;
    return symbol;
}

// The data file of one format, written once.
struct PriceFile {
    std::string folder;
    int type;
    std::uint64_t bytes;
};

PriceFile MakePriceFile(int type) {
    PriceFile file{Folder().Sub("prices-" + std::to_string(type)), type, 0};
    CExportDataFile writer;
    writer.BuildFileName(file.folder, PriceSymbol(), type);
    writer.History() = History();
    Require(writer.Write(true), "writing a price file");
    file.bytes = FileSizeOf(writer.FilePath()).value_or(0);
    return file;
}

const PriceFile& MetaStockFile() {
    static const PriceFile file = MakePriceFile(4);
    return file;
}

const PriceFile& AsciiFile() {
    static const PriceFile file = MakePriceFile(5);
    return file;
}

std::string PlainFile(std::uint64_t bytes, const std::string& name) {
    const std::string path = Folder().Sub("plain") + name;
    const ByteBuffer content(bytes, 0x5A);
    Require(WriteFileAtomically(path, content), "writing a plain file");
    return path;
}

void PlainRead(benchmark::State& state, std::uint64_t bytes) {
    const std::string path = PlainFile(bytes, "read-" + std::to_string(bytes));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadWholeFile(path));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void PlainWrite(benchmark::State& state, std::uint64_t bytes) {
    const std::string path = Folder().Sub("plain") + "write-" + std::to_string(bytes);
    const ByteBuffer content(bytes, 0x5A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteFileAtomically(path, content));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void PlainWriteUnflushed(benchmark::State& state, std::uint64_t bytes) {
    const std::string path = Folder().Sub("plain") + "unflushed-" + std::to_string(bytes);
    const ByteBuffer content(bytes, 0x5A);
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void DataFileRead(benchmark::State& state, const PriceFile& file) {
    for (auto _ : state) {
        CExportDataFile reader;
        benchmark::DoNotOptimize(reader.Read(file.folder, PriceSymbol(), file.type));
        benchmark::DoNotOptimize(reader.History().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes));
}

void DataFileWrite(benchmark::State& state, const PriceFile& file) {
    CExportDataFile writer;
    writer.BuildFileName(file.folder, PriceSymbol(), file.type);
    writer.History() = History();
    for (auto _ : state) {
        benchmark::DoNotOptimize(writer.Write(true));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes));
}

void BM_MetaStock_PlainRead(benchmark::State& s) {
    PlainRead(s, MetaStockFile().bytes);
}
// The least a reader that hands back the bars can take: the plain read, then
// a history of the file's bars written once, without decoding anything.
void BM_MetaStock_PlainReadAndBars(benchmark::State& state) {
    const std::string path = PlainFile(MetaStockFile().bytes, "read-and-bars");
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadWholeFile(path));
        PriceHistory bars(kBars);
        benchmark::DoNotOptimize(bars.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * MetaStockFile().bytes));
}
void BM_MetaStock_Read(benchmark::State& s) {
    DataFileRead(s, MetaStockFile());
}
void BM_MetaStock_PlainWrite(benchmark::State& s) {
    PlainWrite(s, MetaStockFile().bytes);
}
void BM_MetaStock_PlainWriteUnflushed(benchmark::State& s) {
    PlainWriteUnflushed(s, MetaStockFile().bytes);
}
void BM_MetaStock_Write(benchmark::State& s) {
    DataFileWrite(s, MetaStockFile());
}
void BM_Ascii5_PlainRead(benchmark::State& s) {
    PlainRead(s, AsciiFile().bytes);
}
void BM_Ascii5_Read(benchmark::State& s) {
    DataFileRead(s, AsciiFile());
}
void BM_Ascii5_PlainWrite(benchmark::State& s) {
    PlainWrite(s, AsciiFile().bytes);
}
void BM_Ascii5_Write(benchmark::State& s) {
    DataFileWrite(s, AsciiFile());
}

// Many different data files read one after another, each by an object of its
// own, as the update job reads a directory: the cost of the memory a read
// takes and gives back shows here, not in the reads of one file above.
constexpr int kManyFiles = 16;

struct ManyPriceFiles {
    std::string folder;
    std::vector<ExportSymbolInfo> symbols;
    std::vector<std::string> paths;
    std::uint64_t bytes = 0;
};

const ManyPriceFiles& ManyMetaStockFiles() {
    static const ManyPriceFiles files = [] {
        ManyPriceFiles many{Folder().Sub("many-metastock"), {}, {}, 0};
        for (int i = 1; i <= kManyFiles; ++i) {
            ExportSymbolInfo symbol = PriceSymbol();
            symbol.symbol += std::to_string(i);
            symbol.fileNumber = i;
            CExportDataFile writer;
            writer.BuildFileName(many.folder, symbol, MetaStockFile().type);
            writer.History() = History();
            Require(writer.Write(true), "writing a price file");
            many.bytes += FileSizeOf(writer.FilePath()).value_or(0);
            many.symbols.push_back(symbol);
            many.paths.push_back(writer.FilePath());
        }
        return many;
    }();
    return files;
}

void BM_MetaStockMany_PlainRead(benchmark::State& state) {
    const ManyPriceFiles& files = ManyMetaStockFiles();
    for (auto _ : state) {
        for (const std::string& path : files.paths) {
            benchmark::DoNotOptimize(ReadWholeFile(path));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes));
}

void BM_MetaStockMany_Read(benchmark::State& state) {
    const ManyPriceFiles& files = ManyMetaStockFiles();
    for (auto _ : state) {
        for (const ExportSymbolInfo& symbol : files.symbols) {
            CExportDataFile reader;
            benchmark::DoNotOptimize(reader.Read(files.folder, symbol, MetaStockFile().type));
            benchmark::DoNotOptimize(reader.History().data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * files.bytes));
}

// The encoding alone, without the file: what the writer adds to the bytes.
void BM_MetaStock_EncodeOnly(benchmark::State& state) {
    const PriceHistory history = History();
    for (auto _ : state) {
        benchmark::DoNotOptimize(EncodeMetaStockFile(history, 7));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * MetaStockFile().bytes));
}

// The decoding alone, from bytes already in memory: what the reader adds to
// the plain read.
void BM_MetaStock_DecodeOnly(benchmark::State& state) {
    const auto image = EncodeMetaStockFile(History(), 7);
    Require(image.has_value(), "encoding a price file");
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeMetaStockFile(*image, 7, BarReading::Corrected));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image->size()));
}

// Directory indexes of 5,000 symbols.
struct IndexFolder {
    std::string folder;
    int type;
    std::uint64_t bytes; // of all its index files
};

IndexFolder MakeIndexFolder(int type, const std::vector<std::string>& files) {
    IndexFolder index{Folder().Sub("index-" + std::to_string(type)), type, 0};
    CExportDirectory directory(type);
    Require(directory.Create(index.folder, 36526.0, type), "creating an index");
    for (int i = 1; i <= kIndexSymbols; ++i) {
        ExportSymbolInfo s;
        s.symbol = "S" + std::to_string(i);
        s.sinCode = i;
        s.name = "Instrument number " + std::to_string(i);
        s.lastDate = 38000.0 + i % 1000;
        directory.AddSymbol(s);
    }
    Require(directory.Save(), "saving an index");
    for (const std::string& name : files) {
        index.bytes += FileSizeOf(index.folder + name).value_or(0);
    }
    return index;
}

const IndexFolder& MetaStockIndex() {
    static const IndexFolder index = MakeIndexFolder(4, {"MASTER", "EMASTER", "XMASTER"});
    return index;
}

const IndexFolder& AsciiIndex() {
    static const IndexFolder index = MakeIndexFolder(5, {"mvrexp.mas"});
    return index;
}

void IndexOpen(benchmark::State& state, const IndexFolder& index) {
    for (auto _ : state) {
        CExportDirectory directory;
        benchmark::DoNotOptimize(directory.Open(index.folder, index.type));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * index.bytes));
}

void IndexSave(benchmark::State& state, const IndexFolder& index) {
    CExportDirectory directory;
    directory.Open(index.folder, index.type);
    for (auto _ : state) {
        benchmark::DoNotOptimize(directory.Save());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * index.bytes));
}

void BM_MetaStockIndex5000_PlainRead(benchmark::State& s) {
    PlainRead(s, MetaStockIndex().bytes);
}
void BM_MetaStockIndex5000_Open(benchmark::State& s) {
    IndexOpen(s, MetaStockIndex());
}
void BM_MetaStockIndex5000_PlainWrite(benchmark::State& s) {
    PlainWrite(s, MetaStockIndex().bytes);
}
void BM_MetaStockIndex5000_Save(benchmark::State& s) {
    IndexSave(s, MetaStockIndex());
}
void BM_AsciiIndex5000_PlainRead(benchmark::State& s) {
    PlainRead(s, AsciiIndex().bytes);
}
void BM_AsciiIndex5000_Open(benchmark::State& s) {
    IndexOpen(s, AsciiIndex());
}
void BM_AsciiIndex5000_PlainWrite(benchmark::State& s) {
    PlainWrite(s, AsciiIndex().bytes);
}
void BM_AsciiIndex5000_Save(benchmark::State& s) {
    IndexSave(s, AsciiIndex());
}

// Resolving the data files of a folder copied from Windows (F1.DAT ...
// F5000.DAT where f1.DAT is asked for): one listing per directory object
// against searching the folder for each file.
const std::string& MixedCaseFolder() {
    static const std::string folder = [] {
        const std::string path = Folder().Sub("mixed-case");
        for (int i = 1; i <= kIndexSymbols; ++i) {
            std::FILE* f = std::fopen((path + "F" + std::to_string(i) + ".DAT").c_str(), "wb");
            std::fclose(f);
        }
        return path;
    }();
    return folder;
}

constexpr int kLookups = 500;

void BM_Resolve500Of5000_OneListing(benchmark::State& state) {
    const std::string& folder = MixedCaseFolder();
    for (auto _ : state) {
        CFolderListing listing(folder);
        for (int i = 1; i <= kLookups; ++i) {
            benchmark::DoNotOptimize(listing.Find("f" + std::to_string(i * 10) + ".DAT"));
        }
    }
}

void BM_Resolve500Of5000_SearchPerFile(benchmark::State& state) {
    const std::string& folder = MixedCaseFolder();
    for (auto _ : state) {
        for (int i = 1; i <= kLookups; ++i) {
            benchmark::DoNotOptimize(
                FindFileIgnoringCase(folder, "f" + std::to_string(i * 10) + ".DAT"));
        }
    }
}

// The merge of an incremental update: the last week downloaded again (four
// days the file holds, one new) into a history of kBars. The writing pass
// used to copy the stored history to count what the merge added and changed;
// "CopyAndCount" is that way, the other the merge counting as it goes.
struct WeekMerge {
    PriceHistory stored;
    PriceHistory week;
};

const WeekMerge& MergeFixture() {
    static const WeekMerge fixture = [] {
        WeekMerge merge;
        PriceHistory all = History();
        for (PERIODE& bar : all) {
            bar.isNew = 0;
        }
        merge.week.assign(all.end() - 5, all.end());
        merge.week.back().close += 0.5f;
        all.pop_back();
        merge.stored = std::move(all);
        return merge;
    }();
    return fixture;
}

void BM_MergeWeek_CopyAndCount(benchmark::State& state) {
    const WeekMerge& fixture = MergeFixture();
    for (auto _ : state) {
        CExportDataFile file;
        file.History() = fixture.stored;
        const PriceHistory before = file.History();
        file.Merge(fixture.week);
        benchmark::DoNotOptimize(CountHistoryChanges(before, file.History()));
    }
}

void BM_MergeWeek(benchmark::State& state) {
    const WeekMerge& fixture = MergeFixture();
    for (auto _ : state) {
        CExportDataFile file;
        file.History() = fixture.stored;
        benchmark::DoNotOptimize(file.Merge(fixture.week));
    }
}

// One evening's update of one 10,000-bar file: three stored days again and
// five new ones, merged and written whole or appended. The file is put back
// before each round (untimed).
struct WeekUpdate {
    std::string folder;
    ByteBuffer stored; // the file without the new days
    std::string path;
    PriceHistory downloaded;
};

WeekUpdate MakeWeekUpdate(int type) {
    WeekUpdate update{Folder().Sub("week-" + std::to_string(type)), {}, {}, {}};
    const PriceHistory all = History();
    CExportDataFile writer;
    writer.BuildFileName(update.folder, PriceSymbol(), type);
    writer.History().assign(all.begin(), all.end() - 5);
    Require(writer.Write(true), "writing a price file");
    update.path = writer.FilePath();
    update.stored = ReadWholeFile(update.path).value_or(ByteBuffer());
    update.downloaded.assign(all.end() - 8, all.end());
    return update;
}

void PutBack(benchmark::State& state, const WeekUpdate& update) {
    state.PauseTiming();
    Require(WriteFileAtomically(update.path, update.stored), "putting the file back");
    state.ResumeTiming();
}

void WeekUpdateWholeFile(benchmark::State& state, int type) {
    const WeekUpdate update = MakeWeekUpdate(type);
    for (auto _ : state) {
        PutBack(state, update);
        CExportDataFile file;
        file.Read(update.folder, PriceSymbol(), type);
        benchmark::DoNotOptimize(file.Merge(update.downloaded));
        Require(file.Write(false), "writing the whole file");
    }
}

void WeekUpdateAppend(benchmark::State& state, int type) {
    const WeekUpdate update = MakeWeekUpdate(type);
    for (auto _ : state) {
        PutBack(state, update);
        CExportDataFile file;
        file.BuildFileName(update.folder, PriceSymbol(), type);
        CFileAppendGroup group(update.folder);
        HistoryChanges changes;
        Require(file.MergeByAppending(update.downloaded, group, changes) == AppendResult::Staged,
                "staging the append");
        Require(group.Commit() == std::vector<bool>{true}, "appending");
    }
}

void BM_MetaStockWeek_WholeFile(benchmark::State& s) {
    WeekUpdateWholeFile(s, 4);
}
void BM_MetaStockWeek_Append(benchmark::State& s) {
    WeekUpdateAppend(s, 4);
}
void BM_Ascii5Week_WholeFile(benchmark::State& s) {
    WeekUpdateWholeFile(s, 5);
}
void BM_Ascii5Week_Append(benchmark::State& s) {
    WeekUpdateAppend(s, 5);
}

} // namespace

#define MVR_IO_BENCHMARK(name) BENCHMARK(name)->Unit(benchmark::kMicrosecond)->UseRealTime()

MVR_IO_BENCHMARK(BM_MergeWeek_CopyAndCount);
MVR_IO_BENCHMARK(BM_MergeWeek);
MVR_IO_BENCHMARK(BM_MetaStockWeek_WholeFile);
MVR_IO_BENCHMARK(BM_MetaStockWeek_Append);
MVR_IO_BENCHMARK(BM_Ascii5Week_WholeFile);
MVR_IO_BENCHMARK(BM_Ascii5Week_Append);
MVR_IO_BENCHMARK(BM_MetaStock_PlainRead);
MVR_IO_BENCHMARK(BM_MetaStock_PlainReadAndBars);
MVR_IO_BENCHMARK(BM_MetaStock_Read);
MVR_IO_BENCHMARK(BM_MetaStock_PlainWrite);
MVR_IO_BENCHMARK(BM_MetaStock_PlainWriteUnflushed);
MVR_IO_BENCHMARK(BM_MetaStock_Write);
MVR_IO_BENCHMARK(BM_MetaStock_EncodeOnly);
MVR_IO_BENCHMARK(BM_MetaStock_DecodeOnly);
MVR_IO_BENCHMARK(BM_MetaStockMany_PlainRead);
MVR_IO_BENCHMARK(BM_MetaStockMany_Read);
MVR_IO_BENCHMARK(BM_Ascii5_PlainRead);
MVR_IO_BENCHMARK(BM_Ascii5_Read);
MVR_IO_BENCHMARK(BM_Ascii5_PlainWrite);
MVR_IO_BENCHMARK(BM_Ascii5_Write);
MVR_IO_BENCHMARK(BM_MetaStockIndex5000_PlainRead);
MVR_IO_BENCHMARK(BM_MetaStockIndex5000_Open);
MVR_IO_BENCHMARK(BM_MetaStockIndex5000_PlainWrite);
MVR_IO_BENCHMARK(BM_MetaStockIndex5000_Save);
MVR_IO_BENCHMARK(BM_AsciiIndex5000_PlainRead);
MVR_IO_BENCHMARK(BM_AsciiIndex5000_Open);
MVR_IO_BENCHMARK(BM_AsciiIndex5000_PlainWrite);
MVR_IO_BENCHMARK(BM_AsciiIndex5000_Save);
MVR_IO_BENCHMARK(BM_Resolve500Of5000_OneListing);
MVR_IO_BENCHMARK(BM_Resolve500Of5000_SearchPerFile);

} // namespace mvr
