// Run control: start-up, Open, Rerun/More Fit, Stop and Close, driven through
// the window with small files and short runs.
#include "base/str_n.h"
#include "window/main_form.h"
#include "export/palette.h"
#include "window/picture_box.h"
#include "window_test_support.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using tessarin::MainForm;
using tessarin::PaletteColor;
using tessarin::testing::box;
using tessarin::testing::FourItems;
using tessarin::testing::SixItems;
using tessarin::testing::WorkingFolder;
using tessarin::testing::button;
using tessarin::testing::Drawing;
using tessarin::testing::Recorder;

namespace {

int countPixels(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

} // namespace

class RunControlTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUpWithFile();
    void startUpWithoutFile();
    void startUpWithMalformedFile();
    void openChosenFile();
    void openCancelled();
    void openMalformedKeepsPrevious_data();
    void openMalformedKeepsPrevious();
    void noSecondRunDuringRun();
    void stopEndsAtNextTenthGeneration();
    void stopThenOpenThenRerun();
    void rerunStartsFromBestLayout();
    void rerunPicksUpNewSize();
    void closeDuringRun_data();
    void closeDuringRun();
    void twoWindowsDrawTheSameMaps();
    void wholeSession();

private:
    QString write(const QString &name, const char *text);
    QString startChoosingFour(MainForm &form);
    std::unique_ptr<WorkingFolder> m_folder;
};

void RunControlTest::initTestCase()
{
    // Closing a window in a test must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
}

void RunControlTest::init()
{
    m_folder = std::make_unique<WorkingFolder>();
    QVERIFY(m_folder->isValid());
}

void RunControlTest::cleanup()
{
    m_folder.reset();
    QVERIFY(!QApplication::overrideCursor());
}

QString RunControlTest::write(const QString &name, const char *text)
{
    return m_folder->write(name, text);
}

/// Writes the six-item start-up file and the four-item file that `form`'s
/// Open dialog chooses, and starts `form` with runs of 20 generations:
/// returns the four-item file's path.
QString RunControlTest::startChoosingFour(MainForm &form)
{
    write("distance.txt", SixItems);
    const QString four = write("four.txt", FourItems);
    form.setDialog([four] { return four; });
    box(form, "GAgensText")->setText("20");
    form.startUp();
    return four;
}

void RunControlTest::startUpWithFile()
{
    write("distance.txt", SixItems);
    MainForm form;
    Recorder recorder(form);
    bool busyWhileDrawing = true, buttonsOffWhileDrawing = true;
    recorder.onDrawing = [&] {
        const QCursor *cursor = QApplication::overrideCursor();
        busyWhileDrawing = busyWhileDrawing && cursor && cursor->shape() == Qt::WaitCursor;
        buttonsOffWhileDrawing = buttonsOffWhileDrawing && !button(form, "OpenButton")->isEnabled() &&
                                 !button(form, "MoreFit")->isEnabled();
    };
    box(form, "GAgensText")->setText("35");
    form.startUp();

    QCOMPARE(form.windowTitle(), MainForm::TitleText + "distance.txt");
    QVERIFY(form.isVisible());
    QCOMPARE(form.distanceData().ItemCount, short(6));
    QCOMPARE(form.lastRunGenerations(), 35LL);
    QCOMPARE(box(form, "GAgenText")->text(), QString(" 30"));
    QVERIFY(!recorder.drawings.isEmpty());
    QVERIFY(busyWhileDrawing);
    QVERIFY(buttonsOffWhileDrawing);
    const Drawing last = recorder.drawings.last();
    QCOMPARE(box(form, "FitBox")->text(), QString::fromStdString(tessarin::strN(6, last.fit * 100)));
    // BestLayout is the last map drawn.
    QCOMPARE(QList<float>(form.bestLayout().begin() + 1, form.bestLayout().end()), last.layout.mid(1));

    const QImage table = form.distanceBox()->image();
    const int cyan = countPixels(table, PaletteColor(11).rgb());
    QVERIFY(cyan > table.width() * table.height() / 2);
    QVERIFY(cyan < table.width() * table.height());
    const QImage map = form.distanceGraph()->image();
    QVERIFY(countPixels(map, PaletteColor(8).rgb()) > 0); // grid
    QVERIFY(countPixels(map, PaletteColor(0).rgb()) < map.width() * map.height());

    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(button(form, "OpenButton")->isEnabled());
    QVERIFY(button(form, "MoreFit")->isEnabled());
}

