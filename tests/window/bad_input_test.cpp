// Bad input through the window: files that cannot be read, settings the
// window refuses, and commands given at the wrong moment. Each case starts a
// window on a small good file with a short run, applies the bad input and
// checks the message, that the data, table, map and best map of the earlier
// run are kept, and that the buttons and the pointer are back.
#include "window/main_form.h"
#include "window/picture_box.h"
#include "window_test_support.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

using tessarin::Layout;
using tessarin::MainForm;
using tessarin::testing::box;
using tessarin::testing::FourItems;
using tessarin::testing::SixItems;
using tessarin::testing::WorkingFolder;
using tessarin::testing::button;
using tessarin::testing::Recorder;

namespace {


/// How a row of the file table makes its file.
enum class Make { Content, Missing, Folder, Unreadable, LongDigits, LongBlanks };

/// What a window holds and shows after a run.
struct State {
    short itemCount = 0;
    std::vector<float> distances, pairs;
    float sum = 0, spread = 0;
    Layout best;
    QImage table, map;
    QString fit;

    static State of(const MainForm &form)
    {
        const auto &data = form.distanceData();
        return {data.ItemCount,           data.Distances, data.PairDistances, data.DistanceSum, data.DistanceSpread,
                form.bestLayout(),        form.distanceBox()->image(), form.distanceGraph()->image(),
                form.findChild<QLineEdit *>("FitBox")->text()};
    }
};

} // namespace

class BadInputTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void badFile_data();
    void badFile();
    void lenientValues_data();
    void lenientValues();
    void fileReplacedWhileOpen();
    void badSetting_data();
    void badSetting();
    void hugeGenerationCount_data();
    void hugeGenerationCount();
    void commandDuringRun_data();
    void commandDuringRun();
    void closeDuringDialog();

private:
    QString write(const QString &name, const QByteArray &content);
    /// A window that has read SixItems and run 30 generations.
    MainForm &startWindow();
    void verifyKept(const State &before);
    void verifyRestored();
    void verifyOneMessage(const QStringList &parts);

    std::unique_ptr<WorkingFolder> m_folder;
    std::unique_ptr<MainForm> m_form;
    QString m_startFile;
    QString m_chosen;
    int m_asked = 0;
    QStringList m_messages;
};

void BadInputTest::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void BadInputTest::init()
{
    m_folder = std::make_unique<WorkingFolder>();
    QVERIFY(m_folder->isValid());
    m_messages.clear();
    m_chosen.clear();
    m_asked = 0;
}

void BadInputTest::cleanup()
{
    m_form.reset();
    m_folder.reset();
    QVERIFY(!QApplication::overrideCursor());
}

QString BadInputTest::write(const QString &name, const QByteArray &content)
{
    return m_folder->write(name, content);
}

MainForm &BadInputTest::startWindow()
{
    m_startFile = write("distance.txt", SixItems);
    m_form = std::make_unique<MainForm>();
    m_form->setMessageSink([this](const QString &text) { m_messages << text; });
    m_form->setDialog([this] {
        ++m_asked;
        return m_chosen;
    });
    box(*m_form, "GAgensText")->setText("30");
    m_form->startUp(m_startFile);
    return *m_form;
}

void BadInputTest::verifyKept(const State &before)
{
    const State now = State::of(*m_form);
    QCOMPARE(now.itemCount, before.itemCount);
    QVERIFY(now.distances == before.distances);
    QVERIFY(now.pairs == before.pairs);
    QCOMPARE(now.sum, before.sum);
    QCOMPARE(now.spread, before.spread);
    QVERIFY(now.best == before.best);
    QCOMPARE(now.table, before.table);
    QCOMPARE(now.map, before.map);
    QCOMPARE(now.fit, before.fit);
}

