// The Shepard window and the stress rings: the commands, the window beside
// the main one, its updates at the end of a run, saving, the rings' toggle,
// and the batch mode's --shepard and --report.
#include "app/batch_mode.h"
#include "io/distance_reader.h"
#include "base/tessarin_error.h"
#include "diagnostics/map_stress.h"
#include "io/layout_csv.h"
#include "window/main_form.h"
#include "window/map_diagnostics.h"
#include "export/palette.h"
#include "window/picture_box.h"
#include "window/shepard_window.h"
#include "window_test_support.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QTableWidget>
#include <QXmlStreamReader>
#include <QtTest>

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
    Window()
    {
        file = folder.write("six.txt", tessarin::testing::SixItems);
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

QTEST_MAIN(ShepardWindowTest)
#include "shepard_window_test.moc"
