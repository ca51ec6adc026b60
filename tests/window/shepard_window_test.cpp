// The Shepard window and the stress rings: the commands, the window beside
// the main one, its updates at the end of a run, saving, the rings' toggle,
// and the batch mode's --shepard and --report.
#include "app/batch_mode.h"
#include "base/tessarin_error.h"
#include "diagnostics/map_stress.h"
#include "display/shepard_view.h"
#include "export/painter_surface.h"
#include "export/palette.h"
#include "io/distance_file.h"
#include "io/distance_reader.h"
#include "io/layout_csv.h"
#include "window/main_form.h"
#include "window/map_diagnostics.h"
#include "window/picture_box.h"
#include "export/shepard_export.h"
#include "window/shepard_window.h"
#include "window_test_support.h"

#include <QAction>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>
#include <functional>

using tessarin::MainForm;
using tessarin::MapDiagnostics;
using tessarin::MeasureStress;
using tessarin::ShepardWindow;
using tessarin::StressFigures;
using tessarin::TessarinError;
using tessarin::testing::Recorder;
using tessarin::testing::WorkingFolder;

namespace {

std::string local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// A window that has read the six-item file and run a short search.
struct Window {
    explicit Window(const QString &name = QStringLiteral("six.txt"),
                    const QByteArray &table = tessarin::testing::SixItems)
    {
        file = folder.write(name, table);
        tessarin::testing::box(form, "GAgensText")->setText("40");
        form.setMessageSink([this](const QString &text) { messages << text; });
        form.startUp(file);
    }
    MapDiagnostics &diagnostics() { return *form.diagnostics(); }
    ShepardWindow *openShepard()
    {
        diagnostics().shepardAction()->trigger();
        return diagnostics().shepardWindow();
    }

    WorkingFolder folder;
    QString file;
    MainForm form;
    QStringList messages;
};

/// A square matrix of `n` items named by `nameOf`, the distances those of
/// points on a slightly bent line.
QByteArray NamedMatrix(int n, const std::function<QString(int)> &nameOf)
{
    QByteArray csv = "\"\"";
    for (int i = 1; i <= n; ++i)
        csv += ",\"" + nameOf(i).toUtf8() + "\"";
    csv += "\n";
    for (int i = 1; i <= n; ++i) {
        csv += "\"" + nameOf(i).toUtf8() + "\"";
        for (int j = 1; j <= n; ++j)
            csv += "," + QByteArray::number(i == j ? 0.0 : std::abs(i - j) + 0.3 * ((i * j) % 4), 'g', 6);
        csv += "\n";
    }
    return csv;
}

/// Forty characters, different in their first ten.
QString LongName(int item)
{
    return QStringLiteral("Sample %1 taken from the long list of it").arg(item, 2, 10, QLatin1Char('0'));
}

/// A surface that passes every call on and keeps each print's text and its
/// box in the picture's units, as the surface measures it.
class MeasuredPrints : public tessarin::DrawingSurface {
public:
    struct Printed {
        QString text;
        QRectF box;
        int colour;
    };
    explicit MeasuredPrints(tessarin::DrawingSurface &inner) : m_inner(inner) {}
    QList<Printed> printed;