void BadInputTest::verifyRestored()
{
    QVERIFY(!m_form->isRunning());
    QVERIFY(button(*m_form, "OpenButton")->isEnabled());
    QVERIFY(button(*m_form, "MoreFit")->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void BadInputTest::verifyOneMessage(const QStringList &parts)
{
    QCOMPARE(m_messages.size(), 1);
    for (const QString &part : parts)
        QVERIFY2(m_messages[0].contains(part), qPrintable(QString("\"%1\" not in: %2").arg(part, m_messages[0])));
    QVERIFY2(m_messages[0].size() < 600, "the message is too long to show");
}

void BadInputTest::badFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Make>("make");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("message"); // parts besides the file name

    auto row = [](const char *tag, const char *name, Make make, const QByteArray &content, QStringList message) {
        QTest::newRow(tag) << QString(name) << make << content << message;
    };
    const QByteArray none;
    row("missing", "missing.txt", Make::Missing, none, {"cannot be opened", "No such file or directory"});
    row("folder", "folder.txt", Make::Folder, none, {"is a folder"});
    row("unreadable", "locked.txt", Make::Unreadable, SixItems, {"cannot be opened", "Permission denied"});
    row("empty", "empty.txt", Make::Content, "", {"ends before the item count"});
    row("only a count", "count.txt", Make::Content, "5\n", {"ends before the title"});
    row("binary bytes", "image.png", Make::Content, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0", 20),
        {"line 1", "PNG", "is not a number"});
    row("NUL bytes", "nul.txt", Make::Content, QByteArray(64, '\0'), {"line 1", "is not a number"});
    row("count 0", "zero.txt", Make::Content, "0 None\n", {"line 1", "item count 0", "at least two"});
    row("count 1", "one.txt", Make::Content, "1 Alone\n", {"line 1", "item count 1", "at least two"});
    row("count -5", "minus.txt", Make::Content, "-5 Minus\n1 2\n", {"line 1", "item count -5", "negative"});
    row("count 16384", "16384.txt", Make::Content, "16384 Too many\n1 2\n", {"line 1", "item count 16384", "16383"});
    row("count 32768", "32768.txt", Make::Content, "32768 Too many\n1 2\n", {"line 1", "item count 32768", "range"});
    row("count 1e9", "1e9.txt", Make::Content, "1e9 Too many\n1 2\n", {"line 1", "item count 1e9", "range"});
    row("count abc", "abc.txt", Make::Content, "abc Letters\n1 2\n3\n", {"line 1", "\"abc\"", "not a number"});
    row("fewer row lines", "short.txt", Make::Content, "4 Short\n1 2 3\n4 5\n", {"row line 3 of 3"});
    row("too many values", "wide.txt", Make::Content, "3 Wide\n1 2 3 4\n5\n",
        {"line 2", "row line 1 holds more values"});
    row("value 1e39", "big.txt", Make::Content, "3 Big\n1 2\n1e39\n",
        {"line 3", "\"1e39\"", "items 2 and 3", "single-precision"});
    row("value -1e39", "minusbig.txt", Make::Content, "3 Big\n-1e39 2\n3\n",
        {"line 2", "\"-1e39\"", "items 1 and 2", "single-precision"});
    row("50 MB line of digits", "digits.txt", Make::LongDigits, none, {"line 2", "items 1 and 3", "single-precision"});
    row("50 MB line of values", "values.txt", Make::LongBlanks, none, {"line 2", "row line 1 holds more values"});
    row("unterminated quoted title", "quote.txt", Make::Content, "3 \"Open title\n1 2\n3\n",
        {"line 1", "closing double quote"});
}

void BadInputTest::badFile()
{
    QFETCH(QString, name);
    QFETCH(Make, make);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, message);

    if (make == Make::Unreadable && ::geteuid() == 0)
        QSKIP("file permissions do not stop root from reading");

    MainForm &form = startWindow();
    QCOMPARE(form.lastRunGenerations(), 30LL);
    const State before = State::of(form);

    m_chosen = m_folder->path(name);
    switch (make) {
    case Make::Content:
        QVERIFY(!write(name, content).isEmpty());
        break;
    case Make::Missing:
        break;
    case Make::Folder:
        QVERIFY(QDir(m_folder->folder()).mkdir(name));
        break;
    case Make::Unreadable:
        QVERIFY(!write(name, content).isEmpty());
        QVERIFY(QFile::setPermissions(m_chosen, QFileDevice::WriteOwner));
        break;
    case Make::LongDigits:
    case Make::LongBlanks: {
        // N = 3 with a first row line of 50 MB: "1 " and then digits only, or
        // values separated by blanks.
        QFile file(m_chosen);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("3 Long line\n1 ");
        const QByteArray chunk = make == Make::LongDigits ? QByteArray(1 << 20, '7') : QByteArray(1 << 20, ' ').replace("  ", "9 ");
        for (int i = 0; i < 50; ++i)
            QCOMPARE(file.write(chunk), chunk.size());
        file.write("\n5\n");
        break;
    }
    }

    button(form, "OpenButton")->click();
    QCOMPARE(m_asked, 1);
    verifyOneMessage(QStringList(name) + message);
    verifyKept(before);
    verifyRestored();

    // The window goes on working with the data it had.
    m_messages.clear();
    button(form, "MoreFit")->click();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(form.lastRunGenerations(), 30LL);
    QCOMPARE(form.distanceData().Distances, before.distances);
    QCOMPARE(form.distanceBox()->image(), before.table);
}

