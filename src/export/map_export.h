#pragma once

#include "data/layout.h"
#include "display/map_settings.h"
#include "display/map_view.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace tessarin {

class PainterSurface;

/// The box a picture is drawn in: its size in logical pixels and in twips
/// (the map view's label offsets read the twips).
struct PictureFrame {
    QSize pixels;
    QSizeF twips;
};

/// Draws a picture from the start on a fresh surface: the export replays what
/// the window drew, with the same views and settings.
using Replay = std::function<void(PainterSurface &)>;

/// The picture on an image `scale` times the frame's size, with 96 × scale
/// dots an inch recorded in it, so that it prints at the box's size.
QImage RenderImage(const PictureFrame &frame, double scale, const Replay &replay);
/// The picture as an SVG document, lines and text as vectors, at 96 dots an
/// inch.
QByteArray RenderSvg(const PictureFrame &frame, const Replay &replay, const QString &title);
/// The image as PNG bytes; throws TessarinError when it cannot be encoded.
QByteArray EncodePng(const QImage &image);

/// Writes `bytes` to `path` through a temporary file beside it that is
/// renamed into place only when the whole file is written, so a failure
/// leaves no file behind. Throws TessarinError saying why it failed.
void SaveBytes(const QString &path, const QByteArray &bytes);

/// The map's replay: the given display settings applied as at start-up, the
/// map prepared and drawn.
Replay MapReplay(const DisplaySettings &display, const MapSettings &map, const Layout &layout, int itemCount,
                 double fit, const std::vector<std::string> &names = {});

/// True when `path` ends in .png or .svg (in any case), the names
/// WriteMapImage takes.
bool IsMapImageName(const std::string &path);

/// For the batch mode: writes the map as the window draws it with the default
/// settings on a box of 5000 twips, as PNG or SVG by the name's ending, the
/// labels the items' names when there are any.
/// Creates an offscreen application when none runs. Throws TessarinError.
void WriteMapImage(const std::string &path, const Layout &layout, int itemCount, double fit,
                   const std::vector<std::string> &names = {});

} // namespace tessarin
