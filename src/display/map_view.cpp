#include "display/map_view.h"

#include "base/lenient_number.h"
#include "display/item_label.h"
#include "base/str_n.h"

#include <algorithm>

namespace tessarin {

namespace {

constexpr int GridColor = 8;

/// How many groups the legend names before it says how many more there are.
constexpr std::size_t LegendLines = 20;

/// The groups' names in their colours, right-aligned in the top right
/// corner of the map surface, one line each.
void drawLegend(DrawingSurface &graph, const ItemGroups &groups)
{
    std::vector<std::string> lines;
    for (std::size_t g = 0; g < groups.names.size() && g < LegendLines; ++g)
        lines.push_back(" " + groups.names[g] + " ");
    if (groups.names.size() > LegendLines)
        lines.push_back(" and " + std::to_string(groups.names.size() - LegendLines) + " more ");
    double width = 0.0;
    for (const std::string &line : lines)
        width = std::max(width, graph.textWidth(line));
    const double x = 1050.0 - width;
    double y = -50.0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k < LegendLines)
            graph.setForeRgb(GroupColour(static_cast<int>(k)));
        else
            graph.setForeColor(graph.foreColor());
        graph.setCurrentX(static_cast<float>(x));
        graph.setCurrentY(static_cast<float>(y));
        graph.print(lines[k], true);
        y += graph.textHeight();
    }
}

} // namespace

void PrepareMap(DrawingSurface &graph)
{
    graph.setScale(-50, -50, 1050, 1050);
    graph.clear();
}

std::string DrawMap(DrawingSurface &graph, const float *layout, int itemCount, double fit,
                    const MapSettings &settings, const std::vector<std::string> &names, const ItemGroups &groups)
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
            if (!groups.empty())
                graph.setForeRgb(GroupColour(groups.groupOf[static_cast<std::size_t>(i - 1)]));
            else if (colourPerItem)
                graph.setForeColor(10 + i % 6);
            graph.print(MapLabelText(names, i), true);
        }
    }
    if (!groups.empty()) {
        if (graph.outerWidth() > 0 && graph.outerHeight() > 0)
            drawLegend(graph, groups);
        graph.setForeColor(graph.foreColor());
    }
    return strN(6, fit * 100.0);
}

} // namespace tessarin