    void setScale(double l, double t, double r, double b) override { m_inner.setScale(l, t, r, b); }
    void setBackColor(int index) override { m_inner.setBackColor(index); }
    void setForeColor(int index) override { m_inner.setForeColor(index); }
    int foreColor() const override { return m_inner.foreColor(); }
    void setFontName(const std::string &name) override { m_inner.setFontName(name); }
    void setFontSize(float points) override { m_inner.setFontSize(points); }
    float fontSize() const override { return m_inner.fontSize(); }
    void clear() override { m_inner.clear(); }
    void stroke(double x1, double y1, double x2, double y2, int c) override { m_inner.stroke(x1, y1, x2, y2, c); }
    void line(double x1, double y1, double x2, double y2, int c) override { m_inner.line(x1, y1, x2, y2, c); }
    void fillRect(double x1, double y1, double x2, double y2, int c) override { m_inner.fillRect(x1, y1, x2, y2, c); }
    void dot(double x, double y, double pixels, int c) override { m_inner.dot(x, y, pixels, c); }
    void circle(double x, double y, double radius, int c) override { m_inner.circle(x, y, radius, c); }
    void setCurrentX(float x) override { m_inner.setCurrentX(x); }
    void setCurrentY(float y) override { m_inner.setCurrentY(y); }
    float currentX() const override { return m_inner.currentX(); }
    float currentY() const override { return m_inner.currentY(); }
    void print(const std::string &text, bool lineEnd) override
    {
        printed.append({QString::fromStdString(text),
                        QRectF(currentX(), currentY(), textWidth(text), textHeight()), foreColor()});
        m_inner.print(text, lineEnd);
    }
    double textWidth(const std::string &text) const override { return m_inner.textWidth(text); }
    double textHeight() const override { return m_inner.textHeight(); }
    double outerWidth() const override { return m_inner.outerWidth(); }
    double outerHeight() const override { return m_inner.outerHeight(); }

private:
    tessarin::DrawingSurface &m_inner;
};

/// Says what is wrong with the texts of a Shepard drawing: a text outside the
/// picture, or two texts on each other.
QString TextFaults(const QList<MeasuredPrints::Printed> &printed)
{
    const QRectF picture(0, 0, tessarin::ShepardWidth, tessarin::ShepardHeight);
    QStringList faults;
    if (printed.size() < 6)
        faults << QStringLiteral("only %1 texts").arg(printed.size());
    for (qsizetype a = 0; a < printed.size(); ++a) {
        // Print positions are single precision.
        const QRectF box = printed[a].box.adjusted(1e-3, 1e-3, -1e-3, -1e-3);
        if (!picture.contains(box))
            faults << QStringLiteral("[%1] outside the picture").arg(printed[a].text);
        for (qsizetype b = a + 1; b < printed.size(); ++b)
            if (box.intersects(printed[b].box))
                faults << QStringLiteral("[%1] on [%2]").arg(printed[a].text, printed[b].text);
    }
    return faults.join('\n');
}

/// The pixels in `area` (pixels) of `image` that are not the background.
int InkIn(const QImage &image, const QRect &area)
{
    const QImage picture = image.convertToFormat(QImage::Format_RGB32);
    const QRect inside = area.intersected(picture.rect());
    int ink = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ink += picture.pixel(x, y) != tessarin::PaletteColor(15).rgb();
    return ink;
}

/// Says which texts of a drawing `picture` (`scale` pixels a logical pixel)
/// shows incomplete: each text's box must hold nearly as much ink as the
/// text painted alone in `font`.
QString IncompleteTexts(const QImage &picture, double scale, const QList<MeasuredPrints::Printed> &printed,
                        const QFont &font)
{
    const QSize frame = tessarin::ShepardFrame().pixels;
    QStringList faults;
    for (const auto &text : printed) {
        const QRectF logical(text.box.x() * frame.width() / tessarin::ShepardWidth,
                             text.box.y() * frame.height() / tessarin::ShepardHeight,
                             text.box.width() * frame.width() / tessarin::ShepardWidth,
                             text.box.height() * frame.height() / tessarin::ShepardHeight);
        const QRect area =
            QRectF(logical.topLeft() * scale, logical.size() * scale).toAlignedRect().adjusted(-1, -1, 1, 1);
        QImage alone(picture.size(), QImage::Format_RGB32);
        alone.setDotsPerMeterX(3780);
        alone.setDotsPerMeterY(3780);
        alone.fill(tessarin::PaletteColor(15));
        {
            QPainter painter(&alone);
            painter.scale(scale, scale);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(logical.x(), logical.y() + QFontMetricsF(font, &alone).ascent()), text.text);
        }
        const int expected = InkIn(alone, area), found = InkIn(picture, area);
        if (expected == 0 || found < expected * 9 / 10)
            faults << QStringLiteral("[%1]: %2 of %3 pixels").arg(text.text).arg(found).arg(expected);
    }
    return faults.join('\n');
}

