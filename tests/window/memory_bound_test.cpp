// Memory the window holds stays bounded: the settings sequence that used to
// grow the text canvas without end, labels at very large font sizes, a store
// of rasters that passes its bound, and images whose size passes the limit.
#include "base/tessarin_error.h"
#include "display/map_settings.h"
#include "display/map_view.h"
#include "export/image_limits.h"
#include "window/main_form.h"
#include "export/map_export.h"
#include "export/painter_surface.h"
#include "window/picture_box.h"
#include "export/text_raster_cache.h"
#include "window_test_support.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

using namespace tessarin;
using tessarin::testing::box;
using tessarin::testing::button;
using tessarin::testing::Recorder;
using tessarin::testing::WorkingFolder;

namespace {

// Ten US cities, straight-line distances in miles.
const char *const UsCities = "10 UScitiesD straight-line distances in miles between 10 US cities\n"
                             "587 1212 701 1936 604 748 2139 2182 543\n"
                             "920 940 1745 1188 713 1858 1737 597\n"
                             "879 831 1726 1631 949 1021 1494\n"
                             "1374 968 1420 1645 1891 1220\n"
                             "2339 2451 347 959 2300\n"
                             "1092 2594 2734 923\n"
                             "2571 2408 205\n"
                             "678 2442\n"
                             "2329\n";

// A generous ceiling on the whole test process, Qt included.
constexpr long long ResidentLimitKiB = 300 * 1024;

// The process's resident size now, from /proc/self/status; -1 when unknown.
long long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

QImage blankImage(int side)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::black);
    return image;
}

// The map of `n` items at fixed random places in `fontText` points on a box
// of the window's default size, stamped or painted; `stampBytes` gets the
// most the stamps held.
QImage drawLargeMap(int n, const std::string &fontText, bool named, bool stamps, std::size_t &stampBytes)
{
    std::vector<std::string> names;
    for (int k = 1; named && k <= n; ++k)
        names.push_back("site " + std::to_string(k));
    QImage image = blankImage(5000 / 15);
    PainterSurface surface(&image, image.size(), QSizeF(5000, 5000));
    surface.setTextStamps(stamps);
    std::mt19937 engine(77);
    std::uniform_real_distribution<float> place(0.0f, 1000.0f);
    std::vector<float> layout(2 * std::size_t(n) + 1, 0.0f);
    for (std::size_t k = 1; k < layout.size(); ++k)
        layout[k] = place(engine);
    ApplyMapSettings(surface, DisplaySettings{"0", "-1", fontText}, SettingsForm::StartUp);
    PrepareMap(surface);
    surface.beginPainting();
    DrawMap(surface, layout.data(), n, 0.5, MapSettings{}, names);
    surface.endPainting();
    stampBytes = surface.textStampBytes();
    return image;
}

// Pixels that differ, and the largest difference in one channel.
std::pair<int, int> difference(const QImage &a, const QImage &b)
{
    int pixels = 0, largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (p == q)
                continue;
            ++pixels;
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return {pixels, largest};
}

} // namespace

class MemoryBoundTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void settingsSequenceStaysBounded();
    void largeFontsWithManyItems_data();
    void largeFontsWithManyItems();
    void storePastItsBoundIsMadeAgain();
    void imageLimits_data();
    void imageLimits();
    void exportScaleLimits_data();
    void exportScaleLimits();
    void oversizedPictureBoxIsReported();
};

