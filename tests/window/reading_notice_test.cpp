// The notice after a reading: once per reading, non-modal, naming the file
// with its warnings and the note on the sums; and a named start-up file that
// cannot be read.
#include "window/main_form.h"
#include "window/reading_notice.h"
#include "window_test_support.h"

#include <QApplication>
#include <QMessageBox>
#include <QtTest>

using tessarin::DistanceData;
using tessarin::MainForm;
using tessarin::ReadingNoticeText;
using tessarin::testing::box;
using tessarin::testing::CapturingWindow;
using tessarin::testing::FourItems;
using tessarin::testing::WorkingFolder;

namespace {

// Two warnings: a title ending at a comma, and "2O" read as 2.
const char *const OddItems = "4 Four, 10 2O 30\n9,25\n12\n";

QList<QMessageBox *> visibleNotices(MainForm &form)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<QMessageBox *> shown;
    for (QMessageBox *notice : form.findChildren<QMessageBox *>(QStringLiteral("ReadingNotice")))
        if (notice->isVisible())
            shown << notice;
    return shown;
}

} // namespace

class ReadingNoticeTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        m_folder = std::make_unique<WorkingFolder>();
        QVERIFY(m_folder->isValid());
    }
    void cleanup() { m_folder.reset(); }

    void onceAfterEachReading();
    void defaultNoticeDoesNotWait();
    void textListsTenAndCountsAll();
    void namedStartFileThatCannotBeRead_data();
    void namedStartFileThatCannotBeRead();

private:
    std::unique_ptr<WorkingFolder> m_folder;
};

void ReadingNoticeTest::onceAfterEachReading()
{
    m_folder->write("distance.txt", OddItems);
    const QString clean = m_folder->write("clean.txt", FourItems);
    const QString odd = m_folder->write("odd.txt", OddItems);
    CapturingWindow window;

    // Start-up on distance.txt tells its warnings too, without a box to answer.
    window.form.startUp();
    QCOMPARE(window.notices.size(), 1);
    QVERIFY(window.notices[0].startsWith("distance.txt was read, but 2 things in it"));
    QVERIFY(window.notices[0].contains("line 1: the title \"Four\" ends at a comma"));
    QVERIFY(window.notices[0].contains("line 1: the value \"2O\" for items 1 and 3 reads as 2"));
    QCOMPARE(window.form.lastRunGenerations(), 20LL);

    // A rerun reads nothing, a clean file tells nothing.
    window.form.rerun();
    window.chosen = clean;
    window.form.openFile();
    QCOMPARE(window.notices.size(), 1);
    QCOMPARE(window.form.distanceData().ItemCount, short(4));

    window.chosen = odd;
    window.form.openFile();
    QCOMPARE(window.notices.size(), 2);
    QVERIFY(window.notices[1].startsWith(odd + " was read"));
    QVERIFY(window.errors.isEmpty());
}

void ReadingNoticeTest::defaultNoticeDoesNotWait()
{
    const QString odd = m_folder->write("distance.txt", OddItems);
    MainForm form;
    form.setDialog([odd] { return odd; });
    box(form, "GAgensText")->setText("30");
    // The search runs to its end with the notice up: nobody has to answer it.
    form.startUp();
    QCOMPARE(form.lastRunGenerations(), 30LL);
    QList<QMessageBox *> shown = visibleNotices(form);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0]->windowModality(), Qt::NonModal);
    QVERIFY(!shown[0]->isModal());
    QVERIFY(shown[0]->text().contains("distance.txt was read"));

    // A second reading replaces the notice instead of piling them up.
    form.openFile();
    shown = visibleNotices(form);
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0]->text().startsWith(odd));
}

void ReadingNoticeTest::textListsTenAndCountsAll()
{
    DistanceData data;
    QCOMPARE(ReadingNoticeText("clean.txt", data), QString());

    for (int k = 1; k <= 25; ++k)
        data.Warnings.push_back({k + 1, "warning " + std::to_string(k)});
    data.WarningCount = 125; // more than were kept
    QString text = ReadingNoticeText("many.txt", data);
    QVERIFY(text.startsWith("many.txt was read, but 125 things in it"));
    QCOMPARE(text.count("\nline "), 10);
    QVERIFY(text.contains("line 11: warning 10\n"));
    QVERIFY(!text.contains("warning 11"));
    QVERIFY(text.endsWith("… and 115 more."));

    DistanceData drifted;
    drifted.StatisticsFromDoubleSums = true;
    drifted.SumRelativeError = 0.2215;
    drifted.SquareSumRelativeError = 0.00183;
    text = ReadingNoticeText("large.txt", drifted);
    QVERIFY(text.startsWith("large.txt: "));
    QVERIFY2(text.contains("0.222") && text.contains("0.00183"), qPrintable(text));

    // Both in one notice.
    data.StatisticsFromDoubleSums = true;
    text = ReadingNoticeText("both.txt", data);
    QVERIFY(text.startsWith("both.txt was read"));
    QVERIFY(text.contains("\n\nboth.txt: the sums"));
}

void ReadingNoticeTest::namedStartFileThatCannotBeRead_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("named");
    QTest::addColumn<int>("messages");
    QTest::newRow("named and missing") << "missing.txt" << true << 1;
    QTest::newRow("default and missing") << "distance.txt" << false << 0;
}

void ReadingNoticeTest::namedStartFileThatCannotBeRead()
{
    QFETCH(QString, name);
    QFETCH(bool, named);
    QFETCH(int, messages);
    CapturingWindow window;
    window.form.startUp(name, named ? MainForm::StartFile::Named : MainForm::StartFile::Default);
    QCOMPARE(window.errors.size(), messages);
    if (messages)
        QVERIFY2(window.errors[0].contains(name + ": the file cannot be opened (No such file or directory)"),
                 qPrintable(window.errors[0]));
    QCOMPARE(window.form.windowTitle(), MainForm::TitleText + name);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(window.form.distanceData().empty());
    QVERIFY(window.notices.isEmpty());
}

QTEST_MAIN(ReadingNoticeTest)
#include "reading_notice_test.moc"
