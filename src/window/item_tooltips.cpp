#include "window/item_tooltips.h"

#include "display/item_label.h"
#include "window/picture_box.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QRectF>
#include <QToolTip>

#include <cmath>

namespace tessarin {

ItemTooltips::ItemTooltips(PictureBox *table, PictureBox *map, TableSource data, MapSource layout, QObject *parent)
    : QObject(parent), m_table(table), m_map(map), m_data(std::move(data)), m_layout(std::move(layout))
{
    m_table->installEventFilter(this);
    m_map->installEventFilter(this);
}

QString ItemTooltips::tableText(QPoint at) const
{
    const DistanceData *data = m_data();
    if (!data || data->empty() || m_table->width() <= 0 || m_table->height() <= 0)
        return {};
    // The table's scale puts N + 1 unit cells across and down the box.
    const int side = data->ItemCount + 1;
    const int column = static_cast<int>(std::floor(at.x() * double(side) / m_table->width()));
    const int row = static_cast<int>(std::floor(at.y() * double(side) / m_table->height()));
    if (row < 0 || column < 0 || row >= side || column >= side || (row == 0 && column == 0))
        return {};
    const ItemGroups &groups = this->groups();
    if (row == 0 || column == 0 || row == column)
        return QString::fromStdString(ItemTitle(data->Names, groups, row == 0 ? column : row));
    if (data->pairWeight(row, column) == 0.0f)
        return QString::fromStdString(ItemTitle(data->Names, groups, row) + " \u2013 " +
                                      ItemTitle(data->Names, groups, column)) +
               QStringLiteral(": ") + tr("missing");
    return QString::fromStdString(PairTitle(data->Names, groups, row, column, data->distance(row, column)));
}

QString ItemTooltips::mapText(QPoint at) const
{
    const DistanceData *data = m_data();
    const Layout *layout = m_layout();
    const int n = data ? data->ItemCount : 0;
    if (!layout || n < 1 || layout->size() < 2 * static_cast<std::size_t>(n) + 1 || m_map->width() <= 0 ||
        m_map->outerWidth() <= 0 || m_map->outerHeight() <= 0)
        return {};
    // Where the map view prints each label: its text's top left corner at
    // the item's point less the offset, in the scale -50..1050.
    const double toX = m_map->width() / 1100.0;
    const double toY = m_map->height() / 1100.0;
    const double dx = static_cast<double>(m_map->fontSize()) * 12000.0 / m_map->outerWidth();
    const double dy = static_cast<double>(m_map->fontSize()) * 12000.0 / m_map->outerHeight();
    const QFontMetricsF metrics(m_map->drawingFont());
    for (int i = n; i >= 1; --i) {
        const double x = ((*layout)[static_cast<std::size_t>(i)] - dx + 50.0) * toX;
        const double y = ((*layout)[static_cast<std::size_t>(n + i)] - dy + 50.0) * toY;
        const QString label = QString::fromStdString(MapLabelText(data->Names, i));
        if (QRectF(x, y, metrics.horizontalAdvance(label), metrics.height()).contains(at))
            return QString::fromStdString(ItemTitle(data->Names, groups(), i));
    }
    return {};
}

const ItemGroups &ItemTooltips::groups() const
{
    static const ItemGroups none;
    const ItemGroups *groups = m_groups ? m_groups() : nullptr;
    return groups ? *groups : none;
}

bool ItemTooltips::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ToolTip && (watched == m_table || watched == m_map)) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString text = watched == m_table ? tableText(help->pos()) : mapText(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, static_cast<QWidget *>(watched));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tessarin
