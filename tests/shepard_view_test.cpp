#include "diagnostics/map_stress.h"
#include "display/shepard_view.h"
#include "display/stress_rings.h"
#include "distance_fixture.h"
#include "recording_surface.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tessarin {
namespace {

using testing::MakeDistances;
using testing::RecordingSurface;

/// The numbers after the name of a recorded call.
std::vector<double> Arguments(const std::string &call)
{
    std::istringstream in(call);
    std::string name;
    in >> name;
    std::vector<double> values;
    for (double v; in >> v;)
        values.push_back(v);
    return values;
}

struct Picture {
    StressFigures figures;
    RecordingSurface surface;
};

/// Ten items on a line, given distances a little off the map's.
StressFigures TenItems(std::size_t pointLimit)
{
    const int n = 10;
    Layout map(2 * n + 1, 0.0f);
    std::vector<float> given;
    for (int i = 1; i <= n; ++i)
        map[i] = static_cast<float>(100 * i);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            given.push_back(static_cast<float>(j - i) + ((i + j) % 3) * 0.25f);
    StressSettings settings;
    settings.pointLimit = pointLimit;
    settings.gridColumns = 12;
    settings.gridRows = 9;
    return MeasureStress(MakeDistances(n, given), map, settings);
}

TEST(ShepardView, DotsBelowTheLimitBinsAboveEachInsideTheFrame)
{
    for (const bool points : {true, false}) {
        SCOPED_TRACE(points ? "points" : "bins");
        const StressFigures figures = TenItems(points ? 1000 : 10);
        RecordingSurface surface;
        DrawShepard(surface, figures, "ten.txt");
        EXPECT_EQ(surface.calls.front(), "scale 0 0 1000 750");

        // The frame is the one black outline of the plot area.
        const auto frame = surface.only("stroke 120 95 970 640 0");
        ASSERT_EQ(frame.size(), 1u);
        auto inside = [](double x, double y) { return x >= 120 && x <= 970 && y >= 95 && y <= 640; };
        const auto dots = surface.only("dot");
        const auto fills = surface.only("fill");
        if (points) {
            EXPECT_EQ(dots.size(), figures.pairCount);
            EXPECT_TRUE(fills.empty());
        } else {
            EXPECT_TRUE(dots.empty());
            std::size_t filled = 0;
            for (int r = 0; r < figures.grid.rows(); ++r)
                for (int c = 0; c < figures.grid.columns(); ++c)
                    filled += figures.grid.count(c, r) > 0;
            EXPECT_EQ(fills.size(), filled);
        }
        for (const auto &call : dots) {
            const auto v = Arguments(call);
            EXPECT_TRUE(inside(v[0], v[1])) << call;
        }
        for (const auto &call : fills) {
            const auto v = Arguments(call);
            EXPECT_TRUE(inside(v[0], v[1]) && inside(v[2], v[3])) << call;
        }
        // The line of the fit, in red, clipped to the frame.
        const auto lines = surface.only("line");
        ASSERT_EQ(lines.size(), 1u);
        const auto v = Arguments(lines[0]);
        EXPECT_EQ(v[4], 12);
        EXPECT_TRUE(inside(v[0], v[1]) && inside(v[2], v[3])) << lines[0];
    }
}

TEST(ShepardView, TitleTicksAndAxisNames)
{
    const StressFigures figures = TenItems(1000);
    RecordingSurface surface;
    DrawShepard(surface, figures, "ten.txt");
    std::string printed;
    for (const auto &call : surface.only("print"))
        printed += call.substr(call.find('[')) + "\n";
    EXPECT_NE(printed.find("[Shepard diagram of ten.txt:  stress-1 " + SignificantText(figures.stress1, 4)),
              std::string::npos)
        << printed;
    EXPECT_NE(printed.find("[given distance]"), std::string::npos);
    EXPECT_NE(printed.find("[map distance]"), std::string::npos);
    // Given distances reach 9.5: ticks 0, 2, ..., 10 across.
    for (const char *tick : {"[0]", "[2]", "[10]"})
        EXPECT_NE(printed.find(tick), std::string::npos) << tick;
}

/// A recording surface whose texts grow with the font size, as a real one's
/// do, and that keeps the box of every print in the picture's units.
class MeasuringSurface : public RecordingSurface {
public:
    struct Printed {
        std::string text;
        double left, top, right, bottom;
    };
    MeasuringSurface(double charWidthPerPoint, double lineHeightPerPoint)
        : m_charWidth(charWidthPerPoint), m_lineHeight(lineHeightPerPoint)
    {
    }
    std::vector<Printed> printed;

