// The map explorer beside the main window: it follows the runs, keeps the
// map at one scale, labels the items without overlaps, finds and inspects
// items, turns the map, steps through the map history with the exact bytes,
// and exports figures whose text holds every name, also from the batch mode.
#include "app/batch_mode.h"
#include "app/batch_options.h"
#include "explorer/map_orientation.h"
#include "fit/layout_fitness.h"
#include "diagnostics/map_stress.h"
#include "distances/distance_metric.h"
#include "distances/similarity_conversion.h"
#include "distances/standardization.h"
#include "models/model_stress.h"
#include "explorer_window/explorer_canvas.h"
#include "explorer_window/explorer_window.h"
#include "explorer_window/figure_export.h"
#include "explorer_window/map_explorer.h"
#include "explorer_window/workspace_file.h"
#include "window/main_form.h"
#include "window/model_status_line.h"
#include "window/picture_box.h"
#include "base/str_n.h"
#include "window_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <random>

using tessarin::ExplorerCanvas;
using tessarin::ExplorerWindow;
using tessarin::Layout;
using tessarin::MainForm;
using tessarin::MapExplorer;
using tessarin::MapTurn;
using tessarin::testing::WorkingFolder;

namespace {

// The 32 cars of the Motor Trend table, as the R data set names them.
const char *const CarNames[] = {
    "Mazda RX4",        "Mazda RX4 Wag",      "Datsun 710",        "Hornet 4 Drive",   "Hornet Sportabout",
    "Valiant",          "Duster 360",         "Merc 240D",         "Merc 230",         "Merc 280",
    "Merc 280C",        "Merc 450SE",         "Merc 450SL",        "Merc 450SLC",      "Cadillac Fleetwood",
    "Lincoln Continental", "Chrysler Imperial", "Fiat 128",        "Honda Civic",      "Toyota Corolla",
    "Toyota Corona",    "Dodge Challenger",   "AMC Javelin",       "Camaro Z28",       "Pontiac Firebird",
    "Fiat X1-9",        "Porsche 914-2",      "Lotus Europa",      "Ford Pantera L",   "Ferrari Dino",
    "Maserati Bora",    "Volvo 142E"};

/// A square CSV matrix with the `names` as its header and row names, cell
/// (i, j) the text `cell(i, j)` gives.
template <class Cell>
QByteArray NamedSquare(const QStringList &names, Cell cell)
{
    QByteArray csv = "\"\"";
    for (const QString &name : names)
        csv += ",\"" + name.toUtf8() + "\"";
    csv += "\n";
    for (qsizetype i = 0; i < names.size(); ++i) {
        csv += "\"" + names[i].toUtf8() + "\"";
        for (qsizetype j = 0; j < names.size(); ++j)
            csv += "," + cell(std::size_t(i), std::size_t(j));
        csv += "\n";
    }
    return csv;
}

/// A square matrix of the `names`, the distances those of `points`.
QByteArray NamedPoints(const QStringList &names, const std::vector<std::pair<double, double>> &points)
{
    return NamedSquare(names, [&](std::size_t i, std::size_t j) {
        return QByteArray::number(std::hypot(points[i].first - points[j].first, points[i].second - points[j].second),
                                  'g', 7);
    });
}

/// A square matrix of the `names`, the distances those of random points in
/// a plane (with a fixed seed), so that a map can fit them well.
QByteArray NamedPlane(const QStringList &names, unsigned seed = 3)
{
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> uniform(0, 10);
    std::vector<std::pair<double, double>> points;
    for (qsizetype i = 0; i < names.size(); ++i)
        points.emplace_back(uniform(engine), uniform(engine));
    return NamedPoints(names, points);
}

/// The distance file `path` (count and title, then row i's distances to the
/// items after it) as a square matrix named by `names`; empty when it does
/// not read.
QByteArray NamedCopy(const QString &path, const QStringList &names)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> lines = file.readAll().split('\n');
    const qsizetype n = names.size();
    std::vector<std::vector<QByteArray>> cells(std::size_t(n), std::vector<QByteArray>(std::size_t(n), "0"));
    for (qsizetype i = 0; i + 1 < n && i + 1 < lines.size(); ++i) {
        const QList<QByteArray> values = lines[i + 1].simplified().split(' ');
        for (qsizetype j = i + 1; j < n && j - i - 1 < values.size(); ++j)
            cells[std::size_t(i)][std::size_t(j)] = cells[std::size_t(j)][std::size_t(i)] = values[j - i - 1];
    }
    return NamedSquare(names, [&](std::size_t i, std::size_t j) { return cells[i][j]; });
}

QStringList Cars()
{
    QStringList names;
    for (const char *name : CarNames)
        names << QString::fromLatin1(name);
    return names;
}

