// Speed of the window's drawings and of a search run in the window, on the
// offscreen platform, each beside a reference measured in the same run:
//
//   BM_TableDrawing/way:0/N   the distance table as it was drawn before: the
//                             cell text formatted by strN and laid out and
//                             rasterised by QPainter::drawText at every cell;
//   BM_TableDrawing/way:1/N   the table as the window draws it now;
//   BM_MapDrawing/way:0|1/N   one improvement's map, the labels by drawText
//                             (0) or stamped from their kept rasters (1);
//   BM_Search/way:0/N         the search as the batch mode runs it (a host
//                             that formats each fit and draws nothing);
//   BM_Search/way:1/N         the same search in the window: every
//                             improvement drawn live, events processed;
//   BM_ShepardWindow/N        Map > Shepard diagram on a map of N items: the
//                             stress figures measured and the window shown
//                             (no reference: its figure is the time itself).
//
// Compare each way:1 with its way:0 in the same output; the counter "ratio"
// on way:1 is its time over way:0's.

#include "data/distance_data.h"
#include "diagnostics/map_stress.h"
#include "display/distance_table_view.h"
#include "display/map_settings.h"
#include "display/map_view.h"
#include "base/str_n.h"
#include "search/layout_search.h"
#include "base/random_source.h"
#include "run/run_fit.h"
#include "run/run_observer.h"
#include "window/main_form.h"
#include "export/painter_surface.h"
#include "window/shepard_window.h"

#include "random_tables.h"
#include "reference_ratio.h"
#include "reference_table_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <string>

namespace {

using namespace tessarin;
using bench::RecordAgainstReference;

// The window's boxes at the default picture size, 5000 twips.
constexpr int BoxPixels = 333;
constexpr double BoxTwips = 5000;
constexpr int SearchGenerations = 200;

QImage boxImage()
{
    QImage image(BoxPixels, BoxPixels, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_TableDrawing(benchmark::State &state)
{
    const int way = static_cast<int>(state.range(0));
    const int n = static_cast<int>(state.range(1));
    const DistanceData data = bench::RandomDistances(n);
    QImage image = boxImage();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        PainterSurface surface(&image, image.size(), QSizeF(BoxTwips, BoxTwips));
        surface.beginPainting();
        if (way == 0) {
            surface.setTextStamps(false);
            testing::ReferenceDistanceMatrix(surface, data, "5000");
        } else {
            DistanceMatrix(surface, data, "5000");
        }
        surface.endPainting();
        seconds += Seconds(start);
    }
    RecordAgainstReference(state, "table", way, n, seconds / static_cast<double>(state.iterations()));
    state.SetLabel(way == 0 ? "drawText at every cell (reference)" : "as the window draws it");
}

void BM_MapDrawing(benchmark::State &state)
{
    const int way = static_cast<int>(state.range(0));
    const int n = static_cast<int>(state.range(1));
    const auto layouts = bench::RandomLayouts(n, 4);
    QImage image = boxImage();
    PainterSurface surface(&image, image.size(), QSizeF(BoxTwips, BoxTwips));
    surface.setTextStamps(way == 1);
    surface.setBackColor(15);
    surface.setFontName("Arial");
    surface.setFontSize(8);
    PrepareMap(surface);
    const MapSettings settings{0, "0"};
    std::size_t k = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        surface.beginPainting();
        DrawMap(surface, layouts[k++ % layouts.size()].data(), n, 0.5, settings, {});
        surface.endPainting();
        seconds += Seconds(start);
    }
    RecordAgainstReference(state, "map", way, n, seconds / static_cast<double>(state.iterations()));
    state.SetLabel(way == 0 ? "drawText at every label (reference)" : "labels stamped");
}

/// What the batch mode's observer does during a search without a terminal:
/// formats each better fit, draws nothing.
class FitFormattingObserver final : public RunObserver {
public:
    void progress(const std::string &, int iteration) override { m_generation = iteration; }
    bool wantsMap() override { return false; }
    void improved(const Layout &, double fit) override { m_fit = strN(6, fit * 100.0); }
    bool stopRequested() override { return false; }

private:
    std::string m_fit;
    int m_generation = 0;
};

QByteArray DistanceFileText(const DistanceData &data)
{
    const int n = data.ItemCount;
    std::string text = std::to_string(n) + " Random distances\n";
    char number[32];
    for (int i = 1; i <= n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            const auto end = std::to_chars(number, number + sizeof number, data.distance(i, j)).ptr;
            text.append(number, end);
            text += j < n ? ' ' : '\n';
        }
    }
    return QByteArray::fromStdString(text);
}

