// A table large enough that drawing it takes a while: the window takes the
// system's events meanwhile (Close, a resize), and the sizing rule holds
// after any resize, also one that comes while the rule itself runs.
#include "window/main_form.h"
#include "window/picture_box.h"
#include "window_test_support.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

#include <random>
#include <string>

using tessarin::MainForm;
using tessarin::testing::box;
using tessarin::testing::Recorder;
using tessarin::testing::WorkingFolder;

namespace {

// Upper-triangle rows of a fixed-seed table of n items; drawing its table
// takes many pauses' worth of time.
QByteArray RandomTable(int n)
{
    std::mt19937 engine(4242);
    std::uniform_int_distribution<int> value(1, 999);
    std::string text = std::to_string(n) + " Random sites\n";
    for (int i = 1; i < n; ++i) {
        for (int j = i + 1; j <= n; ++j) {
            text += std::to_string(value(engine));
            text += j < n ? ' ' : '\n';
        }
    }
    return QByteArray::fromStdString(text);
}

constexpr int LargeTable = 700;

// The window size the sizing rule gives for the default picture size, with
// the window laid out by the rule once.
QSize RuleSize(MainForm &form)
{
    form.applySizingRule();
    return form.size();
}

/// Calls `act` once, the first time `watched` is resized.
class OnResize : public QObject {
public:
    OnResize(QWidget *watched, std::function<void()> act) : m_act(std::move(act)) { watched->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && m_act) {
            auto act = std::move(m_act);
            m_act = nullptr;
            act();
        }
        return false;
    }

private:
    std::function<void()> m_act;
};

/// Calls `act` at every event of `type` on `watched`.
class OnEvery : public QObject {
public:
    OnEvery(QWidget *watched, QEvent::Type type, std::function<void()> act) : m_type(type), m_act(std::move(act))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            m_act();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_act;
};

} // namespace

class LargeTableTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void closeWhileTheTableIsDrawn();
    void resizeWhileTheTableIsDrawn();
    void resizeDuringASearchEndsAtTheRulesSize();
    void resizeWhileTheRuleRunsIsNotLost();
    void sizeConfirmationSettles();

private:
    WorkingFolder m_folder;
    QString m_large;
};

void LargeTableTest::init()
{
    QVERIFY(m_folder.isValid());
    m_large = m_folder.write("large.txt", RandomTable(LargeTable));
    QVERIFY(!m_large.isEmpty());
}

void LargeTableTest::closeWhileTheTableIsDrawn()
{
    MainForm form;
    form.setNoticeSink([](const QString &) {});
    Recorder recorder(form);
    box(form, "GAgensText")->setText("100000");
    // Closed as soon as the window takes events with the file read and its
    // table not yet drawn: in a pause of the drawing.
    bool closedDuringTable = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, &form, [&] {
        if (form.distanceData().ItemCount == LargeTable && !form.canSaveTable() && !form.isClosing()) {
            closedDuringTable = true;
            form.close();
        }
    });
    closer.start(0);
    form.startUp(m_large, MainForm::StartFile::Named);
    QVERIFY(closedDuringTable);
    QVERIFY(form.isClosing());
    QVERIFY(!form.canSaveTable());        // the table was not finished
    QVERIFY(recorder.drawings.isEmpty()); // and no search ran
    QVERIFY(!QApplication::overrideCursor());
}

void LargeTableTest::resizeWhileTheTableIsDrawn()
{
    // The same table drawn undisturbed and with a new picture size typed and
    // the window resized in the middle of the drawing: the resize's rule
    // waits for the end of the drawing, so the table is the same picture
    // (cut to the new box) and the window ends at the rule's new size.
    QImage undisturbed;
    for (bool resize : {false, true}) {
        MainForm form;
        form.setNoticeSink([](const QString &) {});
        box(form, "GAgensText")->setText("0");
        form.show();
        bool resized = false;
        QTimer resizer;
        connect(&resizer, &QTimer::timeout, &form, [&] {
            if (resize && !resized && form.distanceData().ItemCount == LargeTable && !form.canSaveTable()) {
                resized = true;
                box(form, "SizeText")->setText("4000");
                form.resize(500, 300);
            }
        });
        resizer.start(0);
        form.openPath(m_large);
        QCOMPARE(resized, resize);
        QVERIFY(form.canSaveTable());
        const QImage table = form.distanceBox()->image();
        if (!resize) {
            undisturbed = table;
            continue;
        }
        QCOMPARE(table.size(), QSize(267, 267));
        QVERIFY(table == undisturbed.copy(0, 0, 267, 267));
        QCoreApplication::processEvents();
        const QSize afterDrawing = form.size();
        form.applySizingRule();
        QCOMPARE(afterDrawing, form.size());
    }
}

void LargeTableTest::resizeDuringASearchEndsAtTheRulesSize()
{
    MainForm form;
    form.setNoticeSink([](const QString &) {});
    box(form, "GAgensText")->setText("30");
    form.show();
    const QSize ruleSize = RuleSize(form);
    Recorder recorder(form);
    recorder.onDrawing = [&] {
        if (recorder.drawings.size() == 2)
            form.resize(500, 300);
    };
    form.openPath(m_large);
    QVERIFY(recorder.drawings.size() >= 2);
    QCoreApplication::processEvents();
    QCOMPARE(form.size(), ruleSize);
}

void LargeTableTest::resizeWhileTheRuleRunsIsNotLost()
{
    // A resize that reaches the window while the rule is resizing its boxes
    // (as the window manager's can) must not be dropped as the rule's own.
    MainForm form;
    form.show();
    box(form, "SizeText")->setText("4000");
    const OnResize nested(form.distanceBox(), [&] { form.resize(500, 300); });
    form.applySizingRule();
    const QSize afterNested = form.size();
    form.applySizingRule(); // undisturbed
    QCOMPARE(afterNested, form.size());
    QVERIFY(afterNested != QSize(500, 300));
}

void LargeTableTest::sizeConfirmationSettles()
{
    // The size is asked for once more after a resize; that must not start
    // an endless round of resizes.
    MainForm form;
    form.show();
    const QSize ruleSize = RuleSize(form);
    int resizes = 0;
    const OnEvery counter(&form, QEvent::Resize, [&] { ++resizes; });
    form.resize(500, 300);
    QTest::qWait(6 * MainForm::SettleMilliseconds);
    QCOMPARE(form.size(), ruleSize);
    QVERIFY2(resizes <= 4, qPrintable(QString::number(resizes)));
}

QTEST_MAIN(LargeTableTest)
#include "large_table_test.moc"