bool SameBytes(const Layout &a, const Layout &b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

/// A main window that has read a named table and run a short search.
struct Session {
    explicit Session(const QByteArray &table = NamedPlane(Cars()), const QString &generations = "60",
                     const QString &name = "cars.csv")
    {
        file = folder.write(name, table);
        tessarin::testing::box(form, "GAgensText")->setText(generations);
        form.setMessageSink([this](const QString &text) { messages << text; });
        form.startUp(file, MainForm::StartFile::Named);
    }
    MapExplorer &explorer() { return *form.explorer(); }
    ExplorerWindow *open()
    {
        explorer().explorerAction()->trigger();
        return explorer().window();
    }
    QString fitText() { return tessarin::testing::box(form, "FitBox")->text(); }

    WorkingFolder folder;
    QString file;
    MainForm form;
    QStringList messages;
};

/// Paints `widget` (so its canvas reports the frame) and keeps the picture
/// in the folder TESSARIN_EXPLORER_SHOTS names, if any.
void PaintAndKeep(QWidget *widget, const QString &name)
{
    const QPixmap picture = widget->grab();
    const QString folder = qEnvironmentVariable("TESSARIN_EXPLORER_SHOTS");
    if (!folder.isEmpty())
        picture.save(folder + "/" + name);
}

/// The text of a PDF as pdftotext reads it, blanks folded.
QString PdfText(const QString &path)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        return QStringLiteral("(pdftotext, Debian package poppler-utils, is missing: run scripts/install-deps)");
    QProcess process;
    process.start(pdftotext, {path, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

/// A data table of `count` named items: three numeric variables and a
/// group column, from a fixed seed.
QByteArray DataTable(int count)
{
    std::mt19937 engine(11);
    std::uniform_real_distribution<double> uniform(0, 10);
    QByteArray csv = "name,width,height,depth,kind\n";
    for (int i = 0; i < count; ++i) {
        csv += "item" + QByteArray::number(i + 1);
        for (int v = 0; v < 3; ++v)
            csv += "," + QByteArray::number(uniform(engine) + (i % 3) * 4, 'g', 6);
        csv += i % 3 == 0 ? ",north\n" : i % 3 == 1 ? ",south\n" : ",east\n";
    }
    return csv;
}

/// A square similarity matrix (1 on the diagonal) of `count` named items.
QByteArray SimilarityTable(int count)
{
    std::mt19937 engine(5);
    std::uniform_real_distribution<double> uniform(0.05, 0.95);
    std::vector<std::vector<double>> s(std::size_t(count), std::vector<double>(std::size_t(count), 1.0));
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            s[std::size_t(i)][std::size_t(j)] = s[std::size_t(j)][std::size_t(i)] = uniform(engine);
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("s%1").arg(i + 1);
    return NamedSquare(names, [&](std::size_t i, std::size_t j) { return QByteArray::number(s[i][j], 'g', 6); });
}

/// A square of weights for `names`: every seventh pair weighs 0,
/// the others 1 to 3.
QByteArray WeightsFor(const QStringList &names)
{
    const auto n = std::size_t(names.size());
    return NamedSquare(names, [n](std::size_t i, std::size_t j) -> QByteArray {
        const std::size_t k = std::min(i, j) * n + std::max(i, j);
        return i == j || k % 7 == 0 ? "0" : QByteArray::number(qulonglong(1 + k % 3));
    });
}

} // namespace

class ExplorerWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void followsEveryRun();
    void everyCarNamedAtTheDefaultSize();
    void zoomAndResizeKeepOneScale();
    void lookAppliesAtOnce_data();
    void lookAppliesAtOnce();
    void findHighlightsAndCentres_data();
    void findHighlightsAndCentres();
    void clickShowsTheNearestItems();
    void distancesOfNeighboursOnOneRayDoNotOverlap();
    void turnsBecomeTheBestMap_data();
    void turnsBecomeTheBestMap();
    void undoAndRedoRestoreTheExactMaps();
    void historyStartsAgainWithNewData();
    void groupsColourHullsAndLegend();
    void workspaceRoundTrip();
    void workspaceKeepsHowTheTableWasRead_data();
    void workspaceKeepsHowTheTableWasRead();
    void workspaceOfAChangedTableIsRefused_data();
    void workspaceOfAChangedTableIsRefused();
    void figureHoldsEveryNameAsText_data();
    void figureHoldsEveryNameAsText();
    void batchFigure_data();
    void batchFigure();
    void sharesAndStatusFollowTheModel();
    void statusShowsTheModelsStressLive_data();
    void statusShowsTheModelsStressLive();
};

void ExplorerWindowTest::followsEveryRun()
{
    Session session;
    QVERIFY(session.messages.isEmpty());
    ExplorerWindow *window = session.open();
    QVERIFY(window && window->isVisible());
    QVERIFY(window->parentWidget() == &session.form && window->isWindow());
    QVERIFY(SameBytes(window->canvas()->scene().layout(), session.form.bestLayout()));

    // Live: each improvement drawn in the form is the explorer's map at once.
    int improvements = 0, matched = 0;
    QObject::connect(&session.form, &MainForm::improvementDrawn, window, [&](const QList<float> &layout, double) {
        ++improvements;
        matched += SameBytes(window->canvas()->scene().layout(), Layout(layout.begin(), layout.end()));
    });
    session.form.rerun();
    QVERIFY(improvements > 0);
    QCOMPARE(matched, improvements);
    QVERIFY(SameBytes(window->canvas()->scene().layout(), session.form.bestLayout()));
    session.form.polish();
    QVERIFY(SameBytes(window->canvas()->scene().layout(), session.form.bestLayout()));
    QVERIFY(session.messages.isEmpty());
}

void ExplorerWindowTest::everyCarNamedAtTheDefaultSize()
{
    // The Motor Trend cars themselves when TESSARIN_EXPLORER_MTCARS names
    // their distance file, else points named by them.
    const QString mtcars = qEnvironmentVariable("TESSARIN_EXPLORER_MTCARS");
    Session session(mtcars.isEmpty() ? NamedPlane(Cars()) : NamedCopy(mtcars, Cars()), "1000", "mtcars32.csv");
    if (!mtcars.isEmpty())
        session.form.bestMap();
    ExplorerWindow *window = session.open();
    PaintAndKeep(window, "explorer-mtcars.png");
    const auto &frame = window->canvas()->lastFrame();
    QCOMPARE(frame.markersDrawn, 32);
    QCOMPARE(static_cast<int>(frame.labelled.size()), 32);
    QCOMPARE(frame.labelsPlaced, 32);
    const QRectF picture(0, 0, window->canvas()->width(), window->canvas()->height());
    for (std::size_t a = 0; a < frame.placements.size(); ++a) {
        const auto &box = frame.placements[a].box;
        QVERIFY(picture.contains(QRectF(box.left, box.top, box.width, box.height)));
        for (std::size_t b = a + 1; b < frame.placements.size(); ++b)
            QVERIFY(!box.overlaps(frame.placements[b].box));
    }
}

void ExplorerWindowTest::zoomAndResizeKeepOneScale()
{
    Session session;
    ExplorerWindow *window = session.open();
    ExplorerCanvas *canvas = window->canvas();
    const auto scales = [canvas] {
        const auto a = canvas->view().toScreen(0, 0), bx = canvas->view().toScreen(1, 0),
                   by = canvas->view().toScreen(0, 1);
        return std::pair{bx.x - a.x, by.y - a.y};
    };
    window->resize(1400, 1000);
    QApplication::processEvents();
    QCOMPARE(canvas->view().viewportWidth(), double(canvas->width()));
    canvas->fitAll();
    // Every item inside the picture after Home.
    const auto &scene = canvas->scene();
    for (int item = 0; item < scene.itemCount(); ++item) {
        const auto p = canvas->view().toScreen(scene.index().x(item), scene.index().y(item));
        QVERIFY(p.x >= 0 && p.x <= canvas->width() && p.y >= 0 && p.y <= canvas->height());
    }
    const double fitted = scales().first;
    QTest::keyClick(canvas, Qt::Key_Plus);
    QVERIFY(std::abs(scales().first / fitted - ExplorerCanvas::ZoomStep) < 1e-12);
    QWheelEvent wheel(QPointF(100, 80), canvas->mapToGlobal(QPointF(100, 80)), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    const auto under = canvas->view().toMap(100, 80);
    QApplication::sendEvent(canvas, &wheel);
    const auto after = canvas->view().toMap(100, 80);
    QVERIFY(std::abs(after.x - under.x) < 1e-9 && std::abs(after.y - under.y) < 1e-9);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QTest::mouseMove(canvas, QPoint(340, 320));
    QTest::mouseMove(canvas, QPoint(400, 360));
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(400, 360));
    window->resize(700, 900);
    QApplication::processEvents();
    const auto [sx, sy] = scales();
    QCOMPARE(sx, sy);
    QVERIFY(std::abs(sx / fitted - std::pow(ExplorerCanvas::ZoomStep, 3)) < 1e-9);
    QTest::keyClick(canvas, Qt::Key_Home);
    QCOMPARE(scales().first, scales().second);
}

void ExplorerWindowTest::lookAppliesAtOnce_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("label size") << "LabelSize";
    QTest::newRow("marker size") << "MarkerSize";
    QTest::newRow("background") << "Background";
    QTest::newRow("labels as numbers") << "LabelKind";
}

