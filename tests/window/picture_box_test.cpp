// The picture box as a drawing surface: palette, twips, user scale, strokes,
// printing, font sizes, and keeping its drawing.
#include "base/tessarin_error.h"
#include "export/palette.h"
#include "window/picture_box.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QtTest>

#include <cmath>
#include <limits>

using tessarin::PaletteColor;
using tessarin::PictureBox;
using tessarin::TessarinError;

namespace {

/// The rows of `image` that hold a pixel other than `background`.
QList<int> paintedRows(const QImage &image, QRgb background)
{
    QList<int> rows;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) {
                rows << y;
                break;
            }
    return rows;
}

} // namespace

class PictureBoxTest : public QObject {
    Q_OBJECT

private slots:
    void paletteRefusesIndex_data();
    void paletteRefusesIndex();
    void twipsGeometry();
    void strokeMapsScaleToInnerArea();
    void strokeOfRectangleIsOutline();
    void printPutsTopOfLineAtPosition();
    void printMovesPosition();
    void clearReturnsToScaleCorner();
    void fontSize_data();
    void fontSize();
    void fontSizeRefused_data();
    void fontSizeRefused();
    void fontNames();
    void refusedColourKeepsState();
    void backColourErasesDrawing();
    void keepsDrawingAcrossHideAndShow();
    void resizeKeepsWhatFits();
};

void PictureBoxTest::paletteRefusesIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("16") << 16;
    QTest::newRow("32767") << 32767;
}

void PictureBoxTest::paletteRefusesIndex()
{
    QFETCH(int, index);
    try {
        PaletteColor(index);
        QFAIL("no error for an index outside the palette");
    } catch (const TessarinError &error) {
        QVERIFY2(QString(error.what()).contains(QString::number(index)), error.what());
    }
}

void PictureBoxTest::twipsGeometry()
{
    QWidget parent;
    PictureBox box(&parent);
    box.setTwipsGeometry(120, 1200, 5000, 4000);
    QCOMPARE(box.geometry(), QRect(8, 80, 333, 267));
    QCOMPARE(box.outerWidth(), 5000.0);
    QCOMPARE(box.outerHeight(), 4000.0);
    QCOMPARE(box.image().size(), QSize(333, 267));

    // Resized some other way, the box reports the twips of its pixels.
    box.resize(200, 100);
    QCOMPARE(box.outerWidth(), 3000.0);
    QCOMPARE(box.outerHeight(), 1500.0);

    QVERIFY_THROWS_EXCEPTION(TessarinError, box.setTwipsGeometry(0, 0, -15, 100));
}

void PictureBoxTest::strokeMapsScaleToInnerArea()
{
    PictureBox box;
    box.resize(110, 220);
    box.setScale(-50, -50, 1050, 1050);
    box.setBackColor(0);
    box.clear();
    box.stroke(0, 500, 1000, 500, 8); // horizontal at y = 550 / 1100 of the height
    box.stroke(300, 0, 300, 1000, 8); // vertical at x = 350 / 1100 of the width
    const QRgb grey = PaletteColor(8).rgb();
    const QRgb black = PaletteColor(0).rgb();
    const QImage &image = box.image();
    QCOMPARE(image.pixel(80, 110), grey);
    QCOMPARE(image.pixel(35, 180), grey);
    QCOMPARE(image.pixel(80, 100), black);
    QCOMPARE(image.pixel(45, 180), black);
    // The lines run between their corners only: x 0..1000 is pixels 5..105.
    QCOMPARE(image.pixel(1, 110), black);
    QCOMPARE(image.pixel(108, 110), black);
}

void PictureBoxTest::strokeOfRectangleIsOutline()
{
    PictureBox box;
    box.resize(110, 110);
    box.setScale(-50, -50, 1050, 1050);
    box.setBackColor(0);
    box.stroke(0, 0, 1000, 1000, 8);
    const QRgb grey = PaletteColor(8).rgb();
    const QImage &image = box.image();
    QCOMPARE(image.pixel(55, 55), PaletteColor(0).rgb());
    QCOMPARE(image.pixel(55, 5), grey);
    QCOMPARE(image.pixel(5, 55), grey);
    QCOMPARE(image.pixel(105, 55), grey);
    QCOMPARE(image.pixel(55, 105), grey);
}

void PictureBoxTest::printPutsTopOfLineAtPosition()
{
    PictureBox box;
    box.resize(200, 200);
    box.setScale(0, 0, 10, 10);
    box.setBackColor(0);
    box.setForeColor(15);
    box.setFontName("Times New Roman");
    box.setFontSize(18);
    box.setCurrentX(1);
    box.setCurrentY(5);
    box.print("Xg", false);
    const QList<int> rows = paintedRows(box.image(), PaletteColor(0).rgb());
    QVERIFY(!rows.isEmpty());
    const QFontMetricsF metrics(box.drawingFont(), &box.image());
    QVERIFY2(rows.first() >= 100, qPrintable(QString::number(rows.first())));
    QVERIFY(rows.last() < 100 + metrics.height());
    // A capital reaches close to the top of the line.
    QVERIFY(rows.first() < 100 + metrics.ascent() / 2);
}