void RunControlTest::startUpWithoutFile()
{
    MainForm form;
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    const QImage blank = form.distanceBox()->image();
    form.startUp();

    QCOMPARE(form.windowTitle(), MainForm::TitleText + "distance.txt");
    QVERIFY(messages.isEmpty());
    QVERIFY(form.distanceData().empty());
    const QImage map = form.distanceGraph()->image();
    QCOMPARE(countPixels(map, PaletteColor(0).rgb()), map.width() * map.height());
    QCOMPARE(form.distanceBox()->image(), blank);
    QCOMPARE(box(form, "FitBox")->text(), QString("0"));
    QCOMPARE(box(form, "GAgenText")->text(), QString("0"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(button(form, "OpenButton")->isEnabled());
    QVERIFY(button(form, "MoreFit")->isEnabled());
}

void RunControlTest::startUpWithMalformedFile()
{
    write("distance.txt", "4 Too short\n1 2 3\n");
    MainForm form;
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    form.startUp();
    QVERIFY(messages.isEmpty());
    QVERIFY(form.distanceData().empty());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(button(form, "OpenButton")->isEnabled());
}

void RunControlTest::openChosenFile()
{
    MainForm form;
    const QString four = startChoosingFour(form);
    const QImage sixTable = form.distanceBox()->image();

    Recorder recorder(form);
    button(form, "OpenButton")->click();
    QCOMPARE(form.windowTitle(), MainForm::TitleText + four);
    QCOMPARE(form.distanceData().ItemCount, short(4));
    QCOMPARE(form.distanceData().distance(1, 4), 30.0f);
    QCOMPARE(form.bestLayout().size(), std::size_t(9));
    QCOMPARE(form.lastRunGenerations(), 20LL);
    QVERIFY(!recorder.drawings.isEmpty());
    QCOMPARE(recorder.drawings.first().layout.size(), 9);
    QVERIFY(form.distanceBox()->image() != sixTable);
    QVERIFY(button(form, "OpenButton")->isEnabled());
}

void RunControlTest::openCancelled()
{
    write("distance.txt", SixItems);
    MainForm form;
    int asked = 0;
    form.setDialog([&] {
        ++asked;
        return QString();
    });
    box(form, "GAgensText")->setText("20");
    form.startUp();
    const QImage table = form.distanceBox()->image();
    const QImage map = form.distanceGraph()->image();
    const auto best = form.bestLayout();
    const QString fit = box(form, "FitBox")->text();

    Recorder recorder(form);
    button(form, "OpenButton")->click();
    QCOMPARE(asked, 1);
    QCOMPARE(form.windowTitle(), MainForm::TitleText);
    QVERIFY(form.windowTitle().endsWith("2002     "));
    QVERIFY(recorder.drawings.isEmpty());
    QCOMPARE(form.distanceData().ItemCount, short(6));
    QVERIFY(form.bestLayout() == best);
    QCOMPARE(form.distanceBox()->image(), table);
    QCOMPARE(form.distanceGraph()->image(), map);
    QCOMPARE(box(form, "FitBox")->text(), fit);
    QCOMPARE(box(form, "GAgenText")->text(), QString(" 20"));
}

void RunControlTest::openMalformedKeepsPrevious_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("content"); // empty: the file does not exist
    QTest::newRow("count not a number") << "count.txt" << "many sites\n1 2\n3\n";
    QTest::newRow("file ends early") << "short.txt" << "4 Short\n1 2 3\n4 5\n";
    QTest::newRow("one item") << "one.txt" << "1 Alone\n";
    QTest::newRow("missing") << "missing.txt" << "";
}

void RunControlTest::openMalformedKeepsPrevious()
{
    QFETCH(QString, name);
    QFETCH(QString, content);
    write("distance.txt", SixItems);
    const QString path = content.isEmpty() ? m_folder->path(name) : write(name, content.toLatin1().constData());

    MainForm form;
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    form.setDialog([&] { return path; });
    box(form, "GAgensText")->setText("20");
    form.startUp();
    const auto distances = form.distanceData().Distances;
    const auto best = form.bestLayout();
    const QImage table = form.distanceBox()->image();
    const QImage map = form.distanceGraph()->image();

    button(form, "OpenButton")->click();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains(name), qPrintable(messages[0]));
    QCOMPARE(form.windowTitle(), MainForm::TitleText + path);
    QCOMPARE(form.distanceData().ItemCount, short(6));
    QVERIFY(form.distanceData().Distances == distances);
    QVERIFY(form.bestLayout() == best);
    QCOMPARE(form.distanceBox()->image(), table);
    QCOMPARE(form.distanceGraph()->image(), map);
    QVERIFY(button(form, "OpenButton")->isEnabled());
    QVERIFY(button(form, "MoreFit")->isEnabled());

    // The window goes on working with the data it had.
    button(form, "MoreFit")->click();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(form.lastRunGenerations(), 20LL);
}