void MemoryBoundTest::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void MemoryBoundTest::settingsSequenceStaysBounded()
{
    // Digit color, Fontsize and Graph Background, each followed by Rerun:
    // the canvas the label rasters are made on once doubled at every font
    // change, until an allocation of tens of gigabytes failed. Ten rounds.
    struct Settings {
        const char *fore, *font, *back;
    };
    const Settings sequence[] = {{"0", "18", "15"},    {"99", "200", "0"}, {"1000", "18", "0"},
                                 {"1000", "60", "0"},  {"-1", "0", "0"},   {"-1", "18", "0"},
                                 {"-1", "60", "0"},    {"-1", "200", "0"}, {"1000", "18", "0"},
                                 {"1000", "60", "0"},  {"16", "18", "0"},  {"16", "60", "0"},
                                 {"99", "18", "0"},    {"99", "60", "0"},  {"1000", "18", "0"}};
    WorkingFolder folder;
    QVERIFY(folder.isValid());
    QVERIFY(!folder.write(QStringLiteral("distance.txt"), UsCities).isEmpty());
    MainForm form;
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    box(form, "GAgensText")->setText("10");
    form.startUp();
    Recorder recorder(form);
    for (int round = 1; round <= 10; ++round) {
        for (const Settings &settings : sequence) {
            const QString row = QStringLiteral("round %1, (%2, %3, %4)")
                                    .arg(round)
                                    .arg(settings.fore, settings.font, settings.back);
            box(form, "ForeText")->setText(settings.fore);
            box(form, "FontText")->setText(settings.font);
            box(form, "BackText")->setText(settings.back);
            const qsizetype drawn = recorder.drawings.size();
            button(form, "MoreFit")->click();
            QVERIFY2(messages.isEmpty(), qPrintable(row + ": " + messages.join(' ')));
            QVERIFY2(recorder.drawings.size() > drawn, qPrintable(row + ": no map drawn"));
            QVERIFY2(form.distanceGraph()->surface().textStampBytes() <= TextRasterCache::ByteBound,
                     qPrintable(row));
            QVERIFY2(form.distanceBox()->surface().textStampBytes() <= TextRasterCache::ByteBound,
                     qPrintable(row));
            const long long resident = residentKiB();
            QVERIFY2(resident > 0 && resident < ResidentLimitKiB,
                     qPrintable(row + ": " + QString::number(resident) + " KiB"));
        }
    }
    QCOMPARE(form.distanceGraph()->fontSize(), 18.0f);
}

void MemoryBoundTest::largeFontsWithManyItems_data()
{
    // 200 points is within the canvas, its labels wider than 255 pixels;
    // 2000 points is past it, its labels painted. Either way the stamps
    // must look as the painted texts do: at 200 points a glyph's edge may
    // differ, and where thousands of labels in six colours overlap, so do
    // many edges, but a row of a raster read wrongly spoils nine tenths.
    QTest::addColumn<int>("items");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QString>("font");
    QTest::addColumn<double>("share");
    QTest::addColumn<int>("largest");
    QTest::newRow("200 points, 6 names") << 6 << true << "200" << 0.08 << 128;
    QTest::newRow("200 points, 3000 items") << 3000 << false << "200" << 0.2 << 255;
    QTest::newRow("2000 points, 3000 items") << 3000 << false << "2000" << 0.0 << 0;
}

void MemoryBoundTest::largeFontsWithManyItems()
{
    QFETCH(int, items);
    QFETCH(bool, named);
    QFETCH(QString, font);
    QFETCH(double, share);
    QFETCH(int, largest);
    std::size_t stampBytes = 0, paintedBytes = 0;
    const QImage stamped = drawLargeMap(items, font.toStdString(), named, true, stampBytes);
    QVERIFY2(stampBytes <= TextRasterCache::ByteBound, qPrintable(QString::number(stampBytes)));
    const long long resident = residentKiB();
    QVERIFY2(resident > 0 && resident < ResidentLimitKiB, qPrintable(QString::number(resident)));
    const QImage painted = drawLargeMap(items, font.toStdString(), named, false, paintedBytes);
    QVERIFY(painted != blankImage(painted.width())); // labels were drawn
    const auto [pixels, most] = difference(stamped, painted);
    QVERIFY2(pixels <= share * painted.width() * painted.height(), qPrintable(QString::number(pixels)));
    QVERIFY2(most <= largest, qPrintable(QString::number(most)));
}

void MemoryBoundTest::storePastItsBoundIsMadeAgain()
{
    // Thousands of distinct 40-point texts pass the store's bound: it is
    // dropped on the way, and what is drawn after matches a fresh cache.
    QImage probe = blankImage(400);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPointSizeF(40);
    TextRasterCache cache;
    cache.setFont(font, &probe);
    std::size_t most = 0, largestSize = 0;
    bool dropped = false;
    constexpr int texts = 6000;
    for (int k = 0; k < texts; ++k) {
        const std::string text = "item " + std::to_string(100000 + k);
        TextRasterCache::Entry &entry = cache.entry(text);
        dropped = dropped || cache.size() < largestSize;
        largestSize = std::max(largestSize, cache.size());
        cache.draw(probe, QPointF(10 + (k % 16) / 16.0, 200), entry, text, qRgb(255, 255, 255));
        most = std::max(most, cache.bytes());
    }
    QVERIFY(dropped);
    QVERIFY2(most <= TextRasterCache::ByteBound, qPrintable(QString::number(most)));
    QVERIFY2(most > TextRasterCache::StoreBytes / 2, qPrintable(QString::number(most))); // it was used

    for (int k : {0, 1, 2500, texts - 1}) {
        const std::string text = "item " + std::to_string(100000 + k);
        const QPointF origin(7.25, 60);
        QImage again = blankImage(400), fresh = blankImage(400);
        cache.draw(again, origin, cache.entry(text), text, qRgb(0, 255, 0));
        TextRasterCache other;
        other.setFont(font, &fresh);
        other.draw(fresh, origin, other.entry(text), text, qRgb(0, 255, 0));
        QVERIFY2(again == fresh, text.c_str());
        QVERIFY(again != blankImage(400));
    }
}