bool sameFigures(const StressFigures &a, const StressFigures &b)
{
    return a.stress1 == b.stress1 && a.fit == b.fit && a.pointShares == b.pointShares && a.itemCount == b.itemCount;
}

} // namespace

class ShepardWindowTest : public QObject {
    Q_OBJECT

private slots:
    void commandsInTheMapMenuWithShortcuts();
    void opensBesideTheMainWindowWithTheFigures();
    void updatesWhenARunEndsNotAtImprovements();
    void savesAsTheWindowDrawsIt_data();
    void savesAsTheWindowDrawsIt();
    void ringsOnlyWhileToggledOn();
    void batchWritesReportAndDiagram();
    void batchRefusesBadNamesBeforeTheSearch_data();
    void batchRefusesBadNamesBeforeTheSearch();
    void everyTextWholeInsideThePicture_data();
    void everyTextWholeInsideThePicture();
    void longNamesLeaveTheShareColumnInView();
};

void ShepardWindowTest::commandsInTheMapMenuWithShortcuts()
{
    MainForm form;
    MapDiagnostics *diagnostics = form.diagnostics();
    QVERIFY(diagnostics);
    QAction *shepard = diagnostics->shepardAction();
    QAction *rings = diagnostics->ringsAction();
    QCOMPARE(shepard->objectName(), QStringLiteral("ShepardDiagram"));
    QCOMPARE(shepard->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    QCOMPARE(rings->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+D")));
    QVERIFY(rings->isCheckable());
    QVERIFY(!rings->isChecked());
    QVERIFY(form.mapMenu()->actions().contains(shepard));
    QVERIFY(form.mapMenu()->actions().contains(rings));
    // Shortcuts of the window itself, with or without a menu.
    QVERIFY(form.actions().contains(shepard));
    QVERIFY(form.actions().contains(rings));
    // Adding both to another menu is one call.
    QMenu other;
    diagnostics->addActionsTo(&other);
    QCOMPARE(other.actions(), (QList<QAction *>{shepard, rings}));
}

void ShepardWindowTest::opensBesideTheMainWindowWithTheFigures()
{
    Window window;
    QVERIFY(window.messages.isEmpty());
    ShepardWindow *shepard = window.openShepard();
    QVERIFY(shepard);
    QVERIFY(shepard->isVisible());
    QVERIFY(!shepard->isModal());
    QVERIFY(shepard->x() > window.form.frameGeometry().right());
    QVERIFY(shepard->figures());
    const StressFigures expected = MeasureStress(window.form.distanceData(), window.form.bestLayout());
    QVERIFY(sameFigures(*shepard->figures(), expected));

    const QString text = shepard->findChild<QLabel *>("StressText")->text();
    QVERIFY2(text.contains(QStringLiteral("Stress-1: ") + QString::number(expected.stress1, 'g', 6)),
             qPrintable(text));
    auto *worst = shepard->findChild<QTableWidget *>("WorstItems");
    const std::vector<int> items = tessarin::WorstPlacedItems(expected.pointShares, 10);
    QCOMPARE(worst->rowCount(), int(items.size()));
    QCOMPARE(worst->item(0, 0)->text(), QString::number(items[0]));
    QCOMPARE(worst->item(0, 2)->text(), QString::number(expected.pointShares[items[0] - 1], 'f', 2));
    // The file names no items: no name column.
    QVERIFY(worst->isColumnHidden(1));
    // The diagram is drawn: its 15 pairs as blue dots of 3 by 3 pixels.
    const QImage image = shepard->shepardBox()->image().convertToFormat(QImage::Format_RGB32);
    int blue = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            blue += image.pixel(x, y) == tessarin::PaletteColor(1).rgb();
    QVERIFY2(blue >= 9 && blue <= 15 * 9, qPrintable(QString::number(blue)));

    // A second trigger raises the same window.
    QCOMPARE(window.openShepard(), shepard);
}

void ShepardWindowTest::updatesWhenARunEndsNotAtImprovements()
{
    Window window;
    ShepardWindow *shepard = window.openShepard();
    const auto before = shepard->figures();
    QVERIFY(before);

    Recorder recorder(window.form);
    int unchangedAtDrawings = 0;
    recorder.onDrawing = [&] { unchangedAtDrawings += shepard->figures() == before; };
    window.form.rerun();
    QVERIFY(!recorder.drawings.isEmpty());
    QCOMPARE(unchangedAtDrawings, int(recorder.drawings.size()));
    QVERIFY(shepard->figures() != before);
    QVERIFY(sameFigures(*shepard->figures(), MeasureStress(window.form.distanceData(), window.form.bestLayout())));
}

void ShepardWindowTest::savesAsTheWindowDrawsIt_data()
{
    QTest::addColumn<bool>("svg");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QSize>("size");
    QTest::newRow("png, twice the box") << false << 0 << QSize(1200, 900);
    QTest::newRow("png, box size") << false << 1 << QSize(600, 450);
    QTest::newRow("svg") << true << 0 << QSize();
}

void ShepardWindowTest::savesAsTheWindowDrawsIt()
{
    QFETCH(bool, svg);
    QFETCH(int, filter);
    QFETCH(QSize, size);
    Window window;
    ShepardWindow *shepard = window.openShepard();
    const QString path = window.folder.path(svg ? "diagram.svg" : "diagram.png");
    QList<MainForm::SaveRequest> requests;
    shepard->setSaveDialog([&](const MainForm::SaveRequest &request) {
        requests << request;
        return MainForm::SaveChoice{path, filter};
    });
    QStringList messages;
    shepard->setMessageSink([&](const QString &text) { messages << text; });
    svg ? shepard->saveSvg() : shepard->savePng();
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
    QCOMPARE(requests.size(), 1);
    QVERIFY(requests[0].suggestedName.endsWith(svg ? "six-shepard.svg" : "six-shepard.png"));

    if (!svg) {
        const QImage saved(path, "PNG");
        QCOMPARE(saved.size(), size);
        if (filter == 1)
            QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
                     shepard->shepardBox()->image().convertToFormat(QImage::Format_RGB32));
        return;
    }
    QXmlStreamReader xml(contents(path));
    QStringList texts;
    int rects = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("text"))
            texts << xml.readElementText().trimmed();
        else if (xml.isStartElement() && xml.name() == QLatin1String("rect"))
            ++rects;
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(texts.contains(QStringLiteral("given distance")));
    QVERIFY(texts.contains(QStringLiteral("map distance")));
    // 15 pairs, each a dot, besides the background and the frame.
    QVERIFY2(rects >= 15, qPrintable(QString::number(rects)));
}

