#include "explorer_window/explorer_scene.h"

#include "explorer/detail_thinning.h"
#include "explorer/group_shapes.h"
#include "explorer/line_text_placement.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessarin {

namespace {

// Up to this many markers are drawn as antialiased circles, beyond it as
// squares (the level of detail of a crowded view).
constexpr int RoundMarkerLimit = 3000;
constexpr double LegendMargin = 8;
// Free pixels left and right of a distance's text on its pad.
constexpr double DistancePad = 2;

QColor Background(bool dark)
{
    return dark ? QColor(0x20, 0x22, 0x26) : QColor(Qt::white);
}

QColor Ink(bool dark)
{
    return dark ? QColor(0xe8, 0xe8, 0xe8) : QColor(0x10, 0x10, 0x10);
}

QColor Highlight()
{
    return QColor(0xff, 0x8c, 0x00);
}

QFont LabelFont(double points)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(std::clamp(points, 1.0, 200.0));
    // No ligatures: a figure's text reads back letter for letter ("fi", not "ﬁ").
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QString NumberText(double value)
{
    return QString::number(value, 'g', 4);
}

} // namespace

QColor ExplorerScene::GroupColor(int group, bool dark)
{
    if (group < 0)
        return dark ? QColor(0x8a, 0xb4, 0xf8) : QColor(0x1f, 0x4e, 0x9c);
    // Ten colours told apart also by most colour-blind readers.
    static const QColor colors[] = {QColor(0x00, 0x72, 0xb2), QColor(0xe6, 0x9f, 0x00), QColor(0x00, 0x9e, 0x73),
                                    QColor(0xcc, 0x79, 0xa7), QColor(0xd5, 0x5e, 0x00), QColor(0x56, 0xb4, 0xe9),
                                    QColor(0x8c, 0x6d, 0x31), QColor(0x6a, 0x3d, 0x9a), QColor(0x99, 0x99, 0x99),
                                    QColor(0xb2, 0x18, 0x2b)};
    QColor color = colors[group % 10];
    return dark ? color.lighter(130) : color;
}

void ExplorerScene::setMap(const Layout &layout, int itemCount)
{
    m_itemCount = std::max(0, itemCount);
    const auto n = static_cast<std::size_t>(m_itemCount);
    if (layout.size() < 2 * n + 1) {
        m_itemCount = 0;
        m_layout.clear();
        m_index = SpatialIndex();
        return;
    }
    m_layout.assign(layout.begin(), layout.begin() + static_cast<std::ptrdiff_t>(2 * n + 1));
    std::vector<double> xs(n), ys(n);
    for (std::size_t k = 0; k < n; ++k) {
        xs[k] = m_layout[k + 1];
        ys[k] = m_layout[n + k + 1];
    }
    m_index = SpatialIndex(std::move(xs), std::move(ys));
}

void ExplorerScene::setInput(ExplorerInput input)
{
    m_input = std::move(input);
    m_meanShare = 0;
    if (!m_input.stressShares.empty()) {
        for (double share : m_input.stressShares)
            m_meanShare += share;
        m_meanShare /= static_cast<double>(m_input.stressShares.size());
    }
}

QString ExplorerScene::labelText(int item, bool numbers) const
{
    if (!numbers && m_input.hasNames(m_itemCount) && item >= 0 && item < m_itemCount)
        return QString::fromStdString(m_input.names[static_cast<std::size_t>(item)]);
    return QString::number(item + 1);
}

QString ExplorerScene::groupName(int item) const
{
    if (!m_input.hasGroups(m_itemCount) || item < 0 || item >= m_itemCount)
        return {};
    const int group = m_input.groups[static_cast<std::size_t>(item)];
    if (group < 0 || group >= static_cast<int>(m_input.groupNames.size()))
        return {};
    return QString::fromStdString(m_input.groupNames[static_cast<std::size_t>(group)]);
}

