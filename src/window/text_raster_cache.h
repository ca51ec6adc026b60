#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPointF>
#include <QRgb>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class QPaintDevice;

namespace tessarin {

/// The anti-aliased raster of each distinct text in one font, made once with
/// QPainter and then stamped wherever the text is printed again: a table of
/// N x N cells holds only a few thousand distinct texts, and a map's labels
/// are drawn again at every improvement. A stamp blends the raster's coverage
/// with the colour as QPainter blends glyphs on an RGB32 image. Each text has
/// a raster for each sixteenth of a pixel of horizontal phase, made when
/// first needed, as the raster engine places glyphs to a quarter pixel and a
/// text's later glyphs fall on other quarters than its first.
class TextRasterCache {
public:
    /// Horizontal phases kept per text.
    static constexpr int Phases = 16;

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
    Entry &entry(const std::string &text);
    /// The advance of `text` in pixels, measured once.
    double advance(Entry &entry, const std::string &text);
    /// Draws `text` (whose entry is `entry`) with the left end of its baseline
    /// at `origin` (pixels) in `colour` onto `image`, which must be RGB32 or
    /// ARGB32 (opaque); the parts outside the image are left out.
    void draw(QImage &image, QPointF origin, Entry &entry, const std::string &text, QRgb colour);
    /// Distinct texts kept since the font was set.
    std::size_t size() const { return m_entries.size(); }

private:
    // One raster: the inked box of the text at one phase. Its rows lie in
    // m_pixels from `offset`, each row's inked run first as two bytes
    // (first column, length) and then the run's coverage 0..255.
    struct Raster {
        int left = 0, top = 0; // of the first row, from the origin's pixel
        int width = 0, height = 0;
        std::size_t offset = 0;
    };
    std::int32_t make(const std::string &text, int phase);
    Entry &find(const std::string &text);

    QFont m_font;
    const QPaintDevice *m_device = nullptr;
    bool m_hasFont = false;
    int m_dotsPerMeterX = 3780, m_dotsPerMeterY = 3780;
    std::optional<QFontMetricsF> m_metrics;
    std::unordered_map<std::string, Entry> m_entries;
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