void BadInputTest::lenientValues_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<float>("read");
    // Every distance is read like a number typed in a box: what does not begin
    // with a number is 0, and a number is read up to what follows it.
    QTest::newRow("inf") << QByteArray("inf") << 0.0f;
    QTest::newRow("nan") << QByteArray("nan") << 0.0f;
    QTest::newRow("-inf") << QByteArray("-inf") << 0.0f;
    QTest::newRow("12abc") << QByteArray("12abc") << 12.0f;
}

void BadInputTest::lenientValues()
{
    QFETCH(QByteArray, value);
    QFETCH(float, read);
    MainForm &form = startWindow();
    const QString path = write("lenient.txt", "3 Lenient\n5 " + value + "\n7\n");
    m_chosen = path;
    button(form, "OpenButton")->click();

    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('\n')));
    QCOMPARE(form.distanceData().ItemCount, short(3));
    QCOMPARE(form.distanceData().distance(1, 2), 5.0f);
    QCOMPARE(form.distanceData().distance(1, 3), read);
    QCOMPARE(form.distanceData().distance(3, 1), read);
    QCOMPARE(form.distanceData().distance(2, 3), 7.0f);
    QCOMPARE(form.distanceData().DistanceSum, 12.0f + read);
    QCOMPARE(form.lastRunGenerations(), 30LL);
    QCOMPARE(form.bestLayout().size(), std::size_t(7));
    verifyRestored();
}

void BadInputTest::fileReplacedWhileOpen()
{
    MainForm &form = startWindow();
    const State six = State::of(form);

    // Rewritten in place: Rerun fits what was read before.
    QVERIFY(!write("distance.txt", FourItems).isEmpty());
    button(form, "MoreFit")->click();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(form.lastRunGenerations(), 30LL);
    QCOMPARE(form.distanceData().ItemCount, short(6));
    QVERIFY(form.distanceData().Distances == six.distances);
    QCOMPARE(form.distanceBox()->image(), six.table);
    QCOMPARE(form.bestLayout().size(), std::size_t(13));

    // Removed: the same.
    QVERIFY(QFile::remove(m_startFile));
    button(form, "MoreFit")->click();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(form.distanceData().ItemCount, short(6));

    // Written anew and opened: Open reads the new file.
    QVERIFY(!write("distance.txt", FourItems).isEmpty());
    m_chosen = m_startFile;
    button(form, "OpenButton")->click();
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(form.distanceData().ItemCount, short(4));
    QCOMPARE(form.distanceData().distance(1, 4), 30.0f);
    QCOMPARE(form.bestLayout().size(), std::size_t(9));
    QVERIFY(form.distanceBox()->image() != six.table);
    verifyRestored();
}