void ExplorerWindowTest::lookAppliesAtOnce()
{
    QFETCH(QString, control);
    Session session;
    ExplorerWindow *window = session.open();
    const QImage before = window->canvas()->grab().toImage();
    if (auto *spin = window->findChild<QDoubleSpinBox *>(control))
        spin->setValue(spin->value() * 2);
    else if (auto *combo = window->findChild<QComboBox *>(control))
        combo->setCurrentIndex(1);
    else
        QFAIL("no such control");
    const QImage after = window->canvas()->grab().toImage();
    QVERIFY(before != after);
    const auto &look = window->canvas()->look();
    if (control == "LabelSize")
        QCOMPARE(look.labelPoints, 18.0);
    if (control == "MarkerSize")
        QCOMPARE(look.markerPixels, 14.0);
    if (control == "Background")
        QVERIFY(look.dark && qGray(after.pixel(2, 2)) < 64);
    if (control == "LabelKind")
        QVERIFY(look.numbers);
}

void ExplorerWindowTest::findHighlightsAndCentres_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("one, other case") << "hONDA" << QStringList{"Honda Civic"};
    QTest::newRow("a part") << "merc 45" << QStringList{"Merc 450SE", "Merc 450SL", "Merc 450SLC"};
    QTest::newRow("none") << "Trabant" << QStringList{};
    QTest::newRow("empty clears") << "" << QStringList{};
}

void ExplorerWindowTest::findHighlightsAndCentres()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    Session session;
    ExplorerWindow *window = session.open();
    ExplorerCanvas *canvas = window->canvas();
    canvas->view().zoomAt(0, 0, 8); // far from most items
    canvas->viewMoved();
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(window->findBox()->hasFocus() || !window->isActiveWindow());
    window->findBox()->setText(text);
    QStringList names;
    for (int item : canvas->marks().found)
        names << canvas->scene().labelText(item, false);
    QCOMPARE(names, found);
    if (found.isEmpty())
        return;
    // The found items are in the picture, around its centre.
    double cx = 0, cy = 0;
    for (int item : canvas->marks().found) {
        const auto p = canvas->view().toScreen(canvas->scene().index().x(item), canvas->scene().index().y(item));
        QVERIFY(p.x >= 0 && p.x <= canvas->width() && p.y >= 0 && p.y <= canvas->height());
        cx += p.x;
        cy += p.y;
    }
    if (found.size() == 1) {
        QVERIFY(std::abs(cx - canvas->width() / 2.0) < 1e-6);
        QVERIFY(std::abs(cy - canvas->height() / 2.0) < 1e-6);
    }
    // A found item is labelled first.
    canvas->grab();
    QCOMPARE(canvas->lastFrame().labelled.front(), canvas->marks().found.front());
    QVERIFY(canvas->lastFrame().placements.front().placed);
}

