#include "export/text_raster_cache.h"

#include "base/tessarin_error.h"
#include "export/image_limits.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <thread>

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
    flush(); // the queued stamps use the rasters about to go
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
    m_canvasPainter.reset(); // drew in the previous font
    dropStore();
}

void TextRasterCache::dropStore()
{
    flush(); // the queued stamps use the rasters about to go
    m_entries.clear();
    m_keyBytes = 0;
    m_rasters.assign(1, Raster{}); // index 0: not made yet
    m_rasters.shrink_to_fit();
    m_pixels = {};
    m_front.assign(FrontSize, Front{});
}

std::size_t TextRasterCache::storeBytes() const
{
    // A map node holds the key, the entry, the hash and a link; the key's
    // characters beyond the string's own buffer come on top.
    constexpr std::size_t node = sizeof(std::string) + sizeof(Entry) + 2 * sizeof(void *);
    return m_pixels.capacity() + m_rasters.capacity() * sizeof(Raster) +
           m_entries.bucket_count() * sizeof(void *) + m_entries.size() * node + m_keyBytes;
}

std::size_t TextRasterCache::bytes() const
{
    static_assert(sizeof(Stamp) <= 16 && sizeof(Front) <= 16, "ByteBound counts 16 bytes for each");
    return storeBytes() + std::size_t(m_canvas.sizeInBytes()) + m_runs.capacity() * sizeof(m_runs[0]) +
           m_queue.capacity() * sizeof(Stamp) + m_front.capacity() * sizeof(Front);
}

TextRasterCache::Entry &TextRasterCache::entry(const std::string &text)
{
    // Checked here, where no entry is in use: the caller holds on to the one
    // returned while it is stamped.
    if (storeBytes() > StoreBytes)
        dropStore();
    if (text.size() > 7)
        return added(text);
    std::uint64_t key = text.size();
    for (std::size_t k = 0; k < text.size(); ++k)
        key |= std::uint64_t(static_cast<unsigned char>(text[k])) << (8 * (k + 1));
    Front &front = m_front[static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - FrontBits))];
    if (front.entry && front.key == key)
        return *front.entry;
    // Entries of an unordered_map stay where they are as it grows.
    Entry &found = added(text);
    front = {key, &found};
    return found;
}

TextRasterCache::Entry &TextRasterCache::added(const std::string &text)
{
    auto [kept, isNew] = m_entries.try_emplace(text);
    // Beyond the string's own buffer of 15 characters.
    if (isNew && text.size() > 15)
        m_keyBytes += text.size() + 1;
    return kept->second;
}

double TextRasterCache::advance(Entry &entry, const std::string &text)
{
    if (entry.advance < 0)
        entry.advance = m_metrics->horizontalAdvance(QString::fromStdString(text));
    return entry.advance;
}

QSize TextRasterCache::canvasSize(double advance) const
{
    // Room on every side for glyphs that reach past their advance.
    const double pad = std::ceil(m_metrics->height()) + 2;
    const double width = std::ceil(advance) + 2 * pad;
    const double height = std::ceil(m_metrics->height()) + 2 * pad;
    if (!(width <= CanvasSide) || !(height <= CanvasSide))
        return {CanvasSide + 1, CanvasSide + 1};
    return {int(width), int(height)};
}

bool TextRasterCache::canStamp(Entry &entry, const std::string &text)
{
    const QSize needed = canvasSize(advance(entry, text));
    return needed.width() <= CanvasSide && needed.height() <= CanvasSide &&
           std::size_t(needed.width()) * std::size_t(needed.height()) * 4 <= CanvasBytes;
}

