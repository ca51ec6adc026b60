#pragma once

#include "explorer/screen_rect.h"
#include "explorer/view_transform.h"

#include <vector>

namespace tessarin {

/// A text that belongs to a line on the screen, such as a distance written
/// beside the line it measures: the line's ends and the size of the text.
struct LineText {
    ScreenPoint from;
    ScreenPoint to;
    double width = 0;
    double height = 0;
};

/// Where a line's text went.
struct PlacedLineText {
    bool placed = false;
    ScreenRect box;
    /// The point of the line the text stands beside (`to` for a text past
    /// the line's end).
    ScreenPoint onLine;
    /// True when the text stands further from its line than the gap, joined
    /// to `onLine` by a short line from `leaderEnd`, the nearest point of the
    /// box.
    bool leader = false;
    ScreenPoint leaderEnd;
};

struct LineTextOptions {
    double pictureWidth = 0;
    double pictureHeight = 0;
    /// Free pixels between a text and its line.
    double gap = 2;
    /// Where along its line a text stands by preference, from 0 at `from`
    /// to 1 at `to`.
    double preferred = 0.7;
    /// The part of each line next to `from`, as a fraction of the line,
    /// where its text stands only when the rest of the line has no room:
    /// where the lines of a star meet, a text is not told from the others.
    double crowded = 0.4;
    /// How many steps further out, each a text height, a text may stand
    /// from its line.
    int steps = 3;
    /// Parts of the picture no text may cover (a legend).
    std::vector<ScreenRect> blocked;
    /// Boxes (labels) and the centres of markers, of half side
    /// `markerRadius`, that a text leaves free where it finds room.
    std::vector<ScreenRect> avoided;
    std::vector<ScreenPoint> markers;
    double markerRadius = 3;
};

/// Greedy placement of texts beside their lines, in the order given (the
/// first have the first choice). A text stands wholly on one side of its
/// line, the gap away from it (or one or more text heights further, with a
/// leader), at the preferred point of the line or, when that is taken, at
/// points ever further from it along the part of the line inside the
/// picture, above (or right of) the line before below it; else, when `to`
/// is in the picture, past it on the line carried on, the marker and the
/// gap away (or further, with a leader); and in the crowded part of the
/// line only when the rest has no place. A place must
/// lie wholly inside the picture and overlap no text placed before and no
/// blocked part; the first place that also leaves the avoided boxes and the
/// markers free, and stands nearer its own line than any other text's line
/// (by half its height at least; with a leader, half its height from any
/// other line), is taken, and only when there is none the first
/// of the others. So no two placed texts overlap and none is
/// cut at the picture's edge. A text whose line misses the picture, or that
/// finds no place, is left unplaced.
std::vector<PlacedLineText> PlaceLineTexts(const std::vector<LineText> &texts, const LineTextOptions &options);

} // namespace tessarin
