// Speed of the map explorer on the offscreen platform, each beside a
// reference measured in the same run:
//
//   BM_ExplorerFrame/way:0/N   the plain way: every item drawn as an
//                              antialiased circle with its label painted at
//                              its right, no index, no placement;
//   BM_ExplorerFrame/way:1/N   a frame as the explorer draws it (1000 x 720,
//                              all items in view): the spatial index, the level
//                              of detail, placed labels;
//   BM_ExplorerFrame/way:2/N   the same zoomed 8 times into the centre;
//   BM_LabelPlacement/way:0/N  greedy placement testing every place against
//                              every label placed before (the same result);
//   BM_LabelPlacement/way:1/N  PlaceLabels, with its grid of taken boxes.
//
// The counter "ratio" on way:1 and way:2 is its time over way:0's.

#include "explorer/label_placement.h"
#include "explorer/view_transform.h"
#include "explorer_window/explorer_canvas.h"
#include "explorer_window/explorer_scene.h"

#include "random_tables.h"
#include "reference_ratio.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>

namespace {

using namespace tessarin;
using bench::RecordAgainstReference;

constexpr int FrameWidth = 1000;
constexpr int FrameHeight = 720;

ExplorerScene NamedScene(int n)
{
    ExplorerScene scene;
    scene.setMap(bench::RandomLayouts(n, 1).front(), n);
    ExplorerInput input;
    for (int i = 1; i <= n; ++i)
        input.names.push_back("Item " + std::to_string(i));
    scene.setInput(input);
    return scene;
}

void BM_ExplorerFrame(benchmark::State &state)
{
    const int way = static_cast<int>(state.range(0));
    const int n = static_cast<int>(state.range(1));
    const ExplorerScene scene = NamedScene(n);
    QImage image(FrameWidth, FrameHeight, QImage::Format_ARGB32_Premultiplied);
    ViewTransform view;
    view.setViewport(FrameWidth, FrameHeight);
    view.fit(scene.index().bounds(), ExplorerCanvas::FitMargin);
    if (way == 2)
        view.zoomAt(FrameWidth / 2.0, FrameHeight / 2.0, 8);
    const ExplorerLook look;
    const ExplorerMarks marks;
    double seconds = 0;
    FrameReport report;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QPainter painter(&image);
        if (way == 0) {
            painter.fillRect(image.rect(), Qt::white);
            painter.setRenderHint(QPainter::Antialiasing, true);
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSizeF(look.labelPoints);
            painter.setFont(font);
            for (int item = 0; item < n; ++item) {
                const ScreenPoint p = view.toScreen(scene.index().x(item), scene.index().y(item));
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(0x1f, 0x4e, 0x9c));
                painter.drawEllipse(QPointF(p.x, p.y), look.markerPixels / 2, look.markerPixels / 2);
                painter.setPen(Qt::black);
                painter.drawText(QPointF(p.x + 6, p.y + 4), scene.labelText(item, false));
            }
        } else {
            report = scene.paint(painter, view, look, marks);
        }
        painter.end();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    RecordAgainstReference(state, "frame", way, n, seconds / static_cast<double>(state.iterations()));
    if (way > 0) {
        state.counters["markers"] = report.markersDrawn;
        state.counters["labels"] = report.labelsPlaced;
    }
    state.SetLabel(way == 0 ? "every item and label painted (reference)" : way == 1 ? "explorer frame" : "zoomed x8");
}

std::vector<LabelRequest> Requests(int n, std::vector<ScreenPoint> &markers)
{
    std::mt19937 engine(31);
    std::uniform_real_distribution<double> x(0, FrameWidth), y(0, FrameHeight);
    std::uniform_int_distribution<int> length(4, 14);
    std::vector<LabelRequest> labels;
    for (int k = 0; k < n; ++k) {
        const ScreenPoint p{x(engine), y(engine)};
        markers.push_back(p);
        labels.push_back({p, 7.0 * length(engine), 15});
    }
    return labels;
}

// The same greedy rule as PlaceLabels, each place tested against every box
// taken before.
std::vector<PlacedLabel> PlainPlacement(const std::vector<LabelRequest> &labels,
                                        const std::vector<ScreenPoint> &markers, const PlacementOptions &options)
{
    constexpr int Directions[8][2] = {{1, 0}, {-1, 0}, {1, -1}, {-1, -1}, {1, 1}, {-1, 1}, {0, -1}, {0, 1}};
    std::vector<ScreenRect> taken;
    const double r = options.markerRadius;
    for (const ScreenPoint &m : markers)
        taken.push_back({m.x - r, m.y - r, 2 * r, 2 * r});
    std::vector<PlacedLabel> placed(labels.size());
    for (std::size_t k = 0; k < labels.size(); ++k) {
        const LabelRequest &label = labels[k];
        for (int step = 0; step <= options.leaderSteps && !placed[k].placed; ++step) {
            const double reach = r + options.gap + step * label.height;
            for (const auto &d : Directions) {
                const ScreenPoint p = label.anchor;
                ScreenRect box{0, 0, label.width, label.height};
                box.left = d[0] > 0 ? p.x + reach : d[0] < 0 ? p.x - reach - label.width : p.x - label.width / 2;
                box.top = d[1] > 0 ? p.y + reach : d[1] < 0 ? p.y - reach - label.height : p.y - label.height / 2;
                if (!box.inside(options.pictureWidth, options.pictureHeight))
                    continue;
                bool free = true;
                for (const ScreenRect &other : taken)
                    if (other.overlaps(box)) {
                        free = false;
                        break;
                    }
                if (!free)
                    continue;
                taken.push_back(box);
                placed[k].placed = true;
                placed[k].box = box;
                placed[k].leader = step > 0;
                break;
            }
        }
    }
    return placed;
}

void BM_LabelPlacement(benchmark::State &state)
{
    const int way = static_cast<int>(state.range(0));
    const int n = static_cast<int>(state.range(1));
    std::vector<ScreenPoint> markers;
    const std::vector<LabelRequest> labels = Requests(n, markers);
    PlacementOptions options;
    options.pictureWidth = FrameWidth;
    options.pictureHeight = FrameHeight;
    std::vector<PlacedLabel> placed;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        placed = way == 0 ? PlainPlacement(labels, markers, options) : PlaceLabels(labels, markers, options);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    RecordAgainstReference(state, "placement", way, n, seconds / static_cast<double>(state.iterations()));
    int count = 0;
    for (const PlacedLabel &label : placed)
        count += label.placed;
    state.counters["placed"] = count;
    if (way == 1) {
        // The grid changes the speed, not the result.
        const auto plain = PlainPlacement(labels, markers, options);
        for (std::size_t k = 0; k < plain.size(); ++k)
            if (plain[k].placed != placed[k].placed ||
                (plain[k].placed && (plain[k].box.left != placed[k].box.left || plain[k].box.top != placed[k].box.top)))
                state.SkipWithError("PlaceLabels differs from the plain placement");
    }
    state.SetLabel(way == 0 ? "every place against every box (reference)" : "PlaceLabels");
}

void Ways(benchmark::internal::Benchmark *b, std::initializer_list<int> ways, std::initializer_list<int> sizes)
{
    for (int n : sizes)
        for (int way : ways)
            b->Args({way, n});
    b->ArgNames({"way", "N"});
}

} // namespace

BENCHMARK(BM_ExplorerFrame)
    ->Apply([](auto *b) { Ways(b, {0, 1, 2}, {1797, 16383}); })
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_LabelPlacement)->Apply([](auto *b) { Ways(b, {0, 1}, {2000}); })->Unit(benchmark::kMillisecond);
