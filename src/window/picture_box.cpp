#include "window/picture_box.h"

#include "data/tessarin_error.h"
#include "window/palette.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <cmath>

namespace tessarin {

namespace {

// 96 logical pixels an inch (1440 twips / 15), so that point sizes on the
// backing image match those on the screen.
constexpr int DotsPerMeter = 3780;

QString fontFamilyFor(const std::string &name)
{
    const QString requested = QString::fromStdString(name);
    if (QFontDatabase::hasFamily(requested))
        return requested;
    // The classic Windows fonts by their metric-compatible or nearest
    // free counterparts.
    if (name == "Times New Roman")
        return QStringLiteral("Liberation Serif");
    if (name == "Small Fonts")
        return QStringLiteral("Liberation Sans Narrow");
    if (name == "Arial")
        return QStringLiteral("Liberation Sans");
    if (name == "MS Sans Serif")
        return QStringLiteral("Liberation Sans");
    return requested;
}

QImage blankImage(QSize size, const QColor &colour)
{
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(DotsPerMeter);
    image.setDotsPerMeterY(DotsPerMeter);
    image.fill(colour);
    return image;
}

} // namespace

PictureBox::PictureBox(QWidget *parent) : QWidget(parent), m_fontName("MS Sans Serif")
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
    if (right == left || bottom == top || !std::isfinite(right - left) || !std::isfinite(bottom - top))
        throw TessarinError("a picture box scale needs two distinct finite corners");
    m_scaleLeft = left;
    m_scaleTop = top;
    m_scaleWidth = right - left;
    m_scaleHeight = bottom - top;
    m_userScale = true;
}

void PictureBox::setBackColor(int index)
{
    const QColor colour = PaletteColor(index);
    m_backColor = index;
    syncImage();
    // As in the classic toolkit, a new background colour erases the drawing.
    if (!m_image.isNull())
        m_image.fill(colour);
    update();
}

void PictureBox::setForeColor(int index)
{
    PaletteColor(index);
    m_foreColor = index;
}

void PictureBox::setFontName(const std::string &name)
{
    m_fontName = name;
}

void PictureBox::setFontSize(float points)
{
    if (std::isnan(points))
        throw TessarinError("is not a font size");
    if (points < 0)
        throw TessarinError("is a negative font size");
    if (points > LargestPointSize)
        throw TessarinError("is above the largest font size, 2048 points");
    // Below the smallest size the text is drawn at that size, and that is the
    // size reported back.
    m_fontSize = std::max(points, SmallestPointSize);
}

void PictureBox::clear()
{
    syncImage();
    if (!m_image.isNull())
        m_image.fill(background());
    m_currentX = static_cast<float>(m_userScale ? m_scaleLeft : 0.0);
    m_currentY = static_cast<float>(m_userScale ? m_scaleTop : 0.0);
    update();
}

void PictureBox::stroke(double x1, double y1, double x2, double y2, int color)
{
    const QColor colour = PaletteColor(color);
    syncImage();
    if (m_image.isNull())
        return;
    const QPointF a = toPixels(x1, y1);
    const QPointF b = toPixels(x2, y2);
    QPainter painter(&m_image);
    painter.setPen(QPen(colour, 0));
    painter.setBrush(Qt::NoBrush);
    if (qRound(a.x()) == qRound(b.x()) || qRound(a.y()) == qRound(b.y()))
        painter.drawLine(a, b);
    else
        painter.drawRect(QRectF(a, b).normalized());
    update();
}

void PictureBox::print(const std::string &text, bool lineEnd)
{
    const QString shown = QString::fromStdString(text);
    syncImage();
    const QFont font = drawingFont();
    const QFontMetricsF metrics(font, &m_image);
    if (!m_image.isNull() && !shown.isEmpty()) {
        QPainter painter(&m_image);
        painter.setFont(font);
        painter.setPen(PaletteColor(m_foreColor));
        const QPointF top = toPixels(m_currentX, m_currentY);
        painter.drawText(QPointF(top.x(), top.y() + metrics.ascent()), shown);
        update();
    }
    if (lineEnd) {
        m_currentX = static_cast<float>(m_userScale ? m_scaleLeft : 0.0);
        m_currentY = static_cast<float>(m_currentY + pixelsToUserY(metrics.height()));
    } else {
        m_currentX = static_cast<float>(m_currentX + pixelsToUserX(metrics.horizontalAdvance(shown)));
    }
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    syncImage();
    QPainter painter(this);
    if (m_image.isNull()) {
        painter.fillRect(event->rect(), background());
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

double PictureBox::outerWidth() const
{
    // Resized some other way than by setTwipsGeometry: the twips of the pixels.
    return qRound(m_twipsWidth / TwipsPerPixel) == width() ? m_twipsWidth : double(width()) * TwipsPerPixel;
}

double PictureBox::outerHeight() const
{
    return qRound(m_twipsHeight / TwipsPerPixel) == height() ? m_twipsHeight : double(height()) * TwipsPerPixel;
}

void PictureBox::syncImage() const
{
    if (m_image.size() == size() || (m_image.isNull() && size().isEmpty()))
        return;
    QImage resized = blankImage(size(), background());
    if (!resized.isNull() && !m_image.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, m_image);
    }
    m_image = resized;
}

QPointF PictureBox::toPixels(double x, double y) const
{
    if (!m_userScale)
        return {x / TwipsPerPixel, y / TwipsPerPixel};
    return {(x - m_scaleLeft) * width() / m_scaleWidth, (y - m_scaleTop) * height() / m_scaleHeight};
}

double PictureBox::pixelsToUserX(double pixels) const
{
    if (!m_userScale)
        return pixels * TwipsPerPixel;
    return width() > 0 ? pixels * m_scaleWidth / width() : 0.0;
}

double PictureBox::pixelsToUserY(double pixels) const
{
    if (!m_userScale)
        return pixels * TwipsPerPixel;
    return height() > 0 ? pixels * m_scaleHeight / height() : 0.0;
}

QColor PictureBox::background() const
{
    return m_backColor < 0 ? palette().color(QPalette::Window) : PaletteColor(m_backColor);
}

QFont PictureBox::drawingFont() const
{
    QFont font(fontFamilyFor(m_fontName));
    font.setPointSizeF(m_fontSize);
    return font;
}

} // namespace tessarin
