// The main window over a directory of 10,000 symbols, offscreen: showing the
// directory (its index read and the symbol list repainted), sorting the list
// and scrolling it a page, next to reading the same index without a window.
//   build/bench/bench_window_lists --benchmark_repetitions=5

#include "core/app/Session.h"
#include "core/formats/ExportDirectory.h"
#include "core/formats/FormatCatalogue.h"
#include "core/platform/FileSystem.h"
#include "core/platform/Paths.h"
#include "gui/window/MVRKrsExpDlg.h"

#include <QApplication>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace mvr::gui {
namespace {

constexpr int kSymbols = 10000;

struct Fixture {
    std::string root;
    std::string large;
    std::string small;
};

void Require(bool done, const char* what) {
    if (!done) {
        std::fprintf(stderr, "WindowListsBench: %s failed\n", what);
        std::exit(1);
    }
}

std::string MakeDirectory(const std::string& path, int symbols) {
    const std::string folder = WithTrailingSeparator(path);
    CExportDirectory index(kFormatAsciiComma);
    Require(CreateFolders(folder) && index.Create(folder, 0.0, kFormatAsciiComma),
            "creating an index");
    for (int i = 0; i < symbols; ++i) {
        ExportSymbolInfo symbol;
        // Names out of order, so that a sort has work to do.
        symbol.symbol = "S" + std::to_string((i * 7919) % symbols);
        symbol.name = "Instrument " + std::to_string((i * 104729) % symbols);
        symbol.sinCode = i + 1;
        symbol.firstDate = 36526.0 + i % 300;
        symbol.lastDate = 46000.0 + i % 50;
        Require(index.AddSymbol(symbol), "adding a symbol");
    }
    Require(index.Save(), "saving an index");
    return folder;
}

const Fixture& TheFixture() {
    static const Fixture fixture = [] {
        Fixture made;
        made.root = (std::filesystem::temp_directory_path() / "mvr-window-bench").string();
        std::filesystem::remove_all(made.root);
        made.large = MakeDirectory(made.root + "/large", kSymbols);
        made.small = MakeDirectory(made.root + "/small", 1);
        setenv("MVRKRSEXP_CONFIG_DIR", (made.root + "/config").c_str(), 1);
        Require(CreateFolders(made.root + "/config"), "creating the configuration folder");
        CMVRKrsExpSession setup;
        for (const std::string& path : {made.large, made.small}) {
            MVRKrsExportInfo record;
            record.path = path;
            record.formatType = kFormatAsciiComma;
            setup.Directories().push_back(record);
        }
        setup.User().account = "bench";
        setup.User().password = "BENCH";
        Require(setup.StoreConfig(), "storing the configuration");
        return made;
    }();
    return fixture;
}

struct Window {
    CMVRKrsExpSession session;
    CMVRKrsExpDlg window{session};

    Window() {
        TheFixture();
        Require(window.Initialise(), "opening the window");
        window.resize(1000, 600);
        window.show();
        QApplication::processEvents();
    }

    int RowOf(const std::string& path) {
        QAbstractItemModel* model = window.DirectoryView()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, 0).data().toString().toStdString() == path) {
                return row;
            }
        }
        return -1;
    }

    void Repaint() {
        window.SymbolView()->viewport()->repaint();
    }
};

void IndexReadWithoutWindow(benchmark::State& state) {
    const Fixture& fixture = TheFixture();
    for (auto _ : state) {
        CExportDirectory index(kFormatAsciiComma);
        Require(index.Open(fixture.large, kFormatAsciiComma), "opening the index");
        benchmark::DoNotOptimize(index.SymbolCount());
    }
}
BENCHMARK(IndexReadWithoutWindow)->Unit(benchmark::kMillisecond);

// Each round shows the small directory, then the large one: the large index
// is read, the list reset and its first page painted.
void WindowShowsTheDirectory(benchmark::State& state) {
    Window bench;
    const int large = bench.RowOf(TheFixture().large);
    const int small = bench.RowOf(TheFixture().small);
    for (auto _ : state) {
        state.PauseTiming();
        bench.window.DirectoryView()->selectRow(small);
        state.ResumeTiming();
        bench.window.DirectoryView()->selectRow(large);
        bench.Repaint();
    }
    Require(bench.window.SymbolView()->model()->rowCount() == kSymbols, "showing the symbols");
}
BENCHMARK(WindowShowsTheDirectory)->Unit(benchmark::kMillisecond);

void WindowSortsTheSymbols(benchmark::State& state) {
    Window bench;
    bench.window.DirectoryView()->selectRow(bench.RowOf(TheFixture().large));
    int column = 0;
    for (auto _ : state) {
        bench.session.SymbolList().SortByColumn(column);
        bench.Repaint();
        column = (column + 1) % 4;
    }
}
BENCHMARK(WindowSortsTheSymbols)->Unit(benchmark::kMillisecond);

void WindowScrollsAPage(benchmark::State& state) {
    Window bench;
    bench.window.DirectoryView()->selectRow(bench.RowOf(TheFixture().large));
    QScrollBar* bar = bench.window.SymbolView()->verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(bar->value() + bar->pageStep() < bar->maximum()
                          ? bar->value() + bar->pageStep()
                          : 0);
        bench.Repaint();
    }
}
BENCHMARK(WindowScrollsAPage)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace mvr::gui

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(mvr::gui::TheFixture().root);
    return 0;
}