void ShepardWindowTest::ringsOnlyWhileToggledOn()
{
    Window window;
    QAction *rings = window.diagnostics().ringsAction();
    const QImage plain = window.form.distanceGraph()->image().copy();
    rings->setChecked(true);
    const QImage ringed = window.form.distanceGraph()->image().copy();
    QVERIFY(ringed != plain);
    rings->setChecked(false);
    QCOMPARE(window.form.distanceGraph()->image(), plain);

    // On through a rerun: the run ends with the rings on its best map, and
    // toggling off leaves that map as a run without rings draws it.
    rings->setChecked(true);
    window.form.rerun();
    const QImage afterRun = window.form.distanceGraph()->image().copy();
    rings->setChecked(false);
    QVERIFY(window.form.distanceGraph()->image() != afterRun);
}

void ShepardWindowTest::batchWritesReportAndDiagram()
{
    WorkingFolder folder;
    const QString table = folder.write("six.txt", tessarin::testing::SixItems);
    const QString csv = folder.path("map.csv"), report = folder.path("r.json"), diagram = folder.path("s.svg");
    QCOMPARE(tessarin::RunBatchMode({"--batch", local(table), "--generations", "30", "--coords", local(csv),
                                     "--report", local(report), "--shepard", local(diagram)},
                                    tessarin::testing::BatchPictures()),
             0);
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(contents(report), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(json["file"].toString(), table);
    QCOMPARE(json["items"].toInt(), 6);
    QCOMPARE(json["generations"].toInt(), 30);
    QStringList stages;
    for (const auto &stage : json["stages"].toArray()) {
        stages << stage.toObject()["name"].toString();
        QVERIFY(stage.toObject()["seconds"].toDouble() >= 0);
    }
    QCOMPARE(stages, (QStringList{"reading", "search", "stress"}));

    // The figures of the map the batch mode wrote, read back.
    const tessarin::Layout map = tessarin::ReadLayoutCsv(local(csv));
    const StressFigures figures = MeasureStress(tessarin::ReadDistances(local(table)), map);
    QCOMPARE(json["stress1"].toDouble(), figures.stress1);
    QCOMPARE(json["fit"].toDouble(), figures.fit);
    const QJsonArray perPoint = json["stressPerPoint"].toArray();
    QCOMPARE(perPoint.size(), 6);
    double sum = 0;
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(perPoint[i].toObject()["item"].toInt(), i + 1);
        QCOMPARE(perPoint[i].toObject()["share"].toDouble(), figures.pointShares[i]);
        sum += perPoint[i].toObject()["share"].toDouble();
    }
    QVERIFY(qAbs(sum - 100) < 1e-9);
    QVERIFY(contents(diagram).contains("<svg"));
}