    void setFontSize(float points) override
    {
        RecordingSurface::setFontSize(points);
        m_points = points;
    }
    double textWidth(const std::string &text) const override
    {
        std::size_t characters = 0;
        for (const char c : text)
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return m_charWidth * m_points * static_cast<double>(characters);
    }
    double textHeight() const override { return m_lineHeight * m_points; }
    void print(const std::string &text, bool lineEnd) override
    {
        printed.push_back({text, currentX(), currentY(), currentX() + textWidth(text), currentY() + textHeight()});
        RecordingSurface::print(text, lineEnd);
    }

private:
    double m_charWidth, m_lineHeight;
    float m_points = 0;
};

/// The ten items with every given distance times `factor`.
StressFigures TenItemsScaled(double factor)
{
    const int n = 10;
    Layout map(2 * n + 1, 0.0f);
    std::vector<float> given;
    for (int i = 1; i <= n; ++i)
        map[i] = static_cast<float>(100 * i);
    for (int i = 1; i <= n; ++i)
        for (int j = i + 1; j <= n; ++j)
            given.push_back(static_cast<float>(((j - i) + ((i + j) % 3) * 0.25) * factor));
    return MeasureStress(MakeDistances(n, given), map);
}

TEST(ShepardView, EveryTextInsideThePictureAndClearOfTheOthers)
{
    const std::string forty = "A table whose name is forty characters.";
    const std::string long_(300, 'W');
    const std::string accents = "Z\u00fcrich \u2013 S\u00e3o Paulo \u2013 " + std::string(100, 'e') + ".txt";
    struct Row {
        const char *name;
        std::string subject;
        double charWidth, lineHeight; // per point, in the picture's units
        double givenFactor;
        bool shrinks; // whether the font must go below 9 points
        bool whole;   // whether the figures and the legend fit whole
    };
    // About the window's metrics (9 points: 10 units a character, 23 a line),
    // and larger (a finer screen, a larger font) up to where even the
    // smallest font needs the texts shortened.
    const Row rows[] = {
        {"no subject", "", 1.1, 2.6, 1, false, true},
        {"short subject", "ten.txt", 1.1, 2.6, 1, false, true},
        {"forty characters", forty, 1.1, 2.6, 1, false, true},
        {"300 characters", long_, 1.1, 2.6, 1, false, true},
        {"multibyte subject", accents, 1.1, 2.6, 1, false, true},
        {"wide tick labels", forty, 1.1, 2.6, 1e6, false, true},
        {"text 1.6 times as large", forty, 1.76, 4.16, 1, false, true},
        {"text twice as large", forty, 2.2, 5.2, 1, true, true},
        {"text 2.5 times as large", long_, 2.75, 6.5, 1e6, true, true},
        {"text four times as large", long_, 4.4, 10.4, 1e6, true, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const StressFigures figures = TenItemsScaled(row.givenFactor);
        MeasuringSurface surface(row.charWidth, row.lineHeight);
        DrawShepard(surface, figures, row.subject);
        ASSERT_GE(surface.printed.size(), 6u);
        EXPECT_EQ(surface.fontSize() < 9, row.shrinks);

        const auto &title = surface.printed[0];
        EXPECT_EQ(title.text.rfind("Shepard", 0), 0u) << title.text;
        const auto figuresAt = title.text.find(":  stress-1 " + SignificantText(figures.stress1, 4));
        const auto &legend = surface.printed[1];
        EXPECT_EQ(figuresAt != std::string::npos, row.whole) << title.text;
        EXPECT_EQ(legend.text.find("\u2026") == std::string::npos, row.whole) << legend.text;
        if (row.whole) {
            // The subject is shortened in its middle when the title would
            // not fit whole; its first and last characters stay.
            const std::string named = row.subject.empty() ? std::string() : " of " + row.subject;
            const std::string full = "Shepard diagram" + named + title.text.substr(figuresAt);
            const bool shortened = title.text != full;
            EXPECT_EQ(shortened, surface.textWidth(full) > ShepardWidth - 16) << title.text;
            if (shortened) {
                EXPECT_NE(title.text.find("of " + row.subject.substr(0, 1)), std::string::npos) << title.text;
                EXPECT_NE(title.text.find(row.subject.substr(row.subject.size() - 1) + ":  stress-1"),
                          std::string::npos)
                    << title.text;
            }
        }

        // Print positions are single precision.
        const double e = 1e-3;
        for (const auto &text : surface.printed) {
            EXPECT_TRUE(text.left >= -e && text.top >= -e && text.right <= ShepardWidth + e &&
                        text.bottom <= ShepardHeight + e)
                << "[" << text.text << "] " << text.left << " " << text.top << " " << text.right << " "
                << text.bottom;
        }
        for (std::size_t a = 0; a < surface.printed.size(); ++a)
            for (std::size_t b = a + 1; b < surface.printed.size(); ++b) {
                const auto &p = surface.printed[a], &q = surface.printed[b];
                const bool apart =
                    p.right <= q.left + e || q.right <= p.left + e || p.bottom <= q.top + e || q.bottom <= p.top + e;
                EXPECT_TRUE(apart) << "[" << p.text << "] overlaps [" << q.text << "]";
            }
        // The frame: the one stroke that is a rectangle; the texts lie outside it.
        std::vector<double> frame;
        for (const auto &call : surface.only("stroke")) {
            const auto v = Arguments(call);
            if (v[0] != v[2] && v[1] != v[3])
                frame = v;
        }
        ASSERT_EQ(frame.size(), 5u);
        EXPECT_GE(frame[2] - frame[0], ShepardWidth / 2);
        EXPECT_GE(frame[3] - frame[1], ShepardHeight / 2);
        for (const auto &text : surface.printed) {
            const bool outside = text.right <= frame[0] + e || text.left >= frame[2] - e ||
                                 text.bottom <= frame[1] + e || text.top >= frame[3] - e;
            EXPECT_TRUE(outside) << "[" << text.text << "]";
        }
    }
}

TEST(ShepardView, ElidedTextKeepsBothEndsAndFits)
{
    RecordingSurface surface; // 10 units a byte
    struct Row {
        const char *name;
        std::string text;
        double width;
        std::string expected;
    };
    const Row rows[] = {
        {"fits", "abcdef", 60, "abcdef"},
        {"one too many", "abcdefg", 60, "ab\u2026g"}, // "…" counts 3 bytes here
        {"odd count keeps more of the head", "abcdefghij", 80, "abc\u2026ij"},
        {"only the ellipsis fits", "abcdef", 30, "\u2026"},
        {"nothing fits", "abcdef", 0, "\u2026"},
        {"cuts between code points", "\u00e4\u00e4\u00e4\u00e4\u00e4\u00e4", 80, "\u00e4\u2026\u00e4"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ElidedText(surface, row.text, row.width), row.expected);
    }
}

TEST(ShepardView, NoPairsGivesAnEmptyFrameWithANote)
{
    const StressFigures figures = MeasureStress(MakeDistances(1, {}), Layout(3, 0.0f));
    RecordingSurface surface;
    DrawShepard(surface, figures, "");
    EXPECT_TRUE(surface.only("dot").empty());
    EXPECT_TRUE(surface.only("line").empty());
    EXPECT_EQ(surface.only("print").back().find("[no pairs to show]") != std::string::npos, true);
}

TEST(StressRings, AreaInProportionToTheShareNoneForZero)
{
    const Layout map = {0, 10, 20, 30, 40, 50, 60};
    RecordingSurface graph;
    DrawStressRings(graph, map.data(), 3, {0, 25, 100});
    EXPECT_EQ(graph.calls, (std::vector<std::string>{"circle 20 50 30 8", "circle 30 60 60 8"}));

    RecordingSurface none;
    DrawStressRings(none, map.data(), 3, {0, 0, 0});
    EXPECT_TRUE(none.calls.empty());
}

} // namespace
} // namespace tessarin