void ExplorerWindowTest::clickShowsTheNearestItems()
{
    Session session;
    ExplorerWindow *window = session.open();
    ExplorerCanvas *canvas = window->canvas();
    const int item = 18; // Honda Civic
    const auto p = canvas->view().toScreen(canvas->scene().index().x(item), canvas->scene().index().y(item));
    const QPoint at(int(std::lround(p.x)), int(std::lround(p.y)));
    // The pointer on the item shows its label whether placed or not.
    QMouseEvent move(QEvent::MouseMove, QPointF(at), canvas->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QCOMPARE(canvas->marks().hovered, item);
    canvas->grab();
    QVERIFY(canvas->lastFrame().labelsPlaced > 0);
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(canvas->marks().selected, item);
    const auto &near = canvas->marks().neighbours;
    QCOMPARE(int(near.size()), ExplorerWindow::NeighboursShown);
    const auto &data = session.form.distanceData();
    const Layout &map = session.form.bestLayout();
    const int n = data.ItemCount;
    for (std::size_t k = 0; k < near.size(); ++k) {
        QCOMPARE(near[k].given, double(data.distance(item + 1, near[k].item)));
        const double dx = double(map[std::size_t(near[k].item)]) - map[std::size_t(item + 1)];
        const double dy = double(map[std::size_t(n + near[k].item)]) - map[std::size_t(n + item + 1)];
        QCOMPARE(near[k].map, std::sqrt(dx * dx + dy * dy));
        if (k > 0)
            QVERIFY(near[k - 1].given <= near[k].given);
        // No other item is nearer in the table than the last one shown.
    }
    for (int j = 1; j <= n; ++j) {
        const bool shown = std::any_of(near.begin(), near.end(), [j](const auto &e) { return e.item == j; });
        if (j != item + 1 && !shown)
            QVERIFY(data.distance(item + 1, j) >= near.back().given);
    }
    const QString text = window->inspectText();
    QVERIFY(text.contains("Honda Civic"));
    QVERIFY(text.contains("share of stress: "));
    QVERIFY(!text.contains("not measured"));
    QVERIFY(text.contains(canvas->scene().labelText(near.front().item - 1, false)));
    // A click on empty ground clears.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QCOMPARE(canvas->marks().selected, -1);
}

void ExplorerWindowTest::distancesOfNeighboursOnOneRayDoNotOverlap()
{
    // Item 1's five nearest items lie almost on one ray from it, a tenth of
    // a unit apart; twenty others stand around, further away.
    std::vector<std::pair<double, double>> points{{5, 5}};
    for (int k = 0; k < 5; ++k)
        points.emplace_back(5 + 1.0 + 0.1 * k, 5 + 0.01 * k);
    std::mt19937 engine(5);
    std::uniform_real_distribution<double> uniform(0, 10);
    while (points.size() < 25) {
        const std::pair<double, double> p{uniform(engine), uniform(engine)};
        if (std::hypot(p.first - 5, p.second - 5) > 2.5)
            points.push_back(p);
    }
    QStringList names;
    for (std::size_t k = 0; k < points.size(); ++k)
        names << QString("item %1").arg(k + 1);
    Session session(NamedPoints(names, points), "5", "ray.csv");
    // The map is the points themselves.
    const int n = int(points.size());
    Layout map(std::size_t(2 * n + 1), 0.0f);
    for (int k = 0; k < n; ++k) {
        map[std::size_t(k + 1)] = float(100 * points[std::size_t(k)].first);
        map[std::size_t(n + k + 1)] = float(100 * points[std::size_t(k)].second);
    }
    QVERIFY(session.form.replaceBestLayout(map));
    ExplorerWindow *window = session.open();
    ExplorerCanvas *canvas = window->canvas();
    for (const QSize size : {QSize(1000, 720), QSize(520, 400)}) {
        window->resize(size);
        canvas->fitAll();
        window->inspect(0);
        QCOMPARE(int(canvas->marks().neighbours.size()), ExplorerWindow::NeighboursShown);
        for (const auto &neighbour : canvas->marks().neighbours)
            QVERIFY(neighbour.item >= 2 && neighbour.item <= 6);
        PaintAndKeep(canvas, QString("ray-%1.png").arg(size.width()));
        const tessarin::FrameReport &frame = canvas->lastFrame();
        QCOMPARE(int(frame.distanceTexts.size()), ExplorerWindow::NeighboursShown);
        for (std::size_t a = 0; a < frame.distanceTexts.size(); ++a) {
            const tessarin::PlacedLineText &text = frame.distanceTexts[a];
            QVERIFY2(text.placed, qPrintable(QString("text %1").arg(a)));
            QVERIFY(text.box.inside(canvas->width(), canvas->height()));
            for (std::size_t b = a + 1; b < frame.distanceTexts.size(); ++b)
                QVERIFY2(!text.box.overlaps(frame.distanceTexts[b].box), qPrintable(QString("texts %1, %2").arg(a).arg(b)));
            // No label is placed over a distance.
            for (const tessarin::PlacedLabel &label : frame.placements)
                QVERIFY(!label.placed || !label.box.overlaps(text.box));
        }
    }
    QVERIFY(session.messages.isEmpty());
}

void ExplorerWindowTest::turnsBecomeTheBestMap_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("turn");
    QTest::newRow("rotate") << "RotateAction" << int(MapTurn::RotateClockwise);
    QTest::newRow("reflect horizontally") << "ReflectHorizontallyAction" << int(MapTurn::ReflectHorizontally);
    QTest::newRow("reflect vertically") << "ReflectVerticallyAction" << int(MapTurn::ReflectVertically);
}

void ExplorerWindowTest::turnsBecomeTheBestMap()
{
    QFETCH(QString, action);
    QFETCH(int, turn);
    Session session;
    ExplorerWindow *window = session.open();
    const Layout before = session.form.bestLayout();
    const QString fitBefore = session.fitText();
    Layout expected = before;
    tessarin::TurnMap(expected, session.form.distanceData().ItemCount, MapTurn(turn));
    window->findChild<QAction *>(action)->trigger();
    QVERIFY(SameBytes(session.form.bestLayout(), expected));
    QVERIFY(SameBytes(window->canvas()->scene().layout(), expected));
    // The fit box shows the same fit.
    QCOMPARE(session.fitText(), fitBefore);
    QVERIFY(std::abs(tessarin::LayoutFitness(session.form.distanceData(), expected) -
                     tessarin::LayoutFitness(session.form.distanceData(), before)) < 1e-8);
    // A Rerun starts from the turned map: its first member is the turned map.
    QVERIFY(session.explorer().undoAction()->isEnabled());
    session.explorer().undoAction()->trigger();
    QVERIFY(SameBytes(session.form.bestLayout(), before));
    QVERIFY(session.messages.isEmpty());
}

void ExplorerWindowTest::undoAndRedoRestoreTheExactMaps()
{
    Session session;
    std::vector<Layout> maps = {session.form.bestLayout()};
    std::vector<QString> fits = {session.fitText()};
    const auto keep = [&] {
        if (!SameBytes(maps.back(), session.form.bestLayout())) {
            maps.push_back(session.form.bestLayout());
            fits.push_back(session.fitText());
        }
    };
    session.form.classicalStart();
    keep();
    session.form.polish();
    keep();
    session.form.rerun();
    keep();
    session.form.bestMap();
    keep();
    for (int k = 0; k < 50; ++k) {
        Layout turned = session.form.bestLayout();
        tessarin::TurnMap(turned, session.form.distanceData().ItemCount,
                          k % 2 ? MapTurn::ReflectVertically : MapTurn::RotateClockwise);
        QVERIFY(session.form.replaceBestLayout(turned));
        keep();
    }
    QVERIFY(maps.size() >= 52);
    const auto &history = session.explorer().history();
    QCOMPARE(history.size(), std::min(maps.size(), history.capacity()));
    QAction *undo = session.explorer().undoAction();
    QAction *redo = session.explorer().redoAction();
    QVERIFY(!redo->isEnabled());
    // Undo in the main window, by its shortcut where the form has the focus.
    session.form.activateWindow();
    for (std::size_t k = maps.size() - 1; k-- > 0;) {
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QVERIFY2(SameBytes(session.form.bestLayout(), maps[k]), qPrintable(QString::number(k)));
        QCOMPARE(session.fitText(), fits[k]);
    }
    QVERIFY(!undo->isEnabled());
    // Redo in the explorer, which shows each map as it comes back.
    ExplorerWindow *window = session.open();
    for (std::size_t k = 1; k < maps.size(); ++k) {
        QVERIFY(redo->isEnabled());
        redo->trigger();
        QVERIFY(SameBytes(session.form.bestLayout(), maps[k]));
        QVERIFY(SameBytes(window->canvas()->scene().layout(), maps[k]));
    }
    QVERIFY(!redo->isEnabled());
    // A Rerun after an undo continues from the restored map and drops the redo.
    undo->trigger();
    undo->trigger();
    session.form.rerun();
    QVERIFY(!redo->isEnabled() || SameBytes(session.form.bestLayout(), maps[maps.size() - 3]));
    QVERIFY(session.messages.isEmpty());
}