void ShepardWindowTest::batchRefusesBadNamesBeforeTheSearch_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("name");
    QTest::newRow("diagram as gif") << "--shepard" << "s.gif";
    QTest::newRow("report as text") << "--report" << "r.txt";
}

void ShepardWindowTest::batchRefusesBadNamesBeforeTheSearch()
{
    QFETCH(QString, option);
    QFETCH(QString, name);
    WorkingFolder folder;
    const QString table = folder.write("six.txt", tessarin::testing::SixItems);
    const QString csv = folder.path("map.csv");
    QVERIFY_THROWS_EXCEPTION(TessarinError, tessarin::RunBatchMode({"--batch", local(table), "--coords", local(csv),
                                                                    local(option), local(folder.path(name))},
                                                                   tessarin::testing::BatchPictures()));
    QVERIFY(!QFile::exists(csv));
    QVERIFY(!QFile::exists(folder.path(name)));
}

void ShepardWindowTest::everyTextWholeInsideThePicture_data()
{
    QTest::addColumn<bool>("longNames");
    QTest::addColumn<QString>("target");
    for (const bool longNames : {false, true})
        for (const char *target : {"window", "png box size", "png twice the box", "svg", "batch png"})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(longNames ? "40-character names" : "short names",
                                                                 QLatin1String(target))))
                << longNames << QString::fromLatin1(target);
}