void RunControlTest::noSecondRunDuringRun()
{
    MainForm form;
    const QString four = startChoosingFour(form);

    Recorder recorder(form);
    int drawingsAtCall = -1;
    recorder.onDrawing = [&] {
        if (drawingsAtCall >= 0)
            return;
        drawingsAtCall = int(recorder.drawings.size());
        form.rerun();
        form.openFile();
        // Neither started a run of its own: no map was drawn meanwhile.
        QCOMPARE(int(recorder.drawings.size()), drawingsAtCall);
    };
    box(form, "GAgensText")->setText("30");
    button(form, "MoreFit")->click();
    QCOMPARE(drawingsAtCall, 1);
    QCOMPARE(form.distanceData().ItemCount, short(6));
    QCOMPARE(form.windowTitle(), MainForm::TitleText + "distance.txt");
    QCOMPARE(form.lastRunGenerations(), 30LL);
}

void RunControlTest::stopEndsAtNextTenthGeneration()
{
    write("distance.txt", SixItems);
    MainForm form;
    Recorder recorder(form);
    // Stop is clicked at the first improvement after generation 10 has been
    // shown, that is, in one of generations 11 to 19.
    bool clicked = false;
    recorder.onDrawing = [&] {
        if (!clicked && box(form, "GAgenText")->text() == " 10") {
            button(form, "StopButton")->click();
            clicked = true;
        }
    };
    box(form, "GAgensText")->setText("100");
    form.startUp();
    QVERIFY2(clicked, "no improvement between generations 11 and 19");
    QCOMPARE(form.lastRunGenerations(), 20LL);
    QCOMPARE(box(form, "GAgenText")->text(), QString(" 20"));
    QCOMPARE(form.stopFlag(), short(1));
    QCOMPARE(QList<float>(form.bestLayout().begin() + 1, form.bestLayout().end()),
             recorder.drawings.last().layout.mid(1));
}

void RunControlTest::stopThenOpenThenRerun()
{
    MainForm form;
    const QString four = startChoosingFour(form);
    QCOMPARE(form.lastRunGenerations(), 20LL);

    button(form, "StopButton")->click(); // while idle
    box(form, "GAgensText")->setText("60");
    button(form, "OpenButton")->click();
    QCOMPARE(form.lastRunGenerations(), 10LL);
    QCOMPARE(form.stopFlag(), short(1));

    button(form, "MoreFit")->click();
    QCOMPARE(form.stopFlag(), short(0));
    QCOMPARE(form.lastRunGenerations(), 60LL);
    QCOMPARE(box(form, "GAgenText")->text(), QString(" 60"));
}

void RunControlTest::rerunStartsFromBestLayout()
{
    write("distance.txt", SixItems);
    MainForm form;
    Recorder recorder(form);
    box(form, "GAgensText")->setText("15");
    form.startUp();
    QVERIFY(!recorder.drawings.isEmpty());
    const double firstRunFit = recorder.drawings.last().fit;

    for (int rerun = 0; rerun < 3; ++rerun) {
        recorder.drawings.clear();
        bool busyWhileDrawing = true;
        recorder.onDrawing = [&] {
            busyWhileDrawing = busyWhileDrawing && QApplication::overrideCursor() &&
                               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        };
        button(form, "MoreFit")->click();
        QVERIFY(busyWhileDrawing);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!recorder.drawings.isEmpty());
        QVERIFY2(recorder.drawings.first().fit >= firstRunFit,
                 qPrintable(QString("%1 < %2").arg(recorder.drawings.first().fit).arg(firstRunFit)));
        for (qsizetype i = 1; i < recorder.drawings.size(); ++i)
            QVERIFY(recorder.drawings[i].fit > recorder.drawings[i - 1].fit);
    }
}