void BadInputTest::badSetting_data()
{
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("named"); // the box as the message names it; empty: accepted

    QTest::newRow("SizeText -1") << "SizeText" << "-1" << "Picture Size";
    QTest::newRow("SizeText 1e12") << "SizeText" << "1e12" << "Picture Size";
    QTest::newRow("FontText -3") << "FontText" << "-3" << "Fontsize";
    QTest::newRow("FontText 1e6") << "FontText" << "1e6" << "Fontsize";
    QTest::newRow("BackText 16") << "BackText" << "16" << "Graph Background";
    QTest::newRow("BackText -1") << "BackText" << "-1" << "Graph Background";
    QTest::newRow("BackText 1e9") << "BackText" << "1e9" << "Graph Background";
    // Read leniently and used: a size of 0, labels at the smallest size, a
    // digit colour outside 0..15 left as it was, no generation.
    QTest::newRow("SizeText abc") << "SizeText" << "abc" << "";
    QTest::newRow("FontText 0") << "FontText" << "0" << "";
    QTest::newRow("ForeText 99") << "ForeText" << "99" << "";
    QTest::newRow("GAgensText -1") << "GAgensText" << "-1" << "";
}

void BadInputTest::badSetting()
{
    QFETCH(QString, boxName);
    QFETCH(QString, value);
    QFETCH(QString, named);
    MainForm &form = startWindow();
    const State before = State::of(form);
    QLineEdit *edit = box(form, boxName.toLatin1().constData());
    const QString good = edit->text();
    Recorder recorder(form);

    edit->setText(value);
    button(form, "MoreFit")->click();
    verifyRestored();
    if (!named.isEmpty()) {
        verifyOneMessage({named, '"' + value + '"'});
        QVERIFY(recorder.drawings.isEmpty());
        verifyKept(before);
    } else {
        QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('\n')));
        QCOMPARE(form.distanceData().Distances, before.distances);
        if (boxName == "GAgensText") {
            QCOMPARE(form.lastRunGenerations(), 0LL);
            QVERIFY(recorder.drawings.isEmpty());
            QVERIFY(form.bestLayout() == before.best);
        } else {
            QCOMPARE(form.lastRunGenerations(), 30LL);
            QVERIFY(!recorder.drawings.isEmpty());
        }
        if (boxName == "SizeText") {
            QCOMPARE(form.distanceBox()->size(), QSize(0, 0));
            QCOMPARE(form.distanceGraph()->size(), QSize(0, 0));
        }
    }

    // With the good value back, the window works as before.
    m_messages.clear();
    edit->setText(good);
    button(form, "MoreFit")->click();
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join('\n')));
    QCOMPARE(form.lastRunGenerations(), 30LL);
    QCOMPARE(form.distanceBox()->image(), before.table);
    QCOMPARE(form.distanceGraph()->size(), QSize(333, 333));
    verifyRestored();
}

void BadInputTest::hugeGenerationCount_data()
{
    QTest::addColumn<QString>("how"); // how the run is ended
    QTest::newRow("Stop from a timer") << "timer";
    QTest::newRow("Stop at a drawing") << "drawing";
    QTest::newRow("Close from a timer") << "close";
}

void BadInputTest::hugeGenerationCount()
{
    QFETCH(QString, how);
    MainForm &form = startWindow();
    const Layout bestBefore = form.bestLayout();
    Recorder recorder(form);
    bool stopped = false;
    if (how == "drawing") {
        recorder.onDrawing = [&] {
            if (recorder.drawings.size() == 3) {
                button(form, "StopButton")->click();
                stopped = true;
            }
        };
    } else {
        QTimer::singleShot(300, &form, [&] {
            QVERIFY(form.isRunning());
            stopped = true;
            if (how == "close")
                form.close();
            else
                button(form, "StopButton")->click();
        });
    }
    box(form, "GAgensText")->setText("1e12");
    button(form, "MoreFit")->click();
    QVERIFY(stopped);
    QVERIFY(m_messages.isEmpty());
    QVERIFY(!form.isRunning());
    QVERIFY(!QApplication::overrideCursor());
    if (how == "close") {
        QVERIFY(form.isClosing());
        QVERIFY(!form.isVisible());
        QCOMPARE(form.lastRunGenerations(), 30LL); // the abandoned run counts for nothing
        QVERIFY(form.bestLayout() == bestBefore);
        return;
    }
    const long long ran = form.lastRunGenerations();
    QVERIFY2(ran > 0 && ran % 10 == 0, qPrintable(QString::number(ran)));
    QCOMPARE(box(form, "GAgenText")->text(), ' ' + QString::number(ran));
    QCOMPARE(QList<float>(form.bestLayout().begin() + 1, form.bestLayout().end()),
             recorder.drawings.last().layout.mid(1));
    verifyRestored();
}

