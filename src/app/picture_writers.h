#pragma once

#include "data/layout.h"
#include "diagnostics/map_stress.h"
#include "distances/item_groups.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessarin {

/// The pictures the batch mode can write, handed in by the program when it
/// is built with Qt (the export library); empty otherwise, and --image,
/// --shepard and --figure are then refused. Each writes PNG or SVG by the name's ending
/// and throws TessarinError naming the file.
struct PictureWriters {
    /// Makes what the writers draw with (the application fonts need, without
    /// a display); the batch mode keeps it while it writes its pictures.
    std::function<std::shared_ptr<void>()> prepare;
    /// True when a file name ends in .png or .svg, in any case.
    std::function<bool(const std::string &path)> takes;
    /// The map as the window draws it with the default settings, the labels
    /// in their groups' colours with a legend when there are groups.
    std::function<void(const std::string &path, const Layout &layout, int itemCount, double fit,
                       const std::vector<std::string> &names, const ItemGroups &groups)>
        map;
    /// The Shepard diagram, titled with `subject`.
    std::function<void(const std::string &path, std::shared_ptr<const StressFigures> figures,
                       const std::string &subject)>
        shepard;
    /// True when a file name ends in .pdf, .svg or .png, in any case.
    std::function<bool(const std::string &path)> takesFigure;
    /// The map as a figure for publication (--figure), with `caption` under it.
    std::function<void(const std::string &path, const Layout &layout, int itemCount,
                       const std::vector<std::string> &names, const std::string &caption)>
        figure;
};

} // namespace tessarin
