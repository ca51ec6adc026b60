#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPointF>
#include <QRgb>

#include <array>
#include <memory>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class QPaintDevice;
class QPainter;

namespace tessarin {

/// The anti-aliased raster of each distinct text in one font, made once with
/// QPainter and then stamped wherever the text is printed again: a table of
/// N x N cells holds only a few thousand distinct texts, and a map's labels
/// are drawn again at every improvement. A stamp blends the raster's coverage
/// with the colour as QPainter blends glyphs on an RGB32 image. Each text has
/// a raster for each sixteenth of a pixel of horizontal phase, made when
/// first needed, as the raster engine places glyphs to a quarter pixel and a
/// text's later glyphs fall on other quarters than its first.
///
/// The memory it holds is bounded (ByteBound): a text whose canvas would pass
/// CanvasBytes is not stamped (canStamp), and once the kept rasters and
/// entries pass StoreBytes they are all dropped at the next lookup and made
/// again as needed, the same rasters as before.
class TextRasterCache {
public:
    /// Horizontal phases kept per text.
    static constexpr int Phases = 16;
    /// Stamps queued before they are laid down.
    static constexpr std::size_t QueueLength = 1 << 16;
    /// The largest canvas a raster is made on, in bytes, and its largest
    /// side in pixels: a text at up to about 200 points fits; a larger one
    /// costs more to keep than to paint each time.
    static constexpr std::size_t CanvasBytes = std::size_t(16) << 20;
    static constexpr int CanvasSide = 8192;
    /// The rasters and entries kept, in bytes, before they are dropped: a
    /// table's cells take well under 1 MiB, and a map's labels at the
    /// default size take some 1 KiB an item and phase, so one drawing of a
    /// map of the largest table fits.
    static constexpr std::size_t StoreBytes = std::size_t(32) << 20;
    /// The most the cache ever holds: the canvas, the store with the one
    /// raster made after the last lookup, the queue and the front table.
    static constexpr std::size_t ByteBound = CanvasBytes + StoreBytes + CanvasBytes / 4 + 4 * CanvasSide +
                                             QueueLength * 16 + (std::size_t(1) << 14) * 16;

    /// What is kept of one text: small, as a table's cells look up a few
    /// thousand of them in random order.
    struct Entry {
        /// The text's advance in pixels; below 0 until measured.
        double advance = -1;
        /// Index into the cache's rasters of each phase's raster; 0 until
        /// made.
        std::array<std::int32_t, Phases> rasters{};
    };

    /// Rasters are made in `font` as resolved on `device` (its resolution
    /// decides the pixel size); a different font or device forgets them.
    void setFont(const QFont &font, const QPaintDevice *device);
    /// What is kept of `text` in the font set, made empty the first time.
    /// The reference lasts until the next call or setFont.
    Entry &entry(const std::string &text);
    /// Whether `text` is small enough to stamp; when not, the caller paints
    /// it (its advance is still measured by advance()).
    bool canStamp(Entry &entry, const std::string &text);
    /// The advance of `text` in pixels, measured once.
    double advance(Entry &entry, const std::string &text);
    /// Draws `text` (whose entry is `entry`) with the left end of its baseline
    /// at `origin` (pixels) in `colour` onto `image`, which must be RGB32 or
    /// ARGB32 (opaque); the parts outside the image are left out.
    void draw(QImage &image, QPointF origin, Entry &entry, const std::string &text, QRgb colour);
    /// As draw, but the stamp may wait in a queue until flush(): a table's
    /// millions of stamps are then laid down in two bands of the image's rows
    /// at once, each band taking every stamp in the order queued, so each
    /// pixel sees the same blends in the same order as by draw. Queuing for
    /// another image flushes first.
    void queue(QImage &image, QPointF origin, Entry &entry, const std::string &text, QRgb colour);
    /// Lays down the queued stamps; the image may be read or painted on after.
    void flush();
    /// Distinct texts kept since the font was set or the store was dropped.
    std::size_t size() const { return m_entries.size(); }
    /// The bytes the cache holds now; never above ByteBound.
    std::size_t bytes() const;

private:
    // One raster: the inked box of the text at one phase. Its rows lie in
    // m_pixels from `offset`, each row's inked run first as two 16-bit
    // numbers, low byte first (first column, length), and then the run's
    // coverage 0..255.
    struct Raster {
        int left = 0, top = 0; // of the first row, from the origin's pixel
        int width = 0, height = 0;
        std::size_t offset = 0;
    };
    // Where one print lays down one raster.
    struct Stamp {
        int x0 = 0, y0 = 0; // the raster's top-left pixel in the image
        std::int32_t raster = 0;
        quint32 source = 0; // opaque colour
    };
    std::int32_t make(const std::string &text, double advance, int phase);
    // The canvas make needs for a text of `advance` pixels.
    QSize canvasSize(double advance) const;
    // The bytes of the rasters and entries kept.
    std::size_t storeBytes() const;
    // Forgets every raster and entry, keeping the font and the canvas.
    void dropStore();
    // The entry of `text` in m_entries, made empty the first time.
    Entry &added(const std::string &text);
    // The stamp of `text` at `origin`, its raster made when first needed;
    // false when nothing of it falls on the image.
    bool place(const QImage &image, QPointF origin, Entry &entry, const std::string &text, QRgb colour,
               Stamp &stamp);
    // Blends `stamp` into the image's rows lineFrom .. lineTo - 1.
    void layDown(QImage &image, const Stamp &stamp, int lineFrom, int lineTo) const;

    QImage m_canvas;
    std::vector<std::pair<int, int>> m_runs; // make's inked run of each canvas row
    std::unique_ptr<QPainter> m_canvasPainter; // on m_canvas, in the font
    std::vector<Stamp> m_queue;
    QImage *m_queuedImage = nullptr;

    QFont m_font;
    const QPaintDevice *m_device = nullptr;
    bool m_hasFont = false;
    int m_dotsPerMeterX = 3780, m_dotsPerMeterY = 3780;
    std::optional<QFontMetricsF> m_metrics;
    std::unordered_map<std::string, Entry> m_entries;
    std::size_t m_keyBytes = 0; // the long keys' characters
    std::vector<Raster> m_rasters;
    std::vector<std::uint8_t> m_pixels;
    // A direct-mapped front for texts of up to 7 bytes, keyed by their bytes
    // and length packed in one word: most prints skip the string hash.
    struct Front {
        std::uint64_t key = 0;
        Entry *entry = nullptr;
    };
    static constexpr int FrontBits = 14;
    static constexpr std::size_t FrontSize = std::size_t(1) << FrontBits;
    std::vector<Front> m_front;
};

} // namespace tessarin
