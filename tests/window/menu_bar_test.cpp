// The menu bar: its menus and entries, their shortcuts, and that each entry
// reaches its command; the entries that start work are greyed while a run goes.
#include "base/tessarin_error.h"
#include "fit/layout_fitness.h"
#include "io/distance_file.h"
#include "run/run_observer.h"
#include "window/help_boxes.h"
#include "window/main_form.h"
#include "window/menu_bar.h"
#include "window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QtTest>

using tessarin::DistanceData;
using tessarin::Layout;
using tessarin::MainForm;
using tessarin::MapStage;
using tessarin::MapStageOutcome;
using tessarin::RunObserver;
using tessarin::testing::box;
using tessarin::testing::button;
using tessarin::testing::SixItems;
using tessarin::testing::WorkingFolder;

namespace {

/// A window on six items after a short search, whose map commands are
/// recorded instead of solved (each gives the best map back unchanged).
struct Window {
    Window()
    {
        box(form, "GAgensText")->setText("10");
        form.setMessageSink([this](const QString &text) { messages << text; });
        form.setDialog([this] {
            ++openDialogs;
            return QString();
        });
        form.setSaveDialog([this](const MainForm::SaveRequest &) {
            ++saveDialogs;
            return MainForm::SaveChoice{};
        });
        form.setMapCommandRunner(
            [this](MapStage command, const DistanceData &data, const Layout &best, RunObserver &observer) {
                commands << command;
                if (during)
                    during();
                tessarin::MapStageOutcome result{best, tessarin::LayoutFitness(data, best), false, {}};
                observer.improved(result.layout, result.fit);
                return result;
            });
        form.startUp();
    }
    QAction *action(const char *name) const { return form.findChild<QAction *>(QString::fromLatin1(name)); }

    MainForm form;
    QStringList messages;
    QList<MapStage> commands;
    std::function<void()> during;
    int openDialogs = 0;
    int saveDialogs = 0;
};

} // namespace

class MenuBarTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void entries_data();
    void entries();
    void shortcutsReachTheirCommands_data();
    void shortcutsReachTheirCommands();
    void helpAndQuit();
    void helpBoxes_data();
    void helpBoxes();
    void fileFormatExamplesRead();
    void commandsGreyedWhileRunning_data();
    void commandsGreyedWhileRunning();

private:
    std::unique_ptr<WorkingFolder> m_folder;
};

void MenuBarTest::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void MenuBarTest::init()
{
    m_folder = std::make_unique<WorkingFolder>();
    QVERIFY(m_folder->isValid());
    QVERIFY(!m_folder->write("distance.txt", SixItems).isEmpty());
}

void MenuBarTest::cleanup()
{
    m_folder.reset();
    QVERIFY(!QApplication::overrideCursor());
}

void MenuBarTest::entries_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("shortcut");

    QTest::newRow("OpenAction") << "FileMenu" << "&Open…" << QKeySequence(QKeySequence::Open);
    QTest::newRow("OpenDataTableAction") << "FileMenu" << "Open &data table…" << QKeySequence("Ctrl+Shift+O");
    QTest::newRow("OpenWeightsAction") << "FileMenu" << "Open &weights…" << QKeySequence();
    QTest::newRow("SaveMapPng") << "FileMenu" << "Save map as PNG…" << QKeySequence(QKeySequence::Save);
    QTest::newRow("SaveMapSvg") << "FileMenu" << "Save map as SVG…" << QKeySequence();
    QTest::newRow("SaveCoordinates") << "FileMenu" << "Save coordinates as CSV…" << QKeySequence();
    QTest::newRow("SaveTablePng") << "FileMenu" << "Save table as PNG…" << QKeySequence();
    QTest::newRow("SaveTableSvg") << "FileMenu" << "Save table as SVG…" << QKeySequence();
    QTest::newRow("QuitAction") << "FileMenu" << "&Quit" << QKeySequence(QKeySequence::Quit);
    QTest::newRow("RerunAction") << "MapCommandsMenu" << "&Rerun/More Fit" << QKeySequence("Ctrl+R");
    QTest::newRow("StopAction") << "MapCommandsMenu" << "&Stop" << QKeySequence("Esc");
    QTest::newRow("ClassicalStartAction") << "MapCommandsMenu" << "&Classical start" << QKeySequence("Ctrl+L");
    QTest::newRow("PolishAction") << "MapCommandsMenu" << "&Polish" << QKeySequence("Ctrl+P");
    QTest::newRow("BestMapAction") << "MapCommandsMenu" << "&Best map" << QKeySequence("Ctrl+B");
    QTest::newRow("UndoMapAction") << "EditMenu" << "&Undo map" << QKeySequence("Ctrl+Z");
    QTest::newRow("RedoMapAction") << "EditMenu" << "&Redo map" << QKeySequence("Ctrl+Shift+Z");
    QTest::newRow("MapExplorerAction") << "MapCommandsMenu" << "Map e&xplorer…" << QKeySequence("Ctrl+E");
    QTest::newRow("FileFormatAction") << "HelpMenu" << "The distance &file format"
                                      << QKeySequence(QKeySequence::HelpContents);
    QTest::newRow("FitHelpAction") << "HelpMenu" << "The fit and &stress" << QKeySequence();
    QTest::newRow("AboutAction") << "HelpMenu" << "&About Tessarin" << QKeySequence();
}