double ExplorerScene::markerSide(int item, const ExplorerLook &look) const
{
    const double side = std::max(1.0, look.markerPixels);
    if (!look.sizeByStress || !m_input.hasStressShares(m_itemCount) || !(m_meanShare > 0))
        return side;
    const double ratio = m_input.stressShares[static_cast<std::size_t>(item)] / m_meanShare;
    return side * std::clamp(std::sqrt(std::max(0.0, ratio)), 0.5, 3.0);
}

FrameReport ExplorerScene::paint(QPainter &painter, const ViewTransform &view, const ExplorerLook &look,
                                 const ExplorerMarks &marks, const FrameOptions &options) const
{
    FrameReport report;
    const bool dark = look.dark && !options.figure;
    const double width = view.viewportWidth(), height = view.viewportHeight();
    painter.save();
    painter.fillRect(QRectF(0, 0, width, height), Background(dark));
    if (m_itemCount == 0) {
        painter.restore();
        return report;
    }
    const bool groups = m_input.hasGroups(m_itemCount);
    const auto groupOf = [&](int item) { return groups ? m_input.groups[static_cast<std::size_t>(item)] : -1; };

    // The items in view, and of them one a cell when the view is crowded.
    const double reach = 3 * std::max(1.0, look.markerPixels) / view.scale();
    MapBounds area = view.visibleMap();
    area = {area.left - reach, area.top - reach, area.right + reach, area.bottom + reach};
    const std::vector<int> visible = m_index.itemsIn(area);
    report.visible = static_cast<int>(visible.size());
    std::vector<ScreenPoint> points(visible.size());
    for (std::size_t k = 0; k < visible.size(); ++k)
        points[k] = view.toScreen(m_index.x(visible[k]), m_index.y(visible[k]));
    std::vector<int> kept;
    if (static_cast<int>(visible.size()) > LabelLimit) {
        kept = ThinToCells(points, width, height, std::max(1.0, look.markerPixels / 2));
    } else {
        for (std::size_t k = 0; k < points.size(); ++k)
            kept.push_back(static_cast<int>(k));
    }

    // Group hulls and ellipses under the markers, from every item of a group.
    if (groups && (look.hulls || look.ellipses)) {
        std::vector<std::vector<ScreenPoint>> members(m_input.groupNames.size());
        for (int item = 0; item < m_itemCount; ++item) {
            const int group = groupOf(item);
            if (group >= 0 && group < static_cast<int>(members.size()))
                members[static_cast<std::size_t>(group)].push_back(view.toScreen(m_index.x(item), m_index.y(item)));
        }
        painter.setRenderHint(QPainter::Antialiasing, true);
        for (std::size_t g = 0; g < members.size(); ++g) {
            QColor line = GroupColor(static_cast<int>(g), dark);
            QColor fill = line;
            fill.setAlpha(40);
            if (look.hulls) {
                QPolygonF polygon;
                for (const ScreenPoint &p : ConvexHull(members[g]))
                    polygon << QPointF(p.x, p.y);
                painter.setPen(QPen(line, 1.5));
                painter.setBrush(fill);
                painter.drawPolygon(polygon);
            }
            if (look.ellipses) {
                const SpreadEllipse e = SpreadEllipseOf(members[g]);
                if (e.valid) {
                    painter.save();
                    painter.translate(e.centre.x, e.centre.y);
                    painter.rotate(e.angle * 180 / std::numbers::pi);
                    painter.setPen(QPen(line, 1.5, Qt::DashLine));
                    painter.setBrush(Qt::NoBrush);
                    painter.drawEllipse(QPointF(0, 0), e.major, e.minor);
                    painter.restore();
                }
            }
        }
    }

    // Markers: circles while few, squares in one call per colour beyond.
    const bool round = static_cast<int>(kept.size()) <= RoundMarkerLimit;
    painter.setRenderHint(QPainter::Antialiasing, round);
    painter.setPen(Qt::NoPen);
    if (round) {
        for (int k : kept) {
            const int item = visible[static_cast<std::size_t>(k)];
            const double half = markerSide(item, look) / 2;
            painter.setBrush(GroupColor(groupOf(item), dark));
            painter.drawEllipse(QPointF(points[static_cast<std::size_t>(k)].x, points[static_cast<std::size_t>(k)].y),
                                half, half);
        }
    } else {
        const int colors = groups ? static_cast<int>(m_input.groupNames.size()) + 1 : 1;
        std::vector<std::vector<QRectF>> squares(static_cast<std::size_t>(colors));
        for (int k : kept) {
            const int item = visible[static_cast<std::size_t>(k)];
            const double side = markerSide(item, look);
            const int group = std::clamp(groupOf(item) + 1, 0, colors - 1);
            const ScreenPoint &p = points[static_cast<std::size_t>(k)];
            squares[static_cast<std::size_t>(group)].emplace_back(p.x - side / 2, p.y - side / 2, side, side);
        }
        for (int c = 0; c < colors; ++c) {
            const auto &list = squares[static_cast<std::size_t>(c)];
            if (list.empty())
                continue;
            painter.setBrush(GroupColor(c - 1, dark));
            painter.drawRects(list.data(), static_cast<int>(list.size()));
        }
    }
    report.markersDrawn = static_cast<int>(kept.size());

    std::vector<ScreenPoint> markerPoints;
    markerPoints.reserve(kept.size());
    for (int k : kept)
        markerPoints.push_back(points[static_cast<std::size_t>(k)]);
    const QFont font = LabelFont(look.labelPoints);
    const QFontMetricsF metrics(font, painter.device());

    // The legend of the groups, top right; no label or distance covers it.
    QRectF legendBox;
    const double legendLine = metrics.height() + 2;
    if (groups) {
        double legendWidth = 0;
        for (const std::string &name : m_input.groupNames)
            legendWidth = std::max(legendWidth, metrics.horizontalAdvance(QString::fromStdString(name)));
        const double boxWidth = legendWidth + legendLine + 3 * LegendMargin;
        const double boxHeight = legendLine * static_cast<double>(m_input.groupNames.size()) + 2 * LegendMargin;
        legendBox = QRectF(std::max(0.0, width - boxWidth - LegendMargin), LegendMargin, boxWidth, boxHeight);
    }

    // The clicked item's lines to its nearest items in the table, each with
    // its given and its map distance beside it: placed before the labels, so
    // that they neither overlap each other nor leave the view.
    const bool inspecting = marks.selected >= 0 && marks.selected < m_itemCount;
    QFont distanceFont = font;
    distanceFont.setPointSizeF(std::max(6.0, look.labelPoints * 0.85));
    const QFontMetricsF distanceMetrics(distanceFont, painter.device());
    std::vector<LineText> distanceLines;
    std::vector<QString> distanceTexts;
    if (inspecting) {
        const ScreenPoint from = view.toScreen(m_index.x(marks.selected), m_index.y(marks.selected));
        for (const TableNeighbour &neighbour : marks.neighbours) {
            const int other = neighbour.item - 1;
            if (other < 0 || other >= m_itemCount)
                continue;
            const double mapDistance = m_input.mapScale > 0 ? neighbour.map * m_input.mapScale : neighbour.map;
            distanceTexts.push_back(NumberText(neighbour.given) + QStringLiteral(" / ") + NumberText(mapDistance));
            distanceLines.push_back({from, view.toScreen(m_index.x(other), m_index.y(other)),
                                     distanceMetrics.horizontalAdvance(distanceTexts.back()) + 2 * DistancePad,
                                     distanceMetrics.height()});
        }
        LineTextOptions options;
        options.pictureWidth = width;
        options.pictureHeight = height;
        options.markers = markerPoints;
        options.markerRadius = std::max(1.0, look.markerPixels) / 2;
        if (groups)
            options.blocked.push_back({legendBox.left(), legendBox.top(), legendBox.width(), legendBox.height()});
        report.distanceTexts = PlaceLineTexts(distanceLines, options);
    }

    // Labels: the marked items first, then the others in item order.
    painter.setFont(font);
    std::vector<int> order;
    std::vector<char> marked(static_cast<std::size_t>(m_itemCount), 0);
    auto mark = [&](int item) {
        if (item >= 0 && item < m_itemCount && !marked[static_cast<std::size_t>(item)]) {
            marked[static_cast<std::size_t>(item)] = 1;
            order.push_back(item);
        }
    };
    mark(marks.selected);
    for (int item : marks.found)
        mark(item);
    if (static_cast<int>(kept.size()) <= LabelLimit)
        for (int k : kept)
            mark(visible[static_cast<std::size_t>(k)]);
    std::vector<LabelRequest> requests;
    requests.reserve(order.size());
    for (int item : order) {
        const ScreenPoint p = view.toScreen(m_index.x(item), m_index.y(item));
        requests.push_back({p, metrics.horizontalAdvance(labelText(item, look.numbers)), metrics.height()});
    }
    PlacementOptions placement;
    placement.pictureWidth = width;
    placement.pictureHeight = height;
    placement.markerRadius = std::max(1.0, look.markerPixels) / 2;
    placement.gap = 2;
    placement.leaderSteps = options.figure ? 3 : 2;
    if (groups)
        placement.blocked.push_back({legendBox.left(), legendBox.top(), legendBox.width(), legendBox.height()});
    // The labels leave the clicked item's distances free.
    for (const PlacedLineText &text : report.distanceTexts)
        if (text.placed)
            placement.blocked.push_back(text.box);
    report.placements = PlaceLabels(requests, markerPoints, placement);
    report.labelled = order;

    painter.setRenderHint(QPainter::Antialiasing, true);
    const QColor ink = Ink(dark);
    QColor faint = ink;
    faint.setAlpha(140);
    painter.setPen(QPen(faint, 0.8));
    for (std::size_t k = 0; k < order.size(); ++k) {
        const PlacedLabel &label = report.placements[k];
        if (label.placed && label.leader)
            painter.drawLine(QPointF(requests[k].anchor.x, requests[k].anchor.y),
                             QPointF(label.leaderEnd.x, label.leaderEnd.y));
    }
    painter.setPen(ink);
    for (std::size_t k = 0; k < order.size(); ++k) {
        const PlacedLabel &label = report.placements[k];
        const QString text = labelText(order[k], look.numbers);
        if (label.placed) {
            ++report.labelsPlaced;
            painter.drawText(QPointF(label.box.left, label.box.top + metrics.ascent()), text);
        } else if (options.figure) {
            // A figure names every item: the rest beside their markers.
            painter.setPen(faint);
            const ScreenPoint p = requests[k].anchor;
            const double left = std::clamp(p.x + placement.markerRadius + 2, 0.0,
                                           std::max(0.0, width - requests[k].width));
            const double top = std::clamp(p.y - requests[k].height / 2, 0.0, std::max(0.0, height - requests[k].height));
            painter.drawText(QPointF(left, top + metrics.ascent()), text);
            painter.setPen(ink);
        }
    }

    // Found items ringed; the clicked one ringed with lines to its nearest
    // items in the table, each with its given and its map distance.
    painter.setBrush(Qt::NoBrush);
    for (int item : marks.found) {
        if (item < 0 || item >= m_itemCount)
            continue;
        const ScreenPoint p = view.toScreen(m_index.x(item), m_index.y(item));
        painter.setPen(QPen(Highlight(), 2.5));
        const double r = markerSide(item, look) / 2 + 4;
        painter.drawEllipse(QPointF(p.x, p.y), r, r);
    }
    if (inspecting) {
        const ScreenPoint from = view.toScreen(m_index.x(marks.selected), m_index.y(marks.selected));
        const QColor lineColor(0xd0, 0x20, 0x20);
        painter.setPen(QPen(lineColor, 1.2, Qt::DashLine));
        for (const LineText &line : distanceLines)
            painter.drawLine(QPointF(line.from.x, line.from.y), QPointF(line.to.x, line.to.y));
        // Each text on a pad of the background, so that lines under it do
        // not cross its digits.
        painter.setFont(distanceFont);
        QColor pad = Background(dark);
        pad.setAlpha(215);
        for (std::size_t k = 0; k < distanceLines.size(); ++k) {
            const PlacedLineText &text = report.distanceTexts[k];
            if (!text.placed)
                continue;
            // A leader in the colour of the lines, so that a text set off
            // from its line is read with it and not with a label.
            if (text.leader) {
                painter.setPen(QPen(lineColor, 0.8));
                painter.drawLine(QPointF(text.onLine.x, text.onLine.y), QPointF(text.leaderEnd.x, text.leaderEnd.y));
            }
            const QRectF box(text.box.left, text.box.top, text.box.width, text.box.height);
            painter.fillRect(box, pad);
            painter.setPen(ink);
            painter.drawText(QPointF(box.left() + DistancePad, box.top() + distanceMetrics.ascent()), distanceTexts[k]);
        }
        painter.setFont(font);
        painter.setPen(QPen(QColor(0xd0, 0x20, 0x20), 2.5));
        const double r = markerSide(marks.selected, look) / 2 + 5;
        painter.drawEllipse(QPointF(from.x, from.y), r, r);
    }

    // The item under the pointer: its label in a box, whole inside the view.
    if (marks.hovered >= 0 && marks.hovered < m_itemCount) {
        const ScreenPoint p = view.toScreen(m_index.x(marks.hovered), m_index.y(marks.hovered));
        const QString text = labelText(marks.hovered, false) +
                             (look.numbers || !m_input.hasNames(m_itemCount)
                                  ? QString()
                                  : QStringLiteral(" (%1)").arg(marks.hovered + 1));
        const double w = metrics.horizontalAdvance(text) + 8, h = metrics.height() + 4;
        const double left = std::clamp(p.x + 8, 0.0, std::max(0.0, width - w));
        const double top = std::clamp(p.y - h - 6, 0.0, std::max(0.0, height - h));
        painter.setPen(QPen(ink, 1));
        painter.setBrush(Background(dark));
        painter.drawRect(QRectF(left, top, w, h));
        painter.drawText(QPointF(left + 4, top + 2 + metrics.ascent()), text);
    }

    if (groups) {
        painter.setPen(QPen(faint, 1));
        painter.setBrush(Background(dark));
        painter.drawRect(legendBox);
        for (std::size_t g = 0; g < m_input.groupNames.size(); ++g) {
            const double left = legendBox.left();
            const double top = 2 * LegendMargin + legendLine * static_cast<double>(g);
            painter.setPen(Qt::NoPen);
            painter.setBrush(GroupColor(static_cast<int>(g), dark));
            painter.drawEllipse(QPointF(left + LegendMargin + legendLine / 2, top + legendLine / 2 - 1), legendLine / 3,
                                legendLine / 3);
            painter.setPen(ink);
            painter.drawText(QPointF(left + 2 * LegendMargin + legendLine, top + metrics.ascent()),
                             QString::fromStdString(m_input.groupNames[g]));
        }
    }

    if (!options.caption.isEmpty()) {
        painter.setPen(ink);
        // Below the picture: a figure's page leaves a band for it.
        painter.drawText(QRectF(LegendMargin, height + 4, width - 2 * LegendMargin, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, options.caption);
    }
    painter.restore();
    return report;
}

} // namespace tessarin