std::int32_t TextRasterCache::make(const std::string &text, double advance, int phase)
{
    const QString shown = QString::fromStdString(text);
    const QFontMetricsF &metrics = *m_metrics;
    const QSize needed = canvasSize(advance);
    if (needed.width() > CanvasSide || needed.height() > CanvasSide ||
        std::size_t(needed.width()) * std::size_t(needed.height()) * 4 > CanvasBytes)
        throw TessarinError("the text \"" + text + "\" is too large to stamp");
    const int pad = int(std::ceil(metrics.height())) + 2;
    const int width = needed.width();
    const int height = needed.height();
    const int baseline = pad + int(std::ceil(metrics.ascent()));
    // One canvas and one painter serve every raster of the font: opening a
    // painter costs about as much as the text it draws. The canvas grows by
    // half at a time, up to CanvasBytes; a new font reuses it as it is.
    if (m_canvas.width() < width || m_canvas.height() < height) {
        m_canvasPainter.reset();
        QSize grown(std::max(width, std::min(CanvasSide, m_canvas.width() + m_canvas.width() / 2)),
                    std::max(height, m_canvas.height()));
        if (std::size_t(grown.width()) * std::size_t(grown.height()) * 4 > CanvasBytes)
            grown = QSize(width, height);
        m_canvas = QImage(); // given back before the new one is taken
        m_canvas = NewImage(grown, QImage::Format_ARGB32_Premultiplied, "a text raster canvas");
        m_canvas.setDotsPerMeterX(m_dotsPerMeterX);
        m_canvas.setDotsPerMeterY(m_dotsPerMeterY);
    }
    if (!m_canvasPainter) {
        m_canvasPainter = std::make_unique<QPainter>(&m_canvas);
        m_canvasPainter->setFont(m_font);
        m_canvasPainter->setPen(Qt::white);
    }
    QPainter &painter = *m_canvasPainter;
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(0, 0, width, height), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawText(QPointF(pad + phase / double(Phases), baseline), shown);
    const QImage &canvas = m_canvas;
    const uchar *bits = canvas.constBits();
    const qsizetype stride = canvas.bytesPerLine();
    // Each row's inked run, found once.
    m_runs.assign(static_cast<std::size_t>(height), {0, -1});
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(bits + y * stride);
        int first = 0;
        while (first < width && qAlpha(line[first]) == 0)
            ++first;
        if (first == width)
            continue;
        int last = width - 1;
        while (qAlpha(line[last]) == 0)
            --last;
        m_runs[static_cast<std::size_t>(y)] = {first, last};
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    Raster raster;
    raster.offset = m_pixels.size();
    if (right >= 0) { // else nothing is inked: blanks
        raster.left = left - pad;
        raster.top = top - baseline;
        raster.width = right - left + 1;
        raster.height = bottom - top + 1;
        // Room for the raster taken at once, growing the store by no more
        // than its bound between two lookups.
        std::size_t size = m_pixels.size();
        for (int y = top; y <= bottom; ++y)
            size += 4 + std::size_t(std::max(0, m_runs[std::size_t(y)].second - m_runs[std::size_t(y)].first + 1));
        if (size > m_pixels.capacity())
            m_pixels.reserve(std::max(size, std::min(2 * m_pixels.capacity(), StoreBytes)));
        const auto put16 = [this](int value) {
            m_pixels.push_back(static_cast<std::uint8_t>(value & 0xff));
            m_pixels.push_back(static_cast<std::uint8_t>(value >> 8));
        };
        for (int y = top; y <= bottom; ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(bits + y * stride);
            const auto [first, last] = m_runs[static_cast<std::size_t>(y)];
            const int length = std::max(0, last - first + 1);
            put16(length ? first - left : 0);
            put16(length);
            for (int x = first; x <= last; ++x)
                m_pixels.push_back(static_cast<std::uint8_t>(qAlpha(line[x])));
        }
    }
    m_rasters.push_back(raster);
    return static_cast<std::int32_t>(m_rasters.size() - 1);
}