void PictureBoxTest::printMovesPosition()
{
    PictureBox box;
    box.resize(200, 400);
    box.setScale(-5, 0, 5, 20);
    box.setFontName("Times New Roman");
    box.setFontSize(12);
    const QFontMetricsF metrics(box.drawingFont(), &box.image());

    box.setCurrentX(1);
    box.setCurrentY(2);
    box.print("AB", false);
    QCOMPARE(box.currentY(), 2.0f);
    QVERIFY(qFuzzyCompare(box.currentX(), float(1 + metrics.horizontalAdvance("AB") * 10 / 200)));

    box.print("", true);
    QCOMPARE(box.currentX(), -5.0f);
    QVERIFY(qFuzzyCompare(box.currentY(), float(2 + metrics.height() * 20 / 400)));
}

void PictureBoxTest::clearReturnsToScaleCorner()
{
    PictureBox box;
    box.resize(50, 50);
    box.setScale(-50, -40, 1050, 1050);
    box.setCurrentX(300);
    box.setCurrentY(400);
    box.clear();
    QCOMPARE(box.currentX(), -50.0f);
    QCOMPARE(box.currentY(), -40.0f);
}

void PictureBoxTest::fontSize_data()
{
    QTest::addColumn<float>("set");
    QTest::addColumn<float>("reported");
    QTest::newRow("18") << 18.0f << 18.0f;
    QTest::newRow("12.5") << 12.5f << 12.5f;
    QTest::newRow("zero is the smallest") << 0.0f << PictureBox::SmallestPointSize;
    QTest::newRow("below the smallest") << 0.4f << PictureBox::SmallestPointSize;
    QTest::newRow("largest") << PictureBox::LargestPointSize << PictureBox::LargestPointSize;
}

void PictureBoxTest::fontSize()
{
    QFETCH(float, set);
    QFETCH(float, reported);
    PictureBox box;
    box.setFontSize(set);
    QCOMPARE(box.fontSize(), reported);
    QCOMPARE(box.drawingFont().pointSizeF(), double(reported));
}

void PictureBoxTest::fontSizeRefused_data()
{
    QTest::addColumn<float>("size");
    QTest::newRow("negative") << -1.0f;
    QTest::newRow("just below zero") << -0.01f;
    QTest::newRow("too large") << 5000.0f;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN();
}

void PictureBoxTest::fontSizeRefused()
{
    QFETCH(float, size);
    PictureBox box;
    box.setFontSize(10);
    QVERIFY_THROWS_EXCEPTION(TessarinError, box.setFontSize(size));
    QCOMPARE(box.fontSize(), 10.0f);
}

void PictureBoxTest::fontNames()
{
    PictureBox box;
    box.setFontName("Times New Roman");
    const QString serif = QFontInfo(box.drawingFont()).family();
    QVERIFY2(serif == "Times New Roman" || serif == "Liberation Serif", qPrintable(serif));

    box.setFontName("Small Fonts");
    QCOMPARE(box.fontName(), std::string("Small Fonts"));
    const QString small = QFontInfo(box.drawingFont()).family();
    QVERIFY2(small != serif && small.contains("Sans"), qPrintable(small));
}

void PictureBoxTest::refusedColourKeepsState()
{
    PictureBox box;
    box.resize(20, 20);
    box.setBackColor(3);
    box.setForeColor(5);
    QVERIFY_THROWS_EXCEPTION(TessarinError, box.setForeColor(16));
    QVERIFY_THROWS_EXCEPTION(TessarinError, box.setBackColor(-1));
    QVERIFY_THROWS_EXCEPTION(TessarinError, box.stroke(0, 0, 10, 10, 16));
    QCOMPARE(box.foreColor(), 5);
    QCOMPARE(box.backColor(), 3);
    QCOMPARE(box.image().pixel(10, 10), PaletteColor(3).rgb());
}

void PictureBoxTest::backColourErasesDrawing()
{
    PictureBox box;
    box.resize(40, 40);
    box.setBackColor(0);
    box.stroke(0, 300, 600, 300, 15); // twips: the default scale
    QCOMPARE(box.image().pixel(10, 20), PaletteColor(15).rgb());
    box.setBackColor(2);
    QCOMPARE(box.image().pixel(10, 20), PaletteColor(2).rgb());
    QCOMPARE(box.image().pixel(0, 0), PaletteColor(2).rgb());
}

void PictureBoxTest::keepsDrawingAcrossHideAndShow()
{
    PictureBox box;
    box.resize(120, 120);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setScale(0, 0, 10, 10);
    box.setBackColor(1);
    box.clear();
    box.setForeColor(14);
    box.setFontSize(20);
    box.setCurrentX(1);
    box.setCurrentY(1);
    box.print("42", true);
    box.stroke(0, 8, 10, 8, 12);
    const QImage drawn = box.image();

    box.hide();
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.grab().toImage().convertToFormat(drawn.format()), drawn);
}

void PictureBoxTest::resizeKeepsWhatFits()
{
    PictureBox box;
    box.resize(100, 100);
    box.setScale(0, 0, 100, 100);
    box.setBackColor(0);
    box.stroke(10, 10, 90, 10, 15);
    box.resize(50, 60);
    QCOMPARE(box.image().size(), QSize(50, 60));
    QCOMPARE(box.image().pixel(20, 10), PaletteColor(15).rgb());
    box.resize(150, 150);
    QCOMPARE(box.image().pixel(20, 10), PaletteColor(15).rgb());
    // What was cut off is gone; the new area is background.
    QCOMPARE(box.image().pixel(80, 10), PaletteColor(0).rgb());
    QCOMPARE(box.image().pixel(140, 140), PaletteColor(0).rgb());
}

QTEST_MAIN(PictureBoxTest)
#include "picture_box_test.moc"
