#include "window/text_raster_cache.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

// The raster engine's byte multiply: each channel times a / 255, rounded.
inline quint32 byteMul(quint32 x, quint32 a)
{
    quint32 t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = x + ((x >> 8) & 0xff00ff) + 0x800080;
    x &= 0xff00ff00;
    return x | t;
}

} // namespace

void TextRasterCache::setFont(const QFont &font, const QPaintDevice *device)
{
    if (m_hasFont && device == m_device && font == m_font)
        return;
    m_font = font;
    m_device = device;
    m_hasFont = true;
    // A canvas of the device's resolution gives the font the same pixel size.
    m_dotsPerMeterX = device ? qRound(device->logicalDpiX() / 0.0254) : 3780;
    m_dotsPerMeterY = device ? qRound(device->logicalDpiY() / 0.0254) : 3780;
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    probe.setDotsPerMeterX(m_dotsPerMeterX);
    probe.setDotsPerMeterY(m_dotsPerMeterY);
    m_metrics.emplace(m_font, &probe);
    m_entries.clear();
    m_rasters.assign(1, Raster{}); // index 0: not made yet
    m_pixels.clear();
    m_front.assign(FrontSize, Front{});
}

TextRasterCache::Entry &TextRasterCache::entry(const std::string &text)
{
    if (text.size() > 7)
        return m_entries[text];
    std::uint64_t key = text.size();
    for (std::size_t k = 0; k < text.size(); ++k)
        key |= std::uint64_t(static_cast<unsigned char>(text[k])) << (8 * (k + 1));
    Front &front = m_front[static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - FrontBits))];
    if (front.entry && front.key == key)
        return *front.entry;
    // Entries of an unordered_map stay where they are as it grows.
    Entry &found = m_entries[text];
    front = {key, &found};
    return found;
}

double TextRasterCache::advance(Entry &entry, const std::string &text)
{
    if (entry.advance < 0)
        entry.advance = m_metrics->horizontalAdvance(QString::fromStdString(text));
    return entry.advance;
}

std::int32_t TextRasterCache::make(const std::string &text, int phase)
{
    const QString shown = QString::fromStdString(text);
    const QFontMetricsF &metrics = *m_metrics;
    // Room on every side for glyphs that reach past their advance.
    const int pad = int(std::ceil(metrics.height())) + 2;
    const int width = int(std::ceil(metrics.horizontalAdvance(shown))) + 2 * pad;
    const int height = int(std::ceil(metrics.height())) + 2 * pad;
    const int baseline = pad + int(std::ceil(metrics.ascent()));
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.setDotsPerMeterX(m_dotsPerMeterX);
    canvas.setDotsPerMeterY(m_dotsPerMeterY);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setFont(m_font);
        painter.setPen(Qt::white);
        painter.drawText(QPointF(pad + phase / double(Phases), baseline), shown);
    }
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qAlpha(line[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    Raster raster;
    raster.offset = m_pixels.size();
    if (right >= 0) { // else nothing is inked: blanks
        raster.left = left - pad;
        raster.top = top - baseline;
        raster.width = right - left + 1;
        raster.height = bottom - top + 1;
        for (int y = top; y <= bottom; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
            int first = right + 1, last = left - 1;
            for (int x = left; x <= right; ++x)
                if (qAlpha(line[x]) != 0) {
                    first = std::min(first, x);
                    last = x;
                }
            const int length = std::max(0, last - first + 1);
            m_pixels.push_back(static_cast<std::uint8_t>(length ? first - left : 0));
            m_pixels.push_back(static_cast<std::uint8_t>(length));
            for (int x = first; x <= last; ++x)
                m_pixels.push_back(static_cast<std::uint8_t>(qAlpha(line[x])));
        }
    }
    m_rasters.push_back(raster);
    return static_cast<std::int32_t>(m_rasters.size() - 1);
}

void TextRasterCache::draw(QImage &image, QPointF origin, Entry &entry, const std::string &text, QRgb colour)
{
    const double floorX = std::floor(origin.x());
    const int phase = std::clamp(int((origin.x() - floorX) * Phases), 0, Phases - 1);
    std::int32_t &index = entry.rasters[static_cast<std::size_t>(phase)];
    if (index == 0)
        index = make(text, phase);
    const Raster &raster = m_rasters[static_cast<std::size_t>(index)];
    if (raster.height == 0)
        return;
    const int x0 = int(floorX) + raster.left;
    const int y0 = int(std::lround(origin.y())) + raster.top;
    const int imageWidth = image.width();
    const int imageHeight = image.height();
    if (x0 >= imageWidth || x0 + raster.width <= 0 || y0 >= imageHeight || y0 + raster.height <= 0)
        return;
    const quint32 source = colour | 0xff000000u;
    // A pixel already in the colour stays in it under every coverage when
    // each channel is 0 or 255 (black, white, the pure colours): then such
    // pixels, most of a dense table's, need no blending. The byte multiply
    // rounds other channels, so those pixels are blended as any other.
    bool keepsColour = true;
    for (int shift : {0, 8, 16}) {
        const quint32 channel = (source >> shift) & 0xff;
        keepsColour = keepsColour && (channel == 0 || channel == 0xff);
    }
    const qsizetype stride = image.bytesPerLine() / 4;
    auto *bits = reinterpret_cast<quint32 *>(image.bits());
    const std::uint8_t *row = m_pixels.data() + raster.offset;
    for (int y = 0; y < raster.height; ++y) {
        const int first = row[0], length = row[1];
        const std::uint8_t *cover = row + 2;
        row += 2 + length;
        const int line = y0 + y;
        if (line < 0 || line >= imageHeight)
            continue;
        const int fromX = std::max(0, -(x0 + first));
        const int toX = std::min(length, imageWidth - (x0 + first));
        quint32 *out = bits + line * stride + x0 + first;
        // As the raster engine blends a glyph's coverage: source times
        // coverage over the destination. The byte multiply keeps the
        // destination exactly at coverage 0 and gives the source exactly at
        // 255, so one branch-free formula serves every pixel.
        if (keepsColour) {
            for (int x = fromX; x < toX; ++x) {
                const quint32 d = out[x];
                if (d != source) {
                    const quint32 c = cover[x];
                    out[x] = byteMul(source, c) + byteMul(d, 255 - c);
                }
            }
        } else {
            for (int x = fromX; x < toX; ++x) {
                const quint32 c = cover[x];
                out[x] = byteMul(source, c) + byteMul(out[x], 255 - c);
            }
        }
    }
}

} // namespace tessarin
