#include "explorer_window/figure_export.h"

#include "base/tessarin_error.h"
#include "explorer_window/explorer_canvas.h"
#include "export/map_export.h"

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

constexpr double ScreenDpi = 96;

} // namespace

bool FigureFormatOf(const QString &path, FigureFormat &format)
{
    const QString lower = path.toLower();
    if (lower.endsWith(QStringLiteral(".png")))
        format = FigureFormat::Png;
    else if (lower.endsWith(QStringLiteral(".svg")))
        format = FigureFormat::Svg;
    else if (lower.endsWith(QStringLiteral(".pdf")))
        format = FigureFormat::Pdf;
    else
        return false;
    return true;
}

QByteArray RenderFigure(const ExplorerScene &scene, const ViewTransform &view, const ExplorerLook &look,
                        const FigureRequest &request)
{
    const int width = static_cast<int>(std::ceil(view.viewportWidth()));
    const int height = static_cast<int>(std::ceil(view.viewportHeight())) +
                       (request.caption.isEmpty() ? 0 : ExplorerScene::CaptionBand);
    FrameOptions options;
    options.figure = true;
    options.caption = request.caption;
    const ExplorerMarks none;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (request.format) {
    case FigureFormat::Png: {
        const double scale = std::clamp(request.dotsPerInch, 24.0, 1200.0) / ScreenDpi;
        const QSize size(static_cast<int>(std::ceil(width * scale)), static_cast<int>(std::ceil(height * scale)));
        if (size.width() * static_cast<double>(size.height()) > 400e6)
            throw TessarinError("a figure of " + std::to_string(size.width()) + " x " +
                                std::to_string(size.height()) + " pixels is too large; choose a lower resolution");
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull())
            throw TessarinError("there is not enough memory for a figure of " + std::to_string(size.width()) +
                                " x " + std::to_string(size.height()) + " pixels");
        const int dotsPerMeter = static_cast<int>(std::lround(request.dotsPerInch / 0.0254));
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.scale(scale, scale);
            scene.paint(painter, view, look, none, options);
        }
        if (!image.save(&buffer, "PNG"))
            throw TessarinError("the figure could not be encoded as PNG");
        break;
    }
    case FigureFormat::Svg: {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(width, height));
        generator.setViewBox(QRect(0, 0, width, height));
        generator.setResolution(static_cast<int>(ScreenDpi));
        generator.setTitle(request.title);
        generator.setDescription(QStringLiteral("Drawn by Tessarin"));
        QPainter painter(&generator);
        scene.paint(painter, view, look, none, options);
        break;
    }
    case FigureFormat::Pdf: {
        QPdfWriter writer(&buffer);
        writer.setResolution(static_cast<int>(ScreenDpi));
        writer.setTitle(request.title);
        writer.setCreator(QStringLiteral("Tessarin"));
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF(width * 72 / ScreenDpi, height * 72 / ScreenDpi),
                                                   QPageSize::Point, QString(), QPageSize::ExactMatch),
                                         QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        if (!painter.isActive())
            throw TessarinError("the PDF figure could not be started");
        scene.paint(painter, view, look, none, options);
        break;
    }
    }
    return bytes;
}

QByteArray RenderFittedFigure(const ExplorerScene &scene, int width, int height, const FigureRequest &request)
{
    ViewTransform view;
    view.setViewport(std::max(1, width), std::max(1, height));
    view.fit(scene.index().bounds(), ExplorerCanvas::FitMargin);
    return RenderFigure(scene, view, ExplorerLook{}, request);
}

bool IsFigureName(const std::string &path)
{
    FigureFormat format;
    return FigureFormatOf(QString::fromLocal8Bit(path.c_str()), format);
}

void WriteFigureFile(const std::string &path, const Layout &layout, int itemCount,
                     const std::vector<std::string> &names, const std::string &caption)
{
    const QString file = QString::fromLocal8Bit(path.c_str());
    FigureRequest request;
    if (!FigureFormatOf(file, request.format))
        throw TessarinError("--figure " + path + ": the name must end in .pdf, .svg or .png");
    request.caption = QString::fromStdString(caption);
    request.title = request.caption;
    ExplorerScene scene;
    scene.setMap(layout, itemCount);
    ExplorerInput input;
    input.names = names;
    scene.setInput(std::move(input));
    constexpr int Width = 1000, Height = 720;
    SaveBytes(file, RenderFittedFigure(scene, Width, Height, request));
}

} // namespace tessarin