void MenuBarTest::entries()
{
    QFETCH(QString, menu);
    QFETCH(QString, text);
    QFETCH(QKeySequence, shortcut);

    MainForm form;
    const QStringList menus = {"FileMenu", "EditMenu", "MapCommandsMenu", "HelpMenu"};
    QStringList titles;
    for (QAction *entry : form.menuBar()->actions())
        titles << entry->menu()->objectName();
    QCOMPARE(titles, menus);

    auto *owner = form.menuBar()->findChild<QMenu *>(menu);
    QVERIFY(owner);
    QAction *entry = nullptr;
    for (QAction *candidate : owner->actions())
        if (candidate->objectName() == QLatin1String(QTest::currentDataTag()))
            entry = candidate;
    QVERIFY2(entry, QTest::currentDataTag());
    QCOMPARE(entry->text(), text);
    QCOMPARE(entry->shortcut(), shortcut);
}

void MenuBarTest::shortcutsReachTheirCommands_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("effect");

    QTest::newRow("Ctrl+O opens") << QKeySequence(QKeySequence::Open) << "open dialog";
    QTest::newRow("Ctrl+S saves the map") << QKeySequence(QKeySequence::Save) << "save dialog";
    QTest::newRow("Ctrl+R reruns") << QKeySequence("Ctrl+R") << "rerun";
    QTest::newRow("Esc stops") << QKeySequence("Esc") << "stop";
    QTest::newRow("Ctrl+L classical start") << QKeySequence("Ctrl+L") << "classical";
    QTest::newRow("Ctrl+P polishes") << QKeySequence("Ctrl+P") << "polish";
    QTest::newRow("Ctrl+B best map") << QKeySequence("Ctrl+B") << "best";
    QTest::newRow("F1 file format") << QKeySequence(QKeySequence::HelpContents) << "format";
}

void MenuBarTest::shortcutsReachTheirCommands()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QString, effect);

    Window window;
    MainForm &form = window.form;
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Typing goes to a settings box, as when a user has just edited one.
    box(form, "GAgensText")->setFocus();
    box(form, "GAgensText")->setText("20");
    const long long generationsBefore = form.lastRunGenerations();

    QTest::keySequence(&form, keys);

    QCOMPARE(window.openDialogs, effect == "open dialog" ? 1 : 0);
    QCOMPARE(window.saveDialogs, effect == "save dialog" ? 1 : 0);
    QCOMPARE(form.lastRunGenerations(), effect == "rerun" ? 20LL : generationsBefore);
    QCOMPARE(form.stopFlag(), short(effect == "stop" ? 1 : 0));
    QList<MapStage> expected;
    if (effect == "classical")
        expected << MapStage::ClassicalStart;
    if (effect == "polish")
        expected << MapStage::Polish;
    if (effect == "best")
        expected << MapStage::BestMap;
    QCOMPARE(window.commands, expected);
    QCOMPARE(form.findChild<QMessageBox *>("FileFormatBox") != nullptr, effect == "format");
    QVERIFY(window.messages.isEmpty());
}

void MenuBarTest::helpAndQuit()
{
    Window window;
    window.action("AboutAction")->trigger();
    auto *about = window.form.findChild<QMessageBox *>("AboutBox");
    QVERIFY(about && about->isVisible() && !about->isModal());
    QVERIFY2(about->text().contains(QStringLiteral(TESSARIN_VERSION)), qPrintable(about->text()));
    // A second About brings the same box to the front.
    window.action("AboutAction")->trigger();
    QCOMPARE(window.form.findChildren<QMessageBox *>("AboutBox").size(), 1);
    // The window goes on working beside it.
    window.action("PolishAction")->trigger();
    QCOMPARE(window.commands, QList<MapStage>{MapStage::Polish});

    window.action("QuitAction")->trigger();
    QVERIFY(window.form.isClosing());
    QVERIFY(!window.form.isVisible());
}

void MenuBarTest::helpBoxes_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("says");

    QTest::newRow("file format") << "FileFormatAction" << "FileFormatBox"
                                 << QStringList{"Our distance file", "A square matrix", "A lower triangle", ".dst",
                                                "PHYLIP"};
    QTest::newRow("fit and stress") << "FitHelpAction" << "FitHelpBox"
                                    << QStringList{"99.313", "correlation-like", "Stress-1", "0.025", "excellent",
                                                   "0.2", "bad", "rough guide"};
}

