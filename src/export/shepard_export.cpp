#include "export/shepard_export.h"

#include "base/tessarin_error.h"
#include "display/shepard_view.h"
#include "export/offscreen_application.h"
#include "export/painter_surface.h"

#include <QFile>
#include <QGuiApplication>

namespace tessarin {

PictureFrame ShepardFrame()
{
    return {QSize(600, 450), QSizeF(9000, 6750)};
}

Replay ShepardReplay(std::shared_ptr<const StressFigures> figures, const std::string &subject)
{
    if (!figures)
        throw TessarinError("there is no Shepard diagram to draw");
    return [figures, subject](PainterSurface &surface) {
        // Painted, not stamped: a few dozen texts gain nothing from stamps,
        // and the title and legend are wider than the 255 pixels a stamp's
        // rows can hold.
        surface.setTextStamps(false);
        DrawShepard(surface, *figures, subject);
    };
}

bool IsShepardImageName(const std::string &path)
{
    return IsMapImageName(path);
}

void WriteShepardImage(const std::string &path, std::shared_ptr<const StressFigures> figures,
                       const std::string &subject)
{
    const QString name = QFile::decodeName(path.c_str());
    if (!IsShepardImageName(path))
        throw TessarinError("--shepard " + path + ": the name must end in .png or .svg");
    const bool png = name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);

    // Fonts need a GUI application; without a display it draws offscreen.
    const OffscreenApplication application;
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw TessarinError("--shepard needs a GUI application to draw text");

    const Replay replay = ShepardReplay(std::move(figures), subject);
    try {
        SaveBytes(name, png ? EncodePng(RenderImage(ShepardFrame(), 1.0, replay))
                            : RenderSvg(ShepardFrame(), replay, QStringLiteral("Tessarin Shepard diagram")));
    } catch (const TessarinError &error) {
        throw TessarinError(path + ": the Shepard diagram could not be written: " + error.what());
    }
}

} // namespace tessarin