bool TextRasterCache::place(const QImage &image, QPointF origin, Entry &entry, const std::string &text,
                            QRgb colour, Stamp &stamp)
{
    const double floorX = std::floor(origin.x());
    const int phase = std::clamp(int((origin.x() - floorX) * Phases), 0, Phases - 1);
    std::int32_t &index = entry.rasters[static_cast<std::size_t>(phase)];
    if (index == 0)
        index = make(text, advance(entry, text), phase);
    const Raster &raster = m_rasters[static_cast<std::size_t>(index)];
    if (raster.height == 0)
        return false;
    stamp.x0 = int(floorX) + raster.left;
    stamp.y0 = int(std::lround(origin.y())) + raster.top;
    stamp.raster = index;
    stamp.source = colour | 0xff000000u;
    return stamp.x0 < image.width() && stamp.x0 + raster.width > 0 && stamp.y0 < image.height() &&
           stamp.y0 + raster.height > 0;
}

void TextRasterCache::layDown(QImage &image, const Stamp &stamp, int lineFrom, int lineTo) const
{
    const Raster &raster = m_rasters[static_cast<std::size_t>(stamp.raster)];
    const int x0 = stamp.x0, y0 = stamp.y0;
    if (y0 >= lineTo || y0 + raster.height <= lineFrom)
        return;
    const quint32 source = stamp.source;
    // A pixel already in the colour stays in it under every coverage when
    // each channel is 0 or 255 (black, white, the pure colours): then such
    // pixels, most of a dense table's, need no blending. The byte multiply
    // rounds other channels, so those pixels are blended as any other.
    bool keepsColour = true;
    for (int shift : {0, 8, 16}) {
        const quint32 channel = (source >> shift) & 0xff;
        keepsColour = keepsColour && (channel == 0 || channel == 0xff);
    }
    const int imageWidth = image.width();
    const qsizetype stride = image.bytesPerLine() / 4;
    // bits() would detach a shared image from each thread: the caller
    // detached it once.
    auto *bits = reinterpret_cast<quint32 *>(const_cast<uchar *>(image.constBits()));
    const std::uint8_t *row = m_pixels.data() + raster.offset;
    for (int y = 0; y < raster.height; ++y) {
        const int first = row[0] | row[1] << 8, length = row[2] | row[3] << 8;
        const std::uint8_t *cover = row + 4;
        row += 4 + length;
        const int line = y0 + y;
        if (line < lineFrom || line >= lineTo)
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

void TextRasterCache::draw(QImage &image, QPointF origin, Entry &entry, const std::string &text, QRgb colour)
{
    flush();
    Stamp stamp;
    if (!place(image, origin, entry, text, colour, stamp))
        return;
    image.bits(); // detached here, once
    layDown(image, stamp, 0, image.height());
}

void TextRasterCache::queue(QImage &image, QPointF origin, Entry &entry, const std::string &text, QRgb colour)
{
    if (m_queuedImage != &image)
        flush();
    Stamp stamp;
    if (!place(image, origin, entry, text, colour, stamp))
        return;
    m_queuedImage = &image;
    m_queue.push_back(stamp);
    if (m_queue.size() >= QueueLength)
        flush();
}

void TextRasterCache::flush()
{
    QImage *image = m_queuedImage;
    m_queuedImage = nullptr;
    if (!image || m_queue.empty()) {
        m_queue.clear();
        return;
    }
    image->bits(); // detached here, once, not from each band
    const int height = image->height();
    auto band = [&](int from, int to) {
        for (const Stamp &stamp : m_queue)
            layDown(*image, stamp, from, to);
    };
    // Each band's pixels are its own: the two bands blend at once without
    // sharing a pixel, each in the queue's order.
    if (m_queue.size() >= QueueLength / 4 && height >= 64 && std::thread::hardware_concurrency() > 1) {
        const int middle = height / 2;
        std::thread lower(band, middle, height);
        band(0, middle);
        lower.join();
    } else {
        band(0, height);
    }
    m_queue.clear();
}

} // namespace tessarin