void ShepardWindowTest::everyTextWholeInsideThePicture()
{
    QFETCH(bool, longNames);
    QFETCH(QString, target);
    const int n = 24;
    const QString name = longNames ? QStringLiteral("A table of samples with forty characters.csv")
                                   : QStringLiteral("samples.csv");
    const QByteArray table =
        NamedMatrix(n, longNames ? LongName : [](int item) { return QStringLiteral("S%1").arg(item); });

    // The picture as drawn, and the figures and subject it shows.
    QImage picture;
    double scale = 1;
    std::shared_ptr<const StressFigures> figures;
    std::string subject;
    std::unique_ptr<Window> window;
    if (target == "batch png") {
        WorkingFolder folder;
        const QString file = folder.write(name, table), csv = folder.path("map.csv"), png = folder.path("s.png");
        QCOMPARE(tessarin::RunBatchMode(
                     {"--batch", local(file), "--generations", "30", "--coords", local(csv), "--shepard", local(png)},
                     tessarin::testing::BatchPictures()),
                 0);
        figures = std::make_shared<const StressFigures>(
            MeasureStress(tessarin::ReadDistanceFile(local(file)), tessarin::ReadLayoutCsv(local(csv))));
        subject = name.toStdString();
        picture = QImage(png, "PNG");
    } else {
        window = std::make_unique<Window>(name, table);
        ShepardWindow *shepard = window->openShepard();
        QVERIFY(shepard && shepard->figures());
        figures = shepard->figures();
        subject = name.toStdString();
        const auto replay = tessarin::ShepardReplay(figures, subject);
        if (target == "window") {
            picture = shepard->shepardBox()->image();
        } else if (target == "svg") {
            QSvgRenderer svg(tessarin::RenderSvg(tessarin::ShepardFrame(), replay, QStringLiteral("s")));
            QVERIFY(svg.isValid());
            picture = QImage(tessarin::ShepardFrame().pixels, QImage::Format_RGB32);
            picture.fill(Qt::white);
            QPainter painter(&picture);
            svg.render(&painter);
        } else {
            scale = target == "png twice the box" ? 2 : 1;
            picture = tessarin::RenderImage(tessarin::ShepardFrame(), scale, replay);
        }
    }
    QVERIFY(!picture.isNull());
    const tessarin::PictureFrame frame = tessarin::ShepardFrame();
    QCOMPARE(picture.size(), frame.pixels * scale);

    // Where each text goes, measured as the picture's surface measures it.
    QImage scratch(frame.pixels * scale, QImage::Format_RGB32);
    scratch.setDotsPerMeterX(3780);
    scratch.setDotsPerMeterY(3780);
    tessarin::PainterSurface surface(&scratch, frame.pixels, frame.twips, scale);
    MeasuredPrints measured(surface);
    tessarin::DrawShepard(measured, *figures, subject);
    const QString faults = TextFaults(measured.printed);
    QVERIFY2(faults.isEmpty(), qPrintable(faults));
    QVERIFY2(measured.printed[0].text.contains(QStringLiteral("fit ")), qPrintable(measured.printed[0].text));
    const QString incomplete = IncompleteTexts(picture, scale, measured.printed, surface.drawingFont());
    QVERIFY2(incomplete.isEmpty(), qPrintable(incomplete));
}

void ShepardWindowTest::longNamesLeaveTheShareColumnInView()
{
    const int n = 24;
    Window window(QStringLiteral("long.csv"), NamedMatrix(n, LongName));
    ShepardWindow *shepard = window.openShepard();
    QVERIFY(shepard);
    auto *worst = shepard->findChild<QTableWidget *>("WorstItems");
    QVERIFY(!worst->isColumnHidden(1));
    QVERIFY(worst->rowCount() > 0);
    QVERIFY(QTest::qWaitForWindowExposed(shepard));
    // Every column shows whole in the list as the window lays it out.
    const int shareRight = worst->columnViewportPosition(2) + worst->columnWidth(2);
    QVERIFY2(shareRight <= worst->viewport()->width(),
             qPrintable(QStringLiteral("%1 > %2").arg(shareRight).arg(worst->viewport()->width())));
    QVERIFY(worst->columnWidth(2) >= worst->horizontalHeader()->sectionSizeHint(2));
    QVERIFY(shepard->geometry().width() <= 1200);
    // The names are shortened on screen and whole in their tooltips.
    const QFontMetrics metrics(worst->font());
    for (int row = 0; row < worst->rowCount(); ++row) {
        const QTableWidgetItem *cell = worst->item(row, 1);
        const int item = worst->item(row, 0)->text().toInt();
        QCOMPARE(cell->text(), LongName(item));
        QCOMPARE(cell->toolTip(), LongName(item));
    }
    QVERIFY(worst->columnWidth(1) < metrics.horizontalAdvance(LongName(1)));
    // On one line each, not wrapped over two.
    worst->resizeRowsToContents();
    for (int row = 0; row < worst->rowCount(); ++row)
        QVERIFY2(worst->rowHeight(row) < 2 * metrics.height(), qPrintable(QString::number(worst->rowHeight(row))));
    QVERIFY(worst->columnWidth(1) >= metrics.horizontalAdvance(QLatin1Char('x')) * 20);
}

QTEST_MAIN(ShepardWindowTest)
#include "shepard_window_test.moc"
