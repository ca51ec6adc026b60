// Stamped texts against texts laid out and painted at every print: the table
// and the map drawn both ways on the same image must look the same.
#include "../distance_fixture.h"
#include "display/distance_table_view.h"
#include "export/painter_surface.h"

#include <QtTest>

#include <algorithm>
#include <cstdlib>

using namespace tessarin;

namespace {

constexpr int BoxPixels = 5000 / 15;

QImage blankBox()
{
    QImage image(BoxPixels, BoxPixels, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

// In one painting session (as the window draws) the stamps are queued and
// laid down in bands; without one, each print is stamped at once.
QImage drawTable(const DistanceData &data, bool stamps, bool session = true)
{
    QImage image = blankBox();
    PainterSurface surface(&image, image.size(), QSizeF(5000, 5000));
    surface.setTextStamps(stamps);
    if (session)
        surface.beginPainting();
    DistanceMatrix(surface, data, "5000");
    surface.endPainting();
    return image;
}

struct Difference {
    int pixels = 0;  // pixels that differ at all
    int largest = 0; // the largest difference in one channel, 0..255
};

Difference compare(const QImage &a, const QImage &b)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (p == q)
                continue;
            ++d.pixels;
            d.largest = std::max({d.largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                  std::abs(qBlue(p) - qBlue(q))});
        }
    return d;
}

} // namespace

class TextStampTest : public QObject {
    Q_OBJECT

private slots:
    void tableLooksTheSame_data();
    void tableLooksTheSame();
    void queuedStampsGiveTheSamePixels_data();
    void queuedStampsGiveTheSamePixels();
};

void TextStampTest::tableLooksTheSame_data()
{
    // The share of pixels allowed to differ: none where the glyphs start on
    // whole pixels alike; where a text's later glyphs fall a quarter pixel
    // apart, a few edges; in the dense tables, where texts overlap, more
    // pixels but never by much.
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("share");
    QTest::addColumn<int>("largest");
    QTest::newRow("N = 10, Times New Roman 9") << 10 << 0.0 << 0;
    QTest::newRow("N = 20, Small Fonts 5") << 20 << 0.01 << 96;
    QTest::newRow("N = 100") << 100 << 0.25 << 128;
    QTest::newRow("N = 300") << 300 << 0.01 << 64;
}

void TextStampTest::tableLooksTheSame()
{
    QFETCH(int, n);
    QFETCH(double, share);
    QFETCH(int, largest);
    const DistanceData data = testing::RandomDistances(n);
    const QImage painted = drawTable(data, false);
    const QImage stamped = drawTable(data, true);
    QVERIFY(painted != blankBox()); // something was drawn
    const Difference d = compare(painted, stamped);
    QVERIFY2(d.pixels <= share * painted.width() * painted.height(), qPrintable(QString::number(d.pixels)));
    QVERIFY2(d.largest <= largest, qPrintable(QString::number(d.largest)));
}

void TextStampTest::queuedStampsGiveTheSamePixels_data()
{
    // Small tables flush a short queue on one thread; from a few hundred
    // items the queue fills and is laid down in two bands, whose stamps
    // straddle the middle row.
    QTest::addColumn<int>("n");
    QTest::newRow("N = 30") << 30;
    QTest::newRow("N = 300") << 300;
    QTest::newRow("N = 700") << 700;
}

void TextStampTest::queuedStampsGiveTheSamePixels()
{
    QFETCH(int, n);
    const DistanceData data = testing::RandomDistances(n);
    const QImage oneByOne = drawTable(data, true, false);
    const QImage queued = drawTable(data, true, true);
    QVERIFY(queued != blankBox());
    const Difference d = compare(oneByOne, queued);
    QCOMPARE(d.pixels, 0);
}

QTEST_MAIN(TextStampTest)
#include "text_stamp_test.moc"
