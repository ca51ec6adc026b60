// The map commands (Classical start, Polish, Best map) run in the window on
// the real solvers: live drawing, Stop, Close, errors, what they leave as the
// best map and how a Rerun continues from it.
#include "fit/layout_fitness.h"
#include "base/tessarin_error.h"
#include "base/str_n.h"
#include "run/run_observer.h"
#include "window/main_form.h"
#include "window/picture_box.h"
#include "window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QtTest>

using tessarin::DistanceData;
using tessarin::Layout;
using tessarin::MainForm;
using tessarin::MapStage;
using tessarin::RunObserver;
using tessarin::testing::box;
using tessarin::testing::button;
using tessarin::testing::Drawing;
using tessarin::testing::Recorder;

Q_DECLARE_METATYPE(MapStage)

namespace {

const QString Cities = QStringLiteral(TESSARIN_EXAMPLES_DIR "/distance.txt");

/// A window that has read the 20 cities and run a short search.
struct Window {
    Window()
    {
        box(form, "GAgensText")->setText("10");
        form.setMessageSink([this](const QString &text) { messages << text; });
        form.startUp(Cities);
    }
    void run(MapStage command)
    {
        const char *names[] = {"ClassicalStartAction", "PolishAction", "BestMapAction"};
        form.findChild<QAction *>(names[int(command)])->trigger();
    }
    QList<float> best() const { return {form.bestLayout().begin() + 1, form.bestLayout().end()}; }
    double bestFit() const { return tessarin::LayoutFitness(form.distanceData(), form.bestLayout()); }

    MainForm form;
    QStringList messages;
};

void addCommandRows()
{
    QTest::addColumn<MapStage>("command");
    QTest::newRow("classical start") << MapStage::ClassicalStart;
    QTest::newRow("polish") << MapStage::Polish;
    QTest::newRow("best map") << MapStage::BestMap;
}

} // namespace

class MapCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void resultBecomesBestLayout_data() { addCommandRows(); }
    void resultBecomesBestLayout();
    void twoWindowsGiveTheSameMaps_data() { addCommandRows(); }
    void twoWindowsGiveTheSameMaps();
    void stopKeepsTheBestSoFar_data();
    void stopKeepsTheBestSoFar();
    void closeEndsAtOnce_data() { addCommandRows(); }
    void closeEndsAtOnce();
    void failureKeepsMapAndData();
    void rerunAfterPolishContinuesFromIt();
    void withoutDataSaysSo();
};

void MapCommandsTest::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void MapCommandsTest::cleanup()
{
    QVERIFY(!QApplication::overrideCursor());
}

void MapCommandsTest::resultBecomesBestLayout()
{
    QFETCH(MapStage, command);
    Window window;
    MainForm &form = window.form;
    Recorder recorder(form);
    bool busyWhileDrawing = true;
    recorder.onDrawing = [&] {
        busyWhileDrawing = busyWhileDrawing && QApplication::overrideCursor() &&
                           QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    };
    window.run(command);

    QVERIFY(window.messages.isEmpty());
    QVERIFY(!recorder.drawings.isEmpty());
    QVERIFY(busyWhileDrawing);
    // The last map drawn is the best map, its fit is the exact measure of
    // the stored map, and the fit box shows it as the search's drawings do.
    const Drawing last = recorder.drawings.last();
    QCOMPARE(window.best(), last.layout.mid(1));
    QCOMPARE(last.fit, window.bestFit());
    QCOMPARE(box(form, "FitBox")->text(), QString::fromStdString(tessarin::strN(6, last.fit * 100)));
    for (float coordinate : window.best())
        QVERIFY2(coordinate >= 0 && coordinate <= 1000, qPrintable(QString::number(coordinate)));
    // A standard method beats what ten generations of the search reach.
    QVERIFY(last.fit > 0.95);
    QVERIFY(button(form, "OpenButton")->isEnabled());
    QVERIFY(button(form, "MoreFit")->isEnabled());
}

void MapCommandsTest::twoWindowsGiveTheSameMaps()
{
    QFETCH(MapStage, command);
    QList<float> maps[2];
    QString fitTexts[2];
    for (int i = 0; i < 2; ++i) {
        Window window;
        window.run(command);
        // Run twice: the second run starts from the first's map.
        window.run(command);
        maps[i] = window.best();
        fitTexts[i] = box(window.form, "FitBox")->text();
    }
    QCOMPARE(maps[0].size(), 40);
    QVERIFY(maps[0] == maps[1]);
    QCOMPARE(fitTexts[0], fitTexts[1]);
}

void MapCommandsTest::stopKeepsTheBestSoFar_data()
{
    QTest::addColumn<MapStage>("command");
    QTest::addColumn<bool>("byKey");
    QTest::newRow("polish, Stop button") << MapStage::Polish << false;
    QTest::newRow("best map, Stop entry") << MapStage::BestMap << true;
}