void BM_Search(benchmark::State &state)
{
    const int way = static_cast<int>(state.range(0));
    const int n = static_cast<int>(state.range(1));
    const DistanceData data = bench::RandomDistances(n);
    double seconds = 0;
    if (way == 0) {
        for (auto _ : state) {
            FitFormattingObserver host;
            MersenneSource random;
            Layout best;
            const auto start = std::chrono::steady_clock::now();
            RunFit(data, best, random, {static_cast<double>(SearchGenerations)}, host);
            seconds += Seconds(start);
        }
    } else {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("random.txt"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(DistanceFileText(data)) < 0) {
            state.SkipWithError("cannot write the table");
            return;
        }
        out.close();
        for (auto _ : state) {
            MainForm form;
            form.findChild<QLineEdit *>(QStringLiteral("GAgensText"))->setText(QString::number(SearchGenerations));
            form.show();
            std::chrono::steady_clock::time_point start;
            QObject::connect(&form, &MainForm::searchStarted, [&] { start = std::chrono::steady_clock::now(); });
            QObject::connect(&form, &MainForm::runEnded, [&] { seconds += Seconds(start); });
            form.openPath(file);
        }
    }
    RecordAgainstReference(state, "search", way, n, seconds / static_cast<double>(state.iterations()));
    state.SetLabel(way == 0 ? "batch mode's host (reference)" : "in the window, drawn live");
}

// A table of points on a plane with their distances stretched by up to 20 %,
// and the points themselves moved a little as its map: about 16 000 items
// fill the window's largest table.
void BM_ShepardWindow(benchmark::State &state)
{
    const int n = static_cast<int>(state.range(0));
    std::mt19937 engine(12);
    std::uniform_real_distribution<float> uniform(0, 1000);
    std::vector<float> x(static_cast<std::size_t>(n) + 1), y(x.size());
    for (int i = 1; i <= n; ++i) {
        x[i] = uniform(engine);
        y[i] = uniform(engine);
    }
    const DistanceData data = bench::TableOf(
        n, [&](int i, int j) { return std::hypot(x[i] - x[j], y[i] - y[j]) * (0.8f + 0.4f * uniform(engine) / 1000); });
    const std::size_t side = static_cast<std::size_t>(n) + 1;
    Layout map(2 * side - 1, 0.0f);
    for (int i = 1; i <= n; ++i) {
        map[i] = x[i] + uniform(engine) / 50;
        map[n + i] = y[i] + uniform(engine) / 50;
    }
    for (auto _ : state) {
        ShepardWindow window;
        window.showFigures(std::make_shared<const StressFigures>(MeasureStress(data, map)), {},
                           QStringLiteral("random.txt"));
        window.show();
        QCoreApplication::processEvents();
    }
    state.SetLabel("measured and shown");
}

void Ways(benchmark::internal::Benchmark *b, std::initializer_list<int> sizes)
{
    for (int n : sizes)
        for (int way : {0, 1})
            b->Args({way, n});
    b->ArgNames({"way", "N"});
}

} // namespace

BENCHMARK(BM_TableDrawing)
    ->Apply([](auto *b) { Ways(b, {100, 1000}); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_TableDrawing)->Apply([](auto *b) { Ways(b, {3000}); })->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapDrawing)->Apply([](auto *b) { Ways(b, {100, 1000, 3000}); })->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShepardWindow)->ArgName("N")->Arg(16383)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Search)->Apply([](auto *b) { Ways(b, {3000}); })->Iterations(1)->Unit(benchmark::kMillisecond);