void RunControlTest::rerunPicksUpNewSize()
{
    write("distance.txt", SixItems);
    MainForm form;
    box(form, "GAgensText")->setText("10");
    form.startUp();
    box(form, "SizeText")->setText("3000");
    Recorder recorder(form);
    QSize graphSizeWhileDrawing;
    recorder.onDrawing = [&] { graphSizeWhileDrawing = form.distanceGraph()->size(); };
    button(form, "MoreFit")->click();
    QCOMPARE(form.distanceBox()->image().size(), QSize(200, 200));
    QCOMPARE(graphSizeWhileDrawing, QSize(200, 200));
    QCOMPARE(form.requestedOuterSize(), QSizeF(10000, 4700));
}

void RunControlTest::closeDuringRun_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("start-up") << "start-up";
    QTest::newRow("open") << "open";
    QTest::newRow("rerun") << "rerun";
}

void RunControlTest::closeDuringRun()
{
    QFETCH(QString, command);
    write("distance.txt", SixItems);
    const QString four = write("four.txt", FourItems);
    MainForm form;
    form.setDialog([&] { return four; });
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    if (command != "start-up") {
        box(form, "GAgensText")->setText("10");
        form.startUp();
    }
    const long long generationsBefore = form.lastRunGenerations();
    const auto bestBefore = form.bestLayout();

    Recorder recorder(form);
    qsizetype drawingsAtClose = -1;
    recorder.onDrawing = [&] {
        if (recorder.drawings.size() == 2) {
            drawingsAtClose = recorder.drawings.size();
            form.close();
        }
    };
    box(form, "GAgensText")->setText("100000");
    if (command == "start-up")
        form.startUp();
    else if (command == "open")
        button(form, "OpenButton")->click();
    else
        button(form, "MoreFit")->click();

    QCOMPARE(drawingsAtClose, 2);
    QCOMPARE(recorder.drawings.size(), 2); // nothing drawn after the close
    QVERIFY(form.isClosing());
    QVERIFY(!form.isVisible());
    QVERIFY(messages.isEmpty());
    QCOMPARE(form.lastRunGenerations(), generationsBefore);
    // The abandoned run wrote no result: BestLayout holds what it held,
    // sized to the run's item count.
    auto expectedBest = bestBefore;
    expectedBest.resize(form.bestLayout().size(), 0.0f);
    QVERIFY(form.bestLayout() == expectedBest);
    QVERIFY(!QApplication::overrideCursor());

    // A closed window starts nothing more.
    button(form, "MoreFit")->click();
    form.openFile();
    QCOMPARE(recorder.drawings.size(), 2);
}

void RunControlTest::twoWindowsDrawTheSameMaps()
{
    write("distance.txt", SixItems);
    QList<Drawing> runs[2];
    QStringList fitTexts[2];
    for (int i = 0; i < 2; ++i) {
        MainForm form;
        Recorder recorder(form);
        recorder.onDrawing = [&] { fitTexts[i] << box(form, "FitBox")->text(); };
        box(form, "GAgensText")->setText("40");
        form.startUp();
        button(form, "MoreFit")->click();
        runs[i] = recorder.drawings;
    }
    QVERIFY(runs[0].size() > 2);
    QVERIFY(runs[0] == runs[1]);
    QCOMPARE(fitTexts[0], fitTexts[1]);
}


// A whole session as a user has it: start-up, Open, three Reruns, Close. Run
// under the sanitizer build, it also shows that nothing leaks.
void RunControlTest::wholeSession()
{
    write("distance.txt", SixItems);
    const QString four = write("four.txt", FourItems);
    auto form = std::make_unique<MainForm>();
    form->setDialog([&] { return four; });
    QStringList messages;
    form->setMessageSink([&](const QString &text) { messages << text; });
    box(*form, "GAgensText")->setText("20");
    form->startUp();
    QCOMPARE(form->distanceData().ItemCount, short(6));

    button(*form, "OpenButton")->click();
    QCOMPARE(form->windowTitle(), MainForm::TitleText + four);
    QCOMPARE(form->distanceData().ItemCount, short(4));
    for (int rerun = 0; rerun < 3; ++rerun) {
        button(*form, "MoreFit")->click();
        QCOMPARE(form->lastRunGenerations(), 20LL);
        QCOMPARE(box(*form, "GAgenText")->text(), QString(" 20"));
    }
    QVERIFY(messages.isEmpty());
    QCOMPARE(form->bestLayout().size(), std::size_t(9));
    form->close();
    QVERIFY(form->isClosing());
    form.reset();
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(RunControlTest)
#include "run_control_test.moc"