void MenuBarTest::helpBoxes()
{
    QFETCH(QString, action);
    QFETCH(QString, box);
    QFETCH(QStringList, says);

    Window window;
    window.action(action.toLatin1())->trigger();
    auto *shown = window.form.findChild<QMessageBox *>(box);
    QVERIFY(shown && shown->isVisible() && !shown->isModal());
    for (const QString &text : says)
        QVERIFY2(shown->text().contains(text), qPrintable(text));
    // Each Help entry opens its own box, once.
    window.action(action.toLatin1())->trigger();
    QCOMPARE(window.form.findChildren<QMessageBox *>(box).size(), 1);
    QCOMPARE(window.form.findChildren<QMessageBox *>().size(), 1);
}

void MenuBarTest::fileFormatExamplesRead()
{
    // Every example the file format help shows is a whole table that reads,
    // in the layout its paragraph names.
    const QString help = tessarin::FileFormatText();
    const QRegularExpression block(QStringLiteral("<pre>(.*?)</pre>"),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QList<tessarin::DistanceFormat> expected = {
        tessarin::DistanceFormat::DistanceFile,  tessarin::DistanceFormat::SquareMatrix,
        tessarin::DistanceFormat::SquareMatrix,  tessarin::DistanceFormat::LowerTriangle,
        tessarin::DistanceFormat::LowerTriangle, tessarin::DistanceFormat::Phylip};
    int shown = 0;
    for (auto match = block.globalMatch(help); match.hasNext(); ++shown) {
        const QRegularExpressionMatch example = match.next();
        QVERIFY2(shown < expected.size(), qPrintable(example.captured(1)));
        const QString name = m_folder->write(QStringLiteral("example%1.txt").arg(shown),
                                             example.captured(1).toUtf8().append('\n'));
        QVERIFY(!name.isEmpty());
        const std::string file = name.toStdString();
        try {
            QCOMPARE(tessarin::ChooseDistanceFormat(file), expected[shown]);
            const DistanceData data = tessarin::ReadDistanceFile(file);
            if (shown == 0) {
                QCOMPARE(data.ItemCount, short(4));
                QCOMPARE(data.distance(2, 3), 9.0f);
                QCOMPARE(data.distance(2, 4), 25.0f);
                continue;
            }
            // The others show the same three cities.
            QCOMPARE(data.ItemCount, short(3));
            QCOMPARE(data.Names, (std::vector<std::string>{"London", "Paris", "Berlin"}));
            QCOMPARE(data.distance(1, 2), 3.4f);
            QCOMPARE(data.distance(1, 3), 9.3f);
            QCOMPARE(data.distance(3, 2), 8.8f);
        } catch (const std::exception &error) {
            QFAIL(qPrintable(QStringLiteral("example %1: %2").arg(shown).arg(QString::fromLocal8Bit(error.what()))));
        }
    }
    QCOMPARE(shown, int(expected.size()));
}

void MenuBarTest::commandsGreyedWhileRunning_data()
{
    QTest::addColumn<QString>("run");
    QTest::addColumn<bool>("fails");
    QTest::newRow("search") << "search" << false;
    QTest::newRow("map command") << "map command" << false;
    QTest::newRow("failing map command") << "map command" << true;
}

void MenuBarTest::commandsGreyedWhileRunning()
{
    QFETCH(QString, run);
    QFETCH(bool, fails);

    Window window;
    MainForm &form = window.form;
    const QStringList greyed = {"OpenAction",           "OpenDataTableAction", "RerunAction",
                                "ClassicalStartAction", "PolishAction", "BestMapAction"};
    const QStringList kept = {"StopAction", "QuitAction", "AboutAction", "FileFormatAction", "FitHelpAction"};
    QStringList wrongWhileRunning;
    int checks = 0;
    auto check = [&] {
        ++checks;
        for (const QString &name : greyed)
            if (window.action(name.toLatin1())->isEnabled())
                wrongWhileRunning << name;
        for (const QString &name : kept)
            if (!window.action(name.toLatin1())->isEnabled())
                wrongWhileRunning << name;
        if (button(form, "OpenButton")->isEnabled() || button(form, "MoreFit")->isEnabled())
            wrongWhileRunning << "buttons";
        // Nothing else starts meanwhile.
        form.bestMap();
        form.rerun();
    };
    tessarin::testing::Recorder recorder(form);
    if (run == "search") {
        recorder.onDrawing = check;
        window.action("RerunAction")->trigger();
    } else {
        window.during = [&] {
            check();
            if (fails)
                throw tessarin::TessarinError("no map today");
        };
        window.action("PolishAction")->trigger();
    }
    QVERIFY(checks > 0);
    QVERIFY2(wrongWhileRunning.isEmpty(), qPrintable(wrongWhileRunning.join(", ")));
    QCOMPARE(window.commands.size(), run == "search" ? 0 : 1);
    QCOMPARE(window.messages.size(), fails ? 1 : 0);
    if (fails)
        QVERIFY2(window.messages[0].contains("no map today"), qPrintable(window.messages[0]));
    for (const QString &name : greyed + kept)
        QVERIFY2(window.action(name.toLatin1())->isEnabled(), qPrintable(name));
    QVERIFY(button(form, "OpenButton")->isEnabled());
    QVERIFY(button(form, "MoreFit")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(MenuBarTest)
#include "menu_bar_test.moc"
