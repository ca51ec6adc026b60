#pragma once

#include "explorer/view_transform.h"
#include "explorer_window/explorer_look.h"
#include "explorer_window/explorer_scene.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace tessarin {

enum class FigureFormat { Png, Svg, Pdf };

/// What a figure holds beyond the map as the view shows it: its format, the
/// resolution of a PNG (dots an inch; 96 gives the view's own size) and an
/// optional caption under the map.
struct FigureRequest {
    FigureFormat format = FigureFormat::Pdf;
    double dotsPerInch = 300;
    QString caption;
    QString title;
};

/// The format a file name asks for by its ending (.png, .svg, .pdf in any
/// case); false for any other ending.
bool FigureFormatOf(const QString &path, FigureFormat &format);

/// The map as a figure for publication: white background, markers, every
/// item's label as text (the ones without a free place beside their
/// markers), the groups' legend and the caption, at the view's size (96
/// dots an inch). PNG is drawn at the requested resolution; SVG and PDF keep
/// lines and text as vectors, the text selectable. Throws TessarinError when
/// the picture cannot be made.
QByteArray RenderFigure(const ExplorerScene &scene, const ViewTransform &view, const ExplorerLook &look,
                        const FigureRequest &request);

/// The figure at a fresh view of `width` × `height` pixels that fits every
/// item, with the default look (what the batch mode writes).
QByteArray RenderFittedFigure(const ExplorerScene &scene, int width, int height, const FigureRequest &request);

/// True when `path` ends in .pdf, .svg or .png (in any case), the names
/// WriteFigureFile takes.
bool IsFigureName(const std::string &path);

/// For the batch mode: writes the map of `itemCount` items (layout positions
/// 1..2N) as a figure of 1000 × 720 pixels that fits every item, labelled by
/// `names` (or the numbers), as PDF, SVG or PNG (300 dots an inch) by the
/// name's ending, with `caption` under it. Needs a GUI application. Throws
/// TessarinError.
void WriteFigureFile(const std::string &path, const Layout &layout, int itemCount,
                     const std::vector<std::string> &names, const std::string &caption);

} // namespace tessarin
