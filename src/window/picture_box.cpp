#include "window/picture_box.h"

#include "base/tessarin_error.h"
#include "export/palette.h"
#include "export/image_limits.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace tessarin {

namespace {

// 96 logical pixels an inch (1440 twips / 15), so that point sizes on the
// backing image match those on the screen.
constexpr int DotsPerMeter = 3780;

QImage blankImage(QSize size, const QColor &colour)
{
    if (size.isEmpty())
        return {};
    QImage image = NewImage(size, QImage::Format_RGB32, "a picture box");
    image.setDotsPerMeterX(DotsPerMeter);
    image.setDotsPerMeterY(DotsPerMeter);
    image.fill(colour);
    return image;
}

} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setTwipsGeometry(double left, double top, double width, double height)
{
    if (!(width >= 0) || !(height >= 0))
        throw TessarinError("a picture box cannot be " + std::to_string(width) + " by " +
                            std::to_string(height) + " twips");
    m_twipsLeft = left;
    m_twipsTop = top;
    m_twipsWidth = width;
    m_twipsHeight = height;
    setGeometry(qRound(left / TwipsPerPixel), qRound(top / TwipsPerPixel), qRound(width / TwipsPerPixel),
                qRound(height / TwipsPerPixel));
}

void PictureBox::setScale(double left, double top, double right, double bottom)
{
    m_surface.setScale(left, top, right, bottom);
}

void PictureBox::setBackColor(int index)
{
    drawing().setBackColor(index);
    update();
}

void PictureBox::setForeColor(int index)
{
    m_surface.setForeColor(index);
}

void PictureBox::setFontName(const std::string &name)
{
    m_surface.setFontName(name);
}

void PictureBox::setFontSize(float points)
{
    m_surface.setFontSize(points);
}

void PictureBox::clear()
{
    drawing().clear();
    update();
}

void PictureBox::stroke(double x1, double y1, double x2, double y2, int color)
{
    drawing().stroke(x1, y1, x2, y2, color);
    update();
}

void PictureBox::line(double x1, double y1, double x2, double y2, int color)
{
    drawing().line(x1, y1, x2, y2, color);
    update();
}

void PictureBox::fillRect(double x1, double y1, double x2, double y2, int color)
{
    drawing().fillRect(x1, y1, x2, y2, color);
    update();
}

void PictureBox::dot(double x, double y, double pixels, int color)
{
    drawing().dot(x, y, pixels, color);
    update();
}

void PictureBox::circle(double x, double y, double radius, int color)
{
    drawing().circle(x, y, radius, color);
    update();
}

void PictureBox::print(const std::string &text, bool lineEnd)
{
    drawing().print(text, lineEnd);
    if (!text.empty() && !m_drawing)
        update();
    // The clock is read every so many prints only: a table has millions.
    if (m_pause && ++m_printsSincePause >= 1024) {
        m_printsSincePause = 0;
        if (m_sincePause.elapsed() >= PauseMilliseconds) {
            if (!m_pause())
                m_stopped = true;
            m_sincePause.restart();
        }
    }
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    syncImage();
    QPainter painter(this);
    if (m_image.isNull()) {
        painter.fillRect(event->rect(), m_surface.background());
        return;
    }
    painter.drawImage(event->rect(), m_image, event->rect());
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    syncImage();
    QWidget::resizeEvent(event);
}

const QImage &PictureBox::image() const
{
    syncImage();
    return m_image;
}

const PainterSurface &PictureBox::surface() const
{
    syncImage();
    return m_surface;
}

double PictureBox::outerWidth() const
{
    // Resized some other way than by setTwipsGeometry: the twips of the pixels.
    return qRound(m_twipsWidth / TwipsPerPixel) == width() ? m_twipsWidth : double(width()) * TwipsPerPixel;
}

double PictureBox::outerHeight() const
{
    return qRound(m_twipsHeight / TwipsPerPixel) == height() ? m_twipsHeight : double(height()) * TwipsPerPixel;
}

void PictureBox::beginDrawing(Pause pause)
{
    syncImage();
    if (!m_refusal.empty())
        throw TessarinError(m_refusal);
    m_surface.beginPainting();
    m_drawing = true;
    m_pause = std::move(pause);
    m_stopped = false;
    m_printsSincePause = 0;
    m_sincePause.start();
}

void PictureBox::endDrawing()
{
    m_drawing = false;
    m_pause = nullptr;
    m_stopped = false;
    m_surface.endPainting();
    update();
}

PainterSurface &PictureBox::drawing()
{
    if (!m_drawing)
        syncImage();
    if (!m_refusal.empty())
        throw TessarinError(m_refusal);
    return m_surface;
}

void PictureBox::syncImage() const
{
    m_surface.setDefaultBackground(palette().color(QPalette::Window));
    if (m_image.size() != size() && !(m_image.isNull() && size().isEmpty()) && size() != m_refusedSize) {
        m_surface.endPainting(); // the image is about to be replaced
        QImage resized;
        m_refusal.clear();
        m_refusedSize = QSize();
        try {
            resized = blankImage(size(), m_surface.background());
        } catch (const TessarinError &error) {
            // Shown empty; the next drawing call reports it.
            m_refusal = error.what();
            m_refusedSize = size();
        }
        if (!resized.isNull() && !m_image.isNull()) {
            QPainter painter(&resized);
            painter.drawImage(0, 0, m_image);
        }
        m_image = resized;
    }
    m_surface.setTarget(&m_image, m_image.size(), QSizeF(outerWidth(), outerHeight()));
}

} // namespace tessarin