void ExplorerWindowTest::historyStartsAgainWithNewData()
{
    Session session;
    session.form.polish();
    QVERIFY(session.explorer().undoAction()->isEnabled());
    const QString other = session.folder.write("four.txt", tessarin::testing::FourItems);
    session.form.openPath(other);
    QCOMPARE(session.explorer().history().size(), std::size_t(1));
    QVERIFY(!session.explorer().undoAction()->isEnabled());
    // A map of the other table is refused.
    QVERIFY(!session.form.replaceBestLayout(Layout(65, 1.0f)));
}

/// Three species of 50 flowers each, as the iris table orders them: from
/// the file TESSARIN_EXPLORER_IRIS names (the 150 irises) or, without it, three
/// clusters of random points named by species.
struct Irises {
    Irises()
    {
        const QString iris = qEnvironmentVariable("TESSARIN_EXPLORER_IRIS");
        QStringList names;
        for (const char *species : {"setosa", "versicolor", "virginica"})
            for (int k = 1; k <= 50; ++k)
                names << QStringLiteral("%1 %2").arg(QLatin1String(species)).arg(k);
        if (!iris.isEmpty()) {
            QFile file(iris);
            if (file.open(QIODevice::ReadOnly))
                table = file.readAll();
        } else {
            table = NamedPlane(names, 8);
        }
        for (int item = 0; item < 150; ++item)
            groups.push_back(item / 50);
    }
    QByteArray table;
    std::vector<int> groups;
    std::vector<std::string> species = {"setosa", "versicolor", "virginica"};
};

void ExplorerWindowTest::groupsColourHullsAndLegend()
{
    const Irises irises;
    Session session(irises.table, "200", qEnvironmentVariableIsEmpty("TESSARIN_EXPLORER_IRIS") ? "irises.csv" : "iris150.txt");
    session.form.bestMap();
    ExplorerWindow *window = session.open();
    QVERIFY(!window->hullsBox()->isEnabled());
    session.explorer().setGroups(irises.groups, irises.species);
    QVERIFY(window->hullsBox()->isEnabled() && window->ellipsesBox()->isEnabled());
    QVERIFY(window->stressSizeBox()->isEnabled());
    window->resize(1400, 1000);
    QApplication::processEvents();
    const QImage plain = window->canvas()->grab().toImage();
    // The legend, top right, names the three groups; no label covers it.
    const auto &frame = window->canvas()->lastFrame();
    QVERIFY(frame.labelsPlaced > 0);
    struct Toggle {
        QCheckBox *box;
        const char *name;
    };
    for (const Toggle &toggle : {Toggle{window->hullsBox(), "hulls"}, Toggle{window->ellipsesBox(), "ellipses"},
                                 Toggle{window->stressSizeBox(), "stress"}}) {
        toggle.box->setChecked(true);
        const QImage shown = window->canvas()->grab().toImage();
        QVERIFY2(shown != plain, toggle.name);
        toggle.box->setChecked(false);
        QVERIFY2(window->canvas()->grab().toImage() == plain, toggle.name);
    }
    // Each group in its own colour: the markers of item 1 and item 101 differ.
    const auto colourAt = [&](int item) {
        const auto p = window->canvas()->view().toScreen(window->canvas()->scene().index().x(item),
                                                         window->canvas()->scene().index().y(item));
        return plain.pixel(int(std::lround(p.x)), int(std::lround(p.y)));
    };
    QVERIFY(colourAt(0) != colourAt(100));
    QCOMPARE(window->canvas()->scene().groupName(120), QString("virginica"));

    // As a user would: zoomed into the border of versicolor and virginica,
    // one flower found by name, the hulls on.
    window->hullsBox()->setChecked(true);
    // The real irises have no names: the flower is found by its number.
    window->findBox()->setText(qEnvironmentVariableIsEmpty("TESSARIN_EXPLORER_IRIS") ? "virginica 34" : "134");
    QCOMPARE(int(window->canvas()->marks().found.size()), 1);
    double x = 0, y = 0;
    for (int item = 50; item < 150; ++item) {
        x += window->canvas()->scene().index().x(item) / 100;
        y += window->canvas()->scene().index().y(item) / 100;
    }
    window->canvas()->view().centreOn(x, y);
    window->canvas()->view().zoomAt(700, 450, 2.5);
    window->canvas()->viewMoved();
    window->inspect(window->canvas()->marks().found.front());
    PaintAndKeep(window, "explorer-iris.png");
    QVERIFY(window->inspectText().contains("group: virginica"));
}

