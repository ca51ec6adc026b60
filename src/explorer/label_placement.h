#pragma once

#include "explorer/screen_rect.h"
#include "explorer/view_transform.h"

#include <vector>

namespace tessarin {

/// A label to place: its marker's centre and the size of its text.
struct LabelRequest {
    ScreenPoint anchor;
    double width = 0;
    double height = 0;
};

/// Where a label went. Unplaced labels are shown only on hover.
struct PlacedLabel {
    bool placed = false;
    ScreenRect box;
    /// True when the label stands away from its marker, joined to it by a
    /// short line from the marker's centre to `leaderEnd`, the nearest point
    /// of the box.
    bool leader = false;
    ScreenPoint leaderEnd;
};

struct PlacementOptions {
    double pictureWidth = 0;
    double pictureHeight = 0;
    /// Half the side of a marker's square, which no label covers.
    double markerRadius = 3;
    /// Free pixels between a marker and a label beside it.
    double gap = 2;
    /// How many steps further out, each a label height, a label may stand
    /// with a leader line when no place beside its marker is free.
    int leaderSteps = 2;
    /// Parts of the picture no label may cover (a legend).
    std::vector<ScreenRect> blocked;
};

/// Greedy placement: the labels are taken in the order given (the first
/// have the first choice), each at the first free place of: right, left,
/// above right, above left, below right, below left, above, below its
/// marker; then the same places further out with a leader line. A place is
/// free when the box lies wholly inside the picture and overlaps no label
/// placed before, no marker in `markers` (the centres of every marker
/// drawn, the label's own included) and no blocked part. So no two placed labels overlap and
/// none is cut at the picture's edge.
std::vector<PlacedLabel> PlaceLabels(const std::vector<LabelRequest> &labels, const std::vector<ScreenPoint> &markers,
                                     const PlacementOptions &options);

} // namespace tessarin