void BadInputTest::commandDuringRun_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Stop many times") << "stop";
    QTest::newRow("Rerun") << "rerun";
    QTest::newRow("Open") << "open";
    QTest::newRow("resize") << "resize";
    QTest::newRow("minimise") << "minimise";
    QTest::newRow("maximise") << "maximise";
}

void BadInputTest::commandDuringRun()
{
    QFETCH(QString, command);
    MainForm &form = startWindow();
    m_chosen = write("four.txt", FourItems);
    const State before = State::of(form);
    Recorder recorder(form);
    qsizetype drawingsAtCommand = -1;
    recorder.onDrawing = [&] {
        if (drawingsAtCommand >= 0)
            return;
        drawingsAtCommand = recorder.drawings.size();
        if (command == "stop") {
            for (int i = 0; i < 50; ++i)
                button(form, "StopButton")->click();
        } else if (command == "rerun") {
            // Disabled during the run; a call from elsewhere is refused too.
            QVERIFY(!button(form, "MoreFit")->isEnabled());
            button(form, "MoreFit")->click();
            form.rerun();
        } else if (command == "open") {
            QVERIFY(!button(form, "OpenButton")->isEnabled());
            button(form, "OpenButton")->click();
            form.openFile();
        } else if (command == "resize") {
            form.resize(900, 300);
            QCoreApplication::processEvents();
        } else if (command == "minimise") {
            form.showMinimized();
            QCoreApplication::processEvents();
        } else {
            form.showMaximized();
            QCoreApplication::processEvents();
        }
        QCOMPARE(recorder.drawings.size(), drawingsAtCommand); // no run of its own
    };
    box(form, "GAgensText")->setText("200");
    button(form, "MoreFit")->click();

    QCOMPARE(drawingsAtCommand, 1);
    QCOMPARE(m_asked, 0);
    QVERIFY(m_messages.isEmpty());
    QCOMPARE(form.distanceData().Distances, before.distances);
    if (command == "stop") {
        // Stopped at the first drawing, in generation 1: the run ends at 10.
        QCOMPARE(form.stopFlag(), short(1));
        QCOMPARE(form.lastRunGenerations(), 10LL);
    } else {
        QCOMPARE(form.lastRunGenerations(), 200LL);
    }
    QCOMPARE(QList<float>(form.bestLayout().begin() + 1, form.bestLayout().end()),
             recorder.drawings.last().layout.mid(1));
    verifyRestored();

    // Back to a normal window, the sizing rule holds and the next run works.
    form.showNormal();
    QTRY_COMPARE(form.distanceGraph()->size(), QSize(333, 333));
    box(form, "GAgensText")->setText("30");
    button(form, "MoreFit")->click();
    QCOMPARE(form.stopFlag(), short(0));
    QCOMPARE(form.lastRunGenerations(), 30LL);
    QCOMPARE(form.distanceBox()->image(), before.table);
    QCOMPARE(form.distanceGraph()->image().size(), QSize(333, 333));
    verifyRestored();
}

void BadInputTest::closeDuringDialog()
{
    MainForm &form = startWindow();
    const State before = State::of(form);
    m_chosen = write("four.txt", FourItems);
    Recorder recorder(form);
    form.setDialog([&] {
        ++m_asked;
        form.close();
        return m_chosen;
    });
    button(form, "OpenButton")->click();
    QCOMPARE(m_asked, 1);
    QVERIFY(form.isClosing());
    QVERIFY(!form.isVisible());
    QVERIFY(m_messages.isEmpty());
    QVERIFY(recorder.drawings.isEmpty());
    verifyKept(before);
    QVERIFY(!QApplication::overrideCursor());

    // A closed window starts nothing more.
    button(form, "MoreFit")->click();
    form.openFile();
    QCOMPARE(m_asked, 1);
    QVERIFY(recorder.drawings.isEmpty());
}

QTEST_MAIN(BadInputTest)
#include "bad_input_test.moc"