void ExplorerWindowTest::workspaceRoundTrip()
{
    Session session;
    session.form.polish();
    ExplorerWindow *window = session.open();
    window->findChild<QAction *>("RotateAction")->trigger();
    session.explorer().undoAction()->trigger(); // the position is not the last map
    tessarin::testing::box(session.form, "FontText")->setText("14");
    tessarin::testing::box(session.form, "GAgensText")->setText("250");
    session.form.setModel(tessarin::StressModel::Ordinal);
    session.form.setTies(tessarin::TieApproach::Secondary);
    window->labelSizeBox()->setValue(11.5);
    window->backgroundBox()->setCurrentIndex(1);
    window->resize(1100, 800);
    QApplication::processEvents();
    QTest::keyClick(window->canvas(), Qt::Key_Plus);
    window->canvas()->view().panBy(37, -12);
    const QString path = session.folder.path("cars.tessarin.json");
    QVERIFY(session.explorer().saveWorkspaceTo(path));
    tessarin::Workspace saved = session.explorer().currentWorkspace();
    saved.tableHash = tessarin::FileHash(saved.tableFile);
    QVERIFY(saved.history.size() >= 3);

    MainForm other;
    QStringList messages;
    other.setMessageSink([&](const QString &text) { messages << text; });
    other.explorer()->setMessageSink([&](const QString &text) { messages << text; });
    other.show();
    int searches = 0;
    QObject::connect(&other, &MainForm::searchStarted, [&] { ++searches; });
    QVERIFY(other.explorer()->openWorkspaceFrom(path));
    QApplication::processEvents();
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
    QCOMPARE(searches, 0);
    QVERIFY(SameBytes(other.bestLayout(), session.form.bestLayout()));
    QCOMPARE(tessarin::testing::box(other, "FitBox")->text(), session.fitText());
    QCOMPARE(tessarin::testing::box(other, "FontText")->text(), QString("14"));
    QCOMPARE(other.model().model, tessarin::StressModel::Ordinal);
    QCOMPARE(other.model().ties, tessarin::TieApproach::Secondary);
    QVERIFY(!other.modelStatusText().isEmpty());
    QCOMPARE(other.modelStatusText(), session.form.modelStatusText());
    tessarin::Workspace restored = other.explorer()->currentWorkspace();
    restored.tableHash = tessarin::FileHash(restored.tableFile);
    // The same state, byte for byte in the file's form: every map of the
    // history, its position, the settings, the explorer's look and view.
    QCOMPARE(QString::fromUtf8(tessarin::WriteWorkspace(restored)), QString::fromUtf8(tessarin::WriteWorkspace(saved)));
    QVERIFY(other.explorer()->redoAction()->isEnabled());
    other.explorer()->redoAction()->trigger();
    QVERIFY(SameBytes(other.bestLayout(), saved.history[saved.historyPosition + 1]));
}

void ExplorerWindowTest::workspaceKeepsHowTheTableWasRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("weighed");
    QTest::newRow("distances, weighed") << "distances" << true;
    QTest::newRow("data table by manhattan, z, groups") << "metric" << false;
    QTest::newRow("data table by minkowski=3, range, weighed") << "minkowski" << true;
    QTest::newRow("similarities by one-minus") << "similarities" << false;
}

void ExplorerWindowTest::workspaceKeepsHowTheTableWasRead()
{
    QFETCH(QString, kind);
    QFETCH(bool, weighed);
    Session session;
    tessarin::DistanceSource source;
    QString table = session.file;
    if (kind == "metric" || kind == "minkowski") {
        table = session.folder.write("shapes.csv", DataTable(24));
        source.metric = tessarin::ParseMetric(kind == "metric" ? "manhattan" : "minkowski=3");
        source.standardization = kind == "metric" ? tessarin::Standardization::Z : tessarin::Standardization::Range;
        source.table.names = tessarin::DataTableOptions::Names::Column;
        source.table.nameColumn = "name";
        source.groups = "kind";
    } else if (kind == "similarities") {
        table = session.folder.write("alike.csv", SimilarityTable(18));
        source.similarities = tessarin::SimilarityConversion::OneMinus;
    }
    if (kind != "distances")
        session.form.openSource(table, source);
    QStringList names;
    for (const std::string &name : session.form.distanceData().Names)
        names << QString::fromStdString(name);
    QVERIFY(names.size() > 10);
    if (weighed) {
        session.form.openWeightsPath(session.folder.write("weights.csv", WeightsFor(names)));
        QVERIFY(session.form.distanceData().MissingPairs > 0);
    }
    QVERIFY2(session.messages.isEmpty(), qPrintable(session.messages.join('\n')));
    const QString path = session.folder.path("kept.tessarin.json");
    QVERIFY(session.explorer().saveWorkspaceTo(path));

    // Opened in a window that has started up on another table, as the
    // program always does.
    MainForm other;
    QStringList messages;
    other.setMessageSink([&](const QString &text) { messages << text; });
    other.explorer()->setMessageSink([&](const QString &text) { messages << text; });
    tessarin::testing::box(other, "GAgensText")->setText("5");
    other.startUp(session.folder.write("five.csv", NamedPlane({"a", "b", "c", "d", "e"})), MainForm::StartFile::Named);
    QVERIFY(other.explorer()->openWorkspaceFrom(path));
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
    const tessarin::DistanceData &was = session.form.distanceData(), &is = other.distanceData();
    QCOMPARE(is.ItemCount, was.ItemCount);
    QCOMPARE(is.Names, was.Names);
    QVERIFY(is.Distances == was.Distances);
    QVERIFY(is.PairWeights == was.PairWeights);
    QCOMPARE(is.MissingPairs, was.MissingPairs);
    QCOMPARE(other.groups().groupOf, session.form.groups().groupOf);
    QCOMPARE(other.groups().names, session.form.groups().names);
    QCOMPARE(other.weightsFile().isEmpty(), !weighed);
    QVERIFY(SameBytes(other.bestLayout(), session.form.bestLayout()));
    QCOMPARE(tessarin::testing::box(other, "FitBox")->text(), tessarin::testing::box(session.form, "FitBox")->text());
    // The map as the search drew it, in the groups' colours with their legend.
    QCOMPARE(other.distanceGraph()->image(), session.form.distanceGraph()->image());
    tessarin::Workspace saved = session.explorer().currentWorkspace(), restored = other.explorer()->currentWorkspace();
    QCOMPARE(QString::fromUtf8(tessarin::WriteWorkspace(restored)), QString::fromUtf8(tessarin::WriteWorkspace(saved)));

    // The same file read the other way, or left unweighed, is not this table.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray json = file.readAll();
    QCOMPARE(json.contains("\"weights\""), weighed);
    QCOMPARE(json.contains("\"groups\": \"kind\""), kind == "metric" || kind == "minkowski");
}

void ExplorerWindowTest::workspaceOfAChangedTableIsRefused_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("message");
    QTest::newRow("table changed") << "table" << "has changed since";
    QTest::newRow("not a workspace") << "format" << "not a Tessarin workspace";
    QTest::newRow("a map cut short") << "map" << "not two for each item";
    QTest::newRow("an unknown model") << "model" << "\"name\" kruskal is not fit";
    QTest::newRow("unknown ties") << "ties" << "\"ties\" tertiary is not primary";
    QTest::newRow("weights changed") << "weights" << "weights file";
    QTest::newRow("an unknown metric") << "metric" << "\"table\": ";
}

