#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "distances/item_groups.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>

namespace tessarin {

class PictureBox;

/// The tooltips of the two picture boxes: on a table cell the pair and its
/// distance ("3 Chicago – 7 Denver: 920"), on a header or row number the item,
/// on a map label the item ("3 Chicago"). The names come from the data; the
/// items keep their numbers in the table.
class ItemTooltips : public QObject {
    Q_OBJECT

public:
    /// The data drawn in the table; null while no table is shown.
    using TableSource = std::function<const DistanceData *()>;
    /// The layout drawn on the map; null while no finished map is shown.
    using MapSource = std::function<const Layout *()>;

    /// The items' groups; null or empty for none.
    using GroupsSource = std::function<const ItemGroups *()>;

    ItemTooltips(PictureBox *table, PictureBox *map, TableSource data, MapSource layout, QObject *parent = nullptr);
    /// Makes the tooltips name each item's group after it.
    void setGroups(GroupsSource groups) { m_groups = std::move(groups); }

    /// The tooltip at a point of the table box, in its pixels; empty for none.
    QString tableText(QPoint at) const;
    /// The tooltip at a point of the map box, in its pixels: the topmost
    /// label there (the last drawn); empty for none.
    QString mapText(QPoint at) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const ItemGroups &groups() const;

    PictureBox *m_table;
    PictureBox *m_map;
    TableSource m_data;
    MapSource m_layout;
    GroupsSource m_groups;
};

} // namespace tessarin
