#pragma once

#include "data/layout.h"
#include "explorer/explorer_input.h"
#include "explorer/label_placement.h"
#include "explorer/line_text_placement.h"
#include "explorer/spatial_index.h"
#include "explorer/table_neighbours.h"
#include "explorer/view_transform.h"
#include "explorer_window/explorer_look.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <vector>

class QPainter;

namespace tessarin {

/// What the user marked on the explorer's map: the items found (0-based),
/// the item clicked with its nearest items in the table, the item under the
/// pointer.
struct ExplorerMarks {
    std::vector<int> found;
    int selected = -1;
    std::vector<TableNeighbour> neighbours;
    int hovered = -1;
};

/// What a frame drew, for tests and the benchmark.
struct FrameReport {
    int visible = 0;
    int markersDrawn = 0;
    /// The items offered a label (0-based), in the order placed, and where
    /// each went.
    std::vector<int> labelled;
    std::vector<PlacedLabel> placements;
    int labelsPlaced = 0;
    /// The clicked item's distance texts, one for each line drawn to one of
    /// its nearest items (in the order of ExplorerMarks::neighbours), and
    /// where each went; unplaced ones are not drawn.
    std::vector<PlacedLineText> distanceTexts;
};

/// How a frame is drawn beyond the look: on screen unplaced labels wait for
/// the pointer; a figure prints every name (the unplaced ones beside their
/// markers) and a legend, and may carry a caption.
struct FrameOptions {
    bool figure = false;
    /// Printed in a band of CaptionBand pixels below the view's picture.
    QString caption;
};

/// The map the explorer shows, ready to draw at any view: the positions of
/// a layout, what is known about the items, and a spatial index over them.
class ExplorerScene {
public:
    /// Above this many items in view only the marked items get labels, and
    /// of the markers one is drawn in each cell of half a marker's side.
    static constexpr int LabelLimit = 2500;
    /// The height of the band below a figure that holds its caption.
    static constexpr int CaptionBand = 28;

    ExplorerScene() = default;
    /// A map of `itemCount` items (layout positions 1..2N).
    void setMap(const Layout &layout, int itemCount);
    void setInput(ExplorerInput input);

    int itemCount() const { return m_itemCount; }
    const Layout &layout() const { return m_layout; }
    const ExplorerInput &input() const { return m_input; }
    const SpatialIndex &index() const { return m_index; }
    /// The label text of item `item` (0-based).
    QString labelText(int item, bool numbers) const;
    QString groupName(int item) const;

    /// Draws the map as `view` shows it on a picture of the view's size.
    FrameReport paint(QPainter &painter, const ViewTransform &view, const ExplorerLook &look,
                      const ExplorerMarks &marks, const FrameOptions &options = {}) const;

    /// The colour of group `group` (-1 for no group).
    static QColor GroupColor(int group, bool dark);

private:
    double markerSide(int item, const ExplorerLook &look) const;

    Layout m_layout;
    int m_itemCount = 0;
    ExplorerInput m_input;
    SpatialIndex m_index;
    double m_meanShare = 0;
};

} // namespace tessarin