void ExplorerWindowTest::workspaceOfAChangedTableIsRefused()
{
    QFETCH(QString, change);
    QFETCH(QString, message);
    Session session;
    if (change == "weights")
        session.form.openWeightsPath(session.folder.write("weights.csv", WeightsFor(Cars())));
    const QString path = session.folder.path("w.json");
    QVERIFY(session.explorer().saveWorkspaceTo(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray json = file.readAll();
    file.close();
    if (change == "table")
        session.folder.write("cars.csv", NamedPlane(Cars(), 4));
    if (change == "format")
        json.replace("tessarin-workspace", "something-else");
    if (change == "model")
        json.replace("\"name\": \"fit\"", "\"name\": \"kruskal\"");
    if (change == "ties")
        json.replace("\"ties\": \"primary\"", "\"ties\": \"tertiary\"");
    if (change == "map")
        json.replace("\"bestMap\": [", "\"bestMap\": [ 1,");
    if (change == "weights")
        session.folder.write("weights.csv", WeightsFor(Cars()).replace(",2", ",3"));
    if (change == "metric")
        json.replace("\"sha256\"", "\"metric\": \"nearness\", \"sha256\"");
    QVERIFY(!session.folder.write("w.json", json).isEmpty());
    const Layout before = session.form.bestLayout();
    QStringList messages;
    session.explorer().setMessageSink([&](const QString &text) { messages << text; });
    QVERIFY(!session.explorer().openWorkspaceFrom(path));
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages.front().contains(message), qPrintable(messages.front()));
    QVERIFY(SameBytes(session.form.bestLayout(), before));
}

void ExplorerWindowTest::figureHoldsEveryNameAsText_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("pdf") << "figure.pdf";
    QTest::newRow("svg") << "figure.svg";
    QTest::newRow("png") << "figure.png";
}

void ExplorerWindowTest::figureHoldsEveryNameAsText()
{
    QFETCH(QString, file);
    Session session;
    ExplorerWindow *window = session.open();
    // Zoomed in on a corner: a figure still names the items it shows.
    ExplorerCanvas *canvas = window->canvas();
    tessarin::FigureRequest request;
    QVERIFY(tessarin::FigureFormatOf(file, request.format));
    request.caption = "cars.csv: fit 99 %";
    request.dotsPerInch = 192;
    const QByteArray bytes = tessarin::RenderFigure(canvas->scene(), canvas->view(), canvas->look(), request);
    const QString path = session.folder.write(file, bytes);
    QVERIFY(!path.isEmpty());
    QStringList names = Cars();
    names << "cars.csv: fit 99 %";
    if (file.endsWith(".png")) {
        const QImage image(path);
        QCOMPARE(image.width(), int(std::ceil(canvas->width() * 2.0)));
        QCOMPARE(image.height(), int(std::ceil((canvas->height() + tessarin::ExplorerScene::CaptionBand) * 2.0)));
        QCOMPARE(image.pixel(1, 1), qRgb(255, 255, 255));
        return;
    }
    const QString flat = file.endsWith(".svg") ? QString::fromUtf8(bytes).simplified() : PdfText(path);
    for (const QString &name : names)
        QVERIFY2(flat.contains(name.toHtmlEscaped()) || flat.contains(name), qPrintable(name));
}

void ExplorerWindowTest::batchFigure_data()
{
    QTest::addColumn<QString>("figure");
    QTest::addColumn<int>("exit");
    // The model's stress in the caption, as the window's status line says it.
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("modelCaption");
    QTest::newRow("pdf") << "cars.pdf" << 0 << "" << "";
    QTest::newRow("svg, any case") << "cars.SVG" << 0 << "" << "";
    QTest::newRow("png") << "cars.png" << 0 << "" << "";
    QTest::newRow("jpeg refused") << "cars.jpg" << 2 << "" << "";
    QTest::newRow("no ending refused") << "cars" << 2 << "" << "";
    QTest::newRow("ordinal model") << "cars.pdf" << 0 << "ordinal" << ", Ordinal stress-1 0.";
    QTest::newRow("sammon model") << "cars.SVG" << 0 << "sammon" << ", Sammon stress 0.";
    QTest::newRow("fit model names none") << "cars.SVG" << 0 << "fit" << "";
}

void ExplorerWindowTest::batchFigure()
{
    QFETCH(QString, figure);
    QFETCH(int, exit);
    QFETCH(QString, model);
    QFETCH(QString, modelCaption);
    WorkingFolder folder;
    const QString table = folder.write("cars.csv", NamedPlane(Cars()));
    const QString path = folder.path(figure);
    std::vector<std::string> args{"--batch", table.toStdString(), "--best", "--coords",
                                  folder.path("cars-map.csv").toStdString(), "--figure", path.toStdString()};
    if (!model.isEmpty())
        args.insert(args.end(), {"--model", model.toStdString()});
    int status = -1;
    try {
        status = tessarin::RunBatchMode(args, tessarin::testing::BatchPictures());
    } catch (const tessarin::UsageError &) {
        status = 2;
    }
    QCOMPARE(status, exit);
    QCOMPARE(QFile::exists(path), exit == 0);
    if (exit != 0)
        return;
    QString text;
    if (figure.endsWith(".pdf"))
        text = PdfText(path);
    if (figure.endsWith(".SVG")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        text = QString::fromUtf8(file.readAll()).simplified();
    }
    if (figure.endsWith(".png")) {
        const QImage image(path);
        // 1000 x 720 at 300 dots an inch, with the caption's band.
        QCOMPARE(image.width(), 3125);
        QCOMPARE(image.height(), int(std::ceil((720 + tessarin::ExplorerScene::CaptionBand) * 300.0 / 96)));
        return;
    }
    for (const QString &name : Cars())
        QVERIFY2(text.contains(name), qPrintable(name + " in " + text.left(200)));
    QVERIFY2(text.contains("cars.csv: 32 items, fit"), qPrintable(text.right(200)));
    QVERIFY(text.contains("stress-1: "));
    if (modelCaption.isEmpty())
        QVERIFY2(!text.contains("Ordinal") && !text.contains("Ratio") && !text.contains("Sammon"),
                 qPrintable(text.right(200)));
    else
        QVERIFY2(text.contains(modelCaption), qPrintable(text.right(200)));
    if (model == "ordinal")
        QVERIFY2(text.contains("primary ties"), qPrintable(text.right(200)));
}