void MemoryBoundTest::imageLimits_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("bytesPerPixel");
    QTest::addColumn<bool>("fits");
    QTest::newRow("empty") << QSize(0, 0) << 4 << true;
    QTest::newRow("the window's box") << QSize(333, 333) << 4 << true;
    QTest::newRow("8192 a side") << QSize(8192, 8192) << 4 << true;
    QTest::newRow("one row past 256 MiB") << QSize(8192, 8193) << 4 << false;
    QTest::newRow("8193 a side, one byte a pixel") << QSize(8193, 8193) << 1 << true;
    QTest::newRow("longest side") << QSize(32768, 16) << 4 << true;
    QTest::newRow("past the longest side") << QSize(32769, 1) << 4 << false;
    QTest::newRow("negative") << QSize(-1, 10) << 4 << false;
    QTest::newRow("int overflow in bytes") << QSize(32768, 32768) << 4 << false;
}

void MemoryBoundTest::imageLimits()
{
    QFETCH(QSize, size);
    QFETCH(int, bytesPerPixel);
    QFETCH(bool, fits);
    QCOMPARE(ImageFits(size, bytesPerPixel), fits);
    if (bytesPerPixel != 4 || size.isEmpty() || qint64(size.width()) * size.height() > (qint64(64) << 20))
        return; // not allocated here
    if (fits) {
        const QImage image = NewImage(size, QImage::Format_RGB32, "an image");
        QCOMPARE(image.size(), size);
    }
}

void MemoryBoundTest::exportScaleLimits_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("refusal"); // empty when drawn
    QTest::newRow("box size") << 1.0 << "";
    QTest::newRow("twice") << 2.0 << "";
    QTest::newRow("past 256 MiB") << 30.0 << "an image of 9990 by 9990 pixels is larger than the largest image";
    QTest::newRow("past the longest side") << 200.0 << "pixels is larger than the largest image, 32768 pixels a side";
    QTest::newRow("beyond int") << 1e12 << "larger than the largest image";
}

void MemoryBoundTest::exportScaleLimits()
{
    QFETCH(double, scale);
    QFETCH(QString, refusal);
    const PictureFrame frame{QSize(333, 333), QSizeF(5000, 5000)};
    int replays = 0;
    const Replay replay = [&](PainterSurface &) { ++replays; };
    try {
        const QImage image = RenderImage(frame, scale, replay);
        QVERIFY2(refusal.isEmpty(), "drawn although too large");
        QCOMPARE(image.width(), qRound(333 * scale));
        QCOMPARE(replays, 1);
    } catch (const TessarinError &error) {
        QVERIFY2(!refusal.isEmpty(), error.what());
        QVERIFY2(QString::fromStdString(error.what()).contains(refusal), error.what());
        QCOMPARE(replays, 0);
    }
}

void MemoryBoundTest::oversizedPictureBoxIsReported()
{
    // A box whose image would pass the limit has none; every drawing call
    // says so, and the box draws again once it is back to a usable size.
    PictureBox picture;
    picture.setTwipsGeometry(0, 0, 130000, 130000); // 8667 pixels a side
    QVERIFY(picture.image().isNull());
    QVERIFY_THROWS_EXCEPTION(TessarinError, picture.setBackColor(2));
    try {
        picture.clear();
        QFAIL("a box past the limit was drawn on");
    } catch (const TessarinError &error) {
        QVERIFY2(QString::fromStdString(error.what())
                     .startsWith("a picture box of 8667 by 8667 pixels is larger than the largest image"),
                 error.what());
    }
    QVERIFY_THROWS_EXCEPTION(TessarinError, picture.beginDrawing());
    picture.setTwipsGeometry(0, 0, 1500, 1500);
    picture.setBackColor(2);
    QCOMPARE(picture.image().size(), QSize(100, 100));
    QCOMPARE(picture.image().pixel(50, 50), picture.surface().background().rgb());
}

QTEST_MAIN(MemoryBoundTest)
#include "memory_bound_test.moc"
