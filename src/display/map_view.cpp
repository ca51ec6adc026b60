#include "display/map_view.h"

#include "base/lenient_number.h"
#include "display/item_label.h"
#include "base/str_n.h"

namespace tessarin {

namespace {

constexpr int GridColor = 8;

} // namespace

void PrepareMap(DrawingSurface &graph)
{
    graph.setScale(-50, -50, 1050, 1050);
    graph.clear();
}

std::string DrawMap(DrawingSurface &graph, const float *layout, int itemCount, double fit,
                    const MapSettings &settings, const std::vector<std::string> &names)
{
    graph.clear();
    if (settings.showGrid == 1) {
        graph.stroke(0, 0, 1000, 1000, GridColor);
        for (int v = 100; v <= 900; v += 100) {
            graph.stroke(0, v, 1000, v, GridColor);
            graph.stroke(v, 0, v, 1000, GridColor);
        }
    }
    const bool colourPerItem = LenientNumber(settings.foreText) == -1.0;
    const int n = itemCount;
    if (graph.outerWidth() > 0 && graph.outerHeight() > 0) {
        for (int i = 1; i <= n; ++i) {
            const double dx = static_cast<double>(graph.fontSize()) * 12000.0 / graph.outerWidth();
            graph.setCurrentX(static_cast<float>(layout[i] - dx));
            const double dy = static_cast<double>(graph.fontSize()) * 12000.0 / graph.outerHeight();
            graph.setCurrentY(static_cast<float>(layout[n + i] - dy));
            if (colourPerItem)
                graph.setForeColor(10 + i % 6);
            graph.print(MapLabelText(names, i), true);
        }
    }
    return strN(6, fit * 100.0);
}

} // namespace tessarin