void ExplorerWindowTest::sharesAndStatusFollowTheModel()
{
    Session session;
    session.open();
    const tessarin::DistanceData &data = session.form.distanceData();
    const std::vector<double> fitShares = tessarin::MeasureStress(data, session.form.bestLayout()).pointShares;
    QCOMPARE(session.explorer().input().stressShares, fitShares);

    // Another model measures the shares of its own residuals.
    session.form.setModel(tessarin::StressModel::Sammon);
    const tessarin::ModelSetting sammon = session.form.model();
    const std::vector<double> sammonShares =
        tessarin::MeasureModelStress(data, session.form.bestLayout(), sammon).pointShares;
    QVERIFY(sammonShares != fitShares);
    QCOMPARE(session.explorer().input().stressShares, sammonShares);

    // A map made the best map from elsewhere gets the model's status line.
    Layout moved = session.form.bestLayout();
    moved[1] += 300.0f;
    const QString before = session.form.modelStatusText();
    QVERIFY(session.form.replaceBestLayout(moved));
    const QString after = session.form.modelStatusText();
    QCOMPARE(after, QString::fromStdString(tessarin::ModelStatusText(
                        sammon.model, tessarin::ModelStress(data, session.form.bestLayout(), sammon))));
    QVERIFY2(after != before, qPrintable(after));
    QCOMPARE(session.explorer().input().stressShares,
             tessarin::MeasureModelStress(data, session.form.bestLayout(), sammon).pointShares);

    session.form.setModel(tessarin::StressModel::Fit);
    QCOMPARE(session.explorer().input().stressShares, tessarin::MeasureStress(data, session.form.bestLayout()).pointShares);
    QVERIFY(session.messages.isEmpty());
}

void ExplorerWindowTest::statusShowsTheModelsStressLive_data()
{
    QTest::addColumn<int>("modelValue");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ordinal") << int(tessarin::StressModel::Ordinal) << "Ordinal stress-1 0.";
    QTest::newRow("ratio") << int(tessarin::StressModel::Ratio) << "Ratio stress-1 0.";
    QTest::newRow("sammon") << int(tessarin::StressModel::Sammon) << "Sammon stress 0.";
}

void ExplorerWindowTest::statusShowsTheModelsStressLive()
{
    QFETCH(int, modelValue);
    QFETCH(QString, shown);
    const auto model = static_cast<tessarin::StressModel>(modelValue);
    Session session;
    ExplorerWindow *window = session.open();
    auto *status = window->findChild<QLabel *>("ExplorerStatus");
    QVERIFY(status);
    const tessarin::DistanceData &data = session.form.distanceData();
    auto fitText = [](double fit) { return QString::fromStdString(tessarin::strN(6, fit * 100)).trimmed(); };
    // Under the fit the line shows the fit alone.
    const QString fitOnly =
        QString("cars.csv — 32 items — fit %1 %").arg(fitText(tessarin::LayoutFitness(data, session.form.bestLayout())));
    QCOMPARE(status->text(), fitOnly);

    // A model adds the form's own line at once: the stress with Kruskal's
    // word (none for Sammon's criterion), and the ties of an ordinal model.
    session.form.setModel(model);
    const tessarin::ModelSetting setting = session.form.model();
    QVERIFY(session.form.modelStatusText().startsWith(shown));
    QCOMPARE(status->text(), fitOnly + " — " + session.form.modelStatusText());
    QCOMPARE(session.form.modelStatusText().contains("(good)") || session.form.modelStatusText().contains("(excellent)") ||
                 session.form.modelStatusText().contains("(fair)") || session.form.modelStatusText().contains("(poor)") ||
                 session.form.modelStatusText().contains("(bad)"),
             model != tessarin::StressModel::Sammon);
    QCOMPARE(session.form.modelStatusText().endsWith(", primary ties"), model == tessarin::StressModel::Ordinal);

    // During a run each line holds the fit and the stress of one map the run
    // showed, the first map's at once; the run's end shows the form's line.
    for (const char *command : {"rerun", "polish"}) {
        std::vector<QString> expected, seen;
        QObject::connect(&session.form, &MainForm::improvementDrawn, window, [&](const QList<float> &layout, double fit) {
            const Layout map(layout.begin(), layout.end());
            expected.push_back(QString("cars.csv — 32 items — fit %1 % (running) — %2")
                                   .arg(fitText(fit),
                                        tessarin::ModelStatusLine(setting, tessarin::ModelStress(data, map, setting))));
            seen.push_back(status->text());
        });
        if (QByteArray(command) == "rerun")
            session.form.rerun();
        else
            session.form.polish();
        QObject::disconnect(&session.form, &MainForm::improvementDrawn, window, nullptr);
        QVERIFY2(!seen.empty(), command);
        QCOMPARE(seen.front(), expected.front());
        for (std::size_t k = 0; k < seen.size(); ++k)
            QVERIFY2(std::find(expected.begin(), expected.begin() + std::ptrdiff_t(k) + 1, seen[k]) !=
                         expected.begin() + std::ptrdiff_t(k) + 1,
                     qPrintable(QString("%1, improvement %2: %3").arg(command).arg(k).arg(seen[k])));
        QCOMPARE(status->text(), QString("cars.csv — 32 items — fit %1 % — %2")
                                     .arg(fitText(tessarin::LayoutFitness(data, session.form.bestLayout())),
                                          session.form.modelStatusText()));
        QVERIFY(session.form.modelStatusText().startsWith(shown));
    }
    // Above the limit of items the stress waits for the run's end.
    session.explorer().setLiveStressLimit(31);
    std::vector<QString> seen;
    QObject::connect(&session.form, &MainForm::improvementDrawn, window,
                     [&](const QList<float> &, double) { seen.push_back(status->text()); });
    session.form.rerun();
    QObject::disconnect(&session.form, &MainForm::improvementDrawn, window, nullptr);
    QVERIFY(!seen.empty());
    for (const QString &line : seen)
        QVERIFY2(line.endsWith(" (running) — " + tessarin::ModelStatusLine(setting, {}) + ": measured when the run ends"),
                 qPrintable(line));
    QVERIFY(status->text().endsWith(" — " + session.form.modelStatusText()));

    // Back under the fit, the fit alone again.
    session.form.setModel(tessarin::StressModel::Fit);
    QCOMPARE(status->text(), QString("cars.csv — 32 items — fit %1 %")
                                 .arg(fitText(tessarin::LayoutFitness(data, session.form.bestLayout()))));
    QVERIFY(session.messages.isEmpty());
}

QTEST_MAIN(ExplorerWindowTest)
#include "explorer_window_test.moc"
