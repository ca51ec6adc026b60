#include "export/map_export.h"

#include "base/tessarin_error.h"
#include "display/twips.h"
#include "export/offscreen_application.h"
#include "export/painter_surface.h"
#include "io/atomic_file.h"
#include "export/image_limits.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cmath>
#include <cstring>
#include <memory>

namespace tessarin {

namespace {

// 96 dots an inch, the resolution point sizes are measured at.
constexpr int DotsPerMeter = 3780;
constexpr int Dpi = 96;

} // namespace

QImage RenderImage(const PictureFrame &frame, double scale, const Replay &replay)
{
    if (frame.pixels.isEmpty() || !(scale > 0) || !std::isfinite(scale))
        throw TessarinError("there is no picture to draw: the box has no size");
    const double width = std::round(frame.pixels.width() * scale);
    const double height = std::round(frame.pixels.height() * scale);
    if (!(width <= LargestImageSide) || !(height <= LargestImageSide))
        throw TessarinError("an image " + QString::number(scale).toStdString() + " times the box of " +
                            std::to_string(frame.pixels.width()) + " by " + std::to_string(frame.pixels.height()) +
                            " pixels is larger than the largest image, " + std::to_string(LargestImageSide) +
                            " pixels a side");
    QImage image = NewImage(QSize(int(width), int(height)), QImage::Format_RGB32, "an image");
    // Drawn at 96 dots an inch, so that fonts have the window's sizes in
    // logical pixels; the scale enlarges the whole picture.
    image.setDotsPerMeterX(DotsPerMeter);
    image.setDotsPerMeterY(DotsPerMeter);
    image.fill(Qt::white);
    {
        PainterSurface surface(&image, frame.pixels, frame.twips, scale);
        surface.beginPainting();
        replay(surface);
        surface.endPainting();
    }
    // Printed, the picture keeps the box's size at the finer resolution.
    image.setDotsPerMeterX(qRound(DotsPerMeter * scale));
    image.setDotsPerMeterY(qRound(DotsPerMeter * scale));
    return image;
}

QByteArray RenderSvg(const PictureFrame &frame, const Replay &replay, const QString &title)
{
    if (frame.pixels.isEmpty())
        throw TessarinError("there is no picture to draw: the box has no size");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(frame.pixels);
    generator.setViewBox(QRect(QPoint(0, 0), frame.pixels));
    generator.setResolution(Dpi);
    generator.setTitle(title);
    generator.setDescription(QStringLiteral("Drawn by Tessarin"));
    {
        PainterSurface surface(&generator, frame.pixels, frame.twips, 1.0);
        surface.beginPainting();
        replay(surface);
        // The generator writes the document when its painter ends.
        surface.endPainting();
    }
    buffer.close();
    return bytes;
}

QByteArray EncodePng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw TessarinError("the picture could not be encoded as PNG");
    return bytes;
}

void SaveBytes(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        throw TessarinError("no file name was given");
    if (const int error = WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                              std::string_view(bytes.constData(), std::size_t(bytes.size()))))
        throw TessarinError(std::strerror(error));
}

Replay MapReplay(const DisplaySettings &display, const MapSettings &map, const Layout &layout, int itemCount,
                 double fit, const std::vector<std::string> &names)
{
    if (itemCount < 1 || layout.size() < 2 * static_cast<std::size_t>(itemCount) + 1)
        throw TessarinError("there is no map to draw");
    return [display, map, layout, itemCount, fit, names](PainterSurface &surface) {
        ApplyMapSettings(surface, display, SettingsForm::StartUp);
        PrepareMap(surface);
        DrawMap(surface, layout.data(), itemCount, fit, map, names);
    };
}

bool IsMapImageName(const std::string &path)
{
    const QString name = QFile::decodeName(path.c_str());
    return name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ||
           name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
}

void WriteMapImage(const std::string &path, const Layout &layout, int itemCount, double fit,
                   const std::vector<std::string> &names)
{
    const QString name = QFile::decodeName(path.c_str());
    const bool png = name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
    if (!IsMapImageName(path))
        throw TessarinError("--image " + path + ": the name must end in .png or .svg");

    // Fonts need a GUI application; without a display it draws offscreen.
    const OffscreenApplication application;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw TessarinError("--image needs a GUI application to draw text");

    // The window's default picture box: 5000 twips a side.
    const PictureFrame frame{QSize(qRound(5000.0 / TwipsPerPixel), qRound(5000.0 / TwipsPerPixel)), QSizeF(5000, 5000)};
    const Replay replay = MapReplay(DisplaySettings{}, MapSettings{}, layout, itemCount, fit, names);
    try {
        SaveBytes(name, png ? EncodePng(RenderImage(frame, 1.0, replay))
                            : RenderSvg(frame, replay, QStringLiteral("Tessarin map")));
    } catch (const TessarinError &error) {
        throw TessarinError(path + ": the map could not be written: " + error.what());
    }
}

} // namespace tessarin
