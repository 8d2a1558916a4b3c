// The data editor's price chart over 10,000 daily bars, offscreen: a full
// repaint zoomed out (a close line) and zoomed in to candles, beside a plain
// fill of the same widget's pixels as the baseline.
//   build/bench/bench_price_chart --benchmark_repetitions=5

#include "core/config/UserInfo.h"
#include "core/editing/SymbolDataEditor.h"
#include "core/formats/ExportDataFile.h"
#include "gui/editor/PriceChart.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <QApplication>
#include <QPainter>
#include <QPixmap>

namespace mvr::gui {
namespace {

constexpr int kBars = 10000;
constexpr QSize kChartSize{900, 500};

struct Chart {
    CExportDataFile store;
    ExportUserInfo user;
    CSymbolDataEditor editor{store, user};
    CPriceChart chart{editor};

    Chart() {
        for (int i = 0; i < kBars; ++i) {
            PERIODE bar;
            bar.dayNumber = 40000 + i;
            bar.close = 50.0f + static_cast<float>((i * 37) % 400) / 10.0f;
            bar.open = bar.close - 0.4f;
            bar.high = bar.close + 1.2f;
            bar.low = bar.close - 1.1f;
            bar.volume = 1000 + (i * 7919) % 50000;
            store.History().push_back(bar);
        }
        editor.Fill();
        chart.resize(kChartSize);
        chart.ShowAll();
    }
};

void PlainFillOfTheSameSize(benchmark::State& state) {
    QPixmap pixels(kChartSize);
    for (auto _ : state) {
        QPainter painter(&pixels);
        painter.fillRect(pixels.rect(), Qt::white);
    }
}
BENCHMARK(PlainFillOfTheSameSize)->Unit(benchmark::kMillisecond);

void RepaintAllBarsAsALine(benchmark::State& state) {
    Chart bench;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.chart.grab());
    }
}
BENCHMARK(RepaintAllBarsAsALine)->Unit(benchmark::kMillisecond);

void RepaintZoomedInToCandles(benchmark::State& state) {
    Chart bench;
    bench.chart.ZoomBy(16.0, kChartSize.width() / 2.0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.chart.grab());
    }
}
BENCHMARK(RepaintZoomedInToCandles)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mvr::gui

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