void MapCommandsTest::stopKeepsTheBestSoFar()
{
    QFETCH(MapStage, command);
    QFETCH(bool, byKey);

    // The whole command first, for its fit; a Stop left over from before
    // does not end it at once.
    double fullFit;
    QList<float> fullMap;
    {
        Window window;
        window.run(command);
        fullFit = window.bestFit();
        fullMap = window.best();
    }
    {
        Window window;
        window.form.stop();
        window.run(command);
        QVERIFY(window.best() == fullMap);
    }

    Window window;
    MainForm &form = window.form;
    Recorder recorder(form);
    recorder.onDrawing = [&] {
        if (recorder.drawings.size() != 1)
            return;
        if (byKey)
            form.findChild<QAction *>("StopAction")->trigger();
        else
            button(form, "StopButton")->click();
    };
    window.run(command);

    QVERIFY(window.messages.isEmpty());
    // Stopped at the next iteration: the map drawn at the Stop, perhaps one
    // better one found in that iteration, and nothing after.
    QVERIFY2(recorder.drawings.size() <= 2, qPrintable(QString::number(recorder.drawings.size())));
    QCOMPARE(window.best(), recorder.drawings.last().layout.mid(1));
    QVERIFY(recorder.drawings.last().fit >= recorder.drawings.first().fit);
    QVERIFY2(window.bestFit() < fullFit, qPrintable(QString("%1 vs %2").arg(window.bestFit()).arg(fullFit)));
    QCOMPARE(form.stopFlag(), short(1));
    QVERIFY(button(form, "OpenButton")->isEnabled());
}

void MapCommandsTest::closeEndsAtOnce()
{
    QFETCH(MapStage, command);
    Window window;
    MainForm &form = window.form;
    const Layout before = form.bestLayout();
    Recorder recorder(form);
    recorder.onDrawing = [&] { form.close(); };
    window.run(command);

    QCOMPARE(recorder.drawings.size(), 1); // nothing drawn after the close
    QVERIFY(form.isClosing());
    QVERIFY(!form.isVisible());
    QVERIFY(window.messages.isEmpty());
    QVERIFY(form.bestLayout() == before); // the abandoned command wrote no result
    QVERIFY(!QApplication::overrideCursor());
    window.run(command);
    QCOMPARE(recorder.drawings.size(), 1);
}

void MapCommandsTest::failureKeepsMapAndData()
{
    Window window;
    MainForm &form = window.form;
    const Layout before = form.bestLayout();
    const auto distances = form.distanceData().Distances;
    const QImage map = form.distanceGraph()->image();
    const QString fit = box(form, "FitBox")->text();
    const QString generation = box(form, "GAgenText")->text();
    // A solver that draws a map of its own and then fails.
    form.setMapCommandRunner([](MapStage, const DistanceData &data, const Layout &, RunObserver &observer) ->
                             tessarin::MapStageOutcome {
        const Layout stray(2 * static_cast<std::size_t>(data.ItemCount) + 1, 500.0f);
        observer.progress("route b", 3);
        observer.improved(stray, 0.5);
        throw tessarin::TessarinError("out of memory for the pairs");
    });
    window.run(MapStage::BestMap);

    QCOMPARE(window.messages.size(), 1);
    QVERIFY2(window.messages[0].contains("Best map") && window.messages[0].contains("out of memory for the pairs") &&
                 window.messages[0].contains("distance.txt"),
             qPrintable(window.messages[0]));
    QVERIFY(form.bestLayout() == before);
    QVERIFY(form.distanceData().Distances == distances);
    QCOMPARE(form.distanceGraph()->image(), map);
    QCOMPARE(box(form, "FitBox")->text(), fit);
    QCOMPARE(box(form, "GAgenText")->text(), generation);
    QVERIFY(button(form, "OpenButton")->isEnabled());
    QVERIFY(button(form, "MoreFit")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void MapCommandsTest::rerunAfterPolishContinuesFromIt()
{
    Window window;
    MainForm &form = window.form;
    window.run(MapStage::Polish);
    const double polished = window.bestFit();

    Recorder recorder(form);
    box(form, "GAgensText")->setText("30");
    button(form, "MoreFit")->click();
    QCOMPARE(form.lastRunGenerations(), 30LL);
    // The search's member 1 is the polished map, and it never shows less.
    QVERIFY(!recorder.drawings.isEmpty());
    QVERIFY2(recorder.drawings.first().fit >= polished,
             qPrintable(QString("%1 < %2").arg(recorder.drawings.first().fit).arg(polished)));
    QVERIFY(window.bestFit() >= polished);
}

void MapCommandsTest::withoutDataSaysSo()
{
    tessarin::testing::WorkingFolder empty; // no distance.txt there
    QVERIFY(empty.isValid());
    MainForm form;
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    form.startUp();
    Recorder recorder(form);
    form.polish();
    form.bestMap();
    QCOMPARE(messages.size(), 2);
    QVERIFY2(messages[0].contains("open a distance file first"), qPrintable(messages[0]));
    QVERIFY(recorder.drawings.isEmpty());
    QVERIFY(button(form, "OpenButton")->isEnabled());
}

QTEST_MAIN(MapCommandsTest)
#include "map_commands_test.moc"
