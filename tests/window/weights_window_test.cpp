// Tables with holes and weights in the window: the notice counts the missing
// pairs, File ▸ Open weights… weighs the pairs until another table is opened,
// and a weights file that does not fit is refused with the data kept.
#include "fit/layout_fitness.h"
#include "window/main_form.h"
#include "window_test_support.h"

#include <QAction>
#include <QApplication>
#include <QtTest>

using tessarin::LayoutFitness;
using tessarin::MainForm;
using tessarin::testing::box;
using tessarin::testing::CapturingWindow;
using tessarin::testing::WorkingFolder;

namespace {

const char *const Holes = "\"\",A,B,C,D\nA,0,1,NA,3\nB,1,0,4,5\nC,NA,4,0,6\nD,3,5,6,0\n";
const char *const Full = "\"\",A,B,C,D\nA,0,1,2,3\nB,1,0,4,5\nC,2,4,0,6\nD,3,5,6,0\n";

} // namespace

class WeightsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        m_folder = std::make_unique<WorkingFolder>();
        QVERIFY(m_folder->isValid());
        QVERIFY(!m_folder->write("distance.txt", Full).isEmpty());
    }
    void cleanup() { m_folder.reset(); }

    void tableWithHolesOpensAndMaps();
    void weightsHoldUntilAnotherTable();
    void refusedWeightsKeepTheData_data();
    void refusedWeightsKeepTheData();

private:
    std::unique_ptr<WorkingFolder> m_folder;
};

void WeightsWindowTest::tableWithHolesOpensAndMaps()
{
    CapturingWindow window;
    window.form.startUp();
    window.chosen = m_folder->write("holes.csv", Holes);
    window.form.openFile();
    QVERIFY2(window.errors.isEmpty(), qPrintable(window.errors.join("\n")));
    QCOMPARE(window.notices.size(), 1);
    QVERIFY(window.notices[0].contains("1 of the 6 pairs are missing"));
    QCOMPARE(window.form.distanceData().MissingPairs, 1LL);
    // The map is the weighted fit's.
    const double fit = LayoutFitness(window.form.distanceData(), window.form.bestLayout());
    QVERIFY(fit > 0.9);
}

void WeightsWindowTest::weightsHoldUntilAnotherTable()
{
    CapturingWindow window;
    window.form.startUp();
    QVERIFY(!window.form.distanceData().weighted());
    // B and D in a different order, the pair A-C left out, A-B halved.
    const QString weights =
        m_folder->write("w.csv", "\"\",D,C,B,A\nD,0,1,1,1\nC,1,0,1,0\nB,1,1,0,0.5\nA,1,0,0.5,0\n");
    window.chosen = weights;
    window.form.findChild<QAction *>("OpenWeightsAction")->trigger();
    QVERIFY2(window.errors.isEmpty(), qPrintable(window.errors.join("\n")));
    const auto &data = window.form.distanceData();
    QCOMPARE(data.PairWeights, (std::vector<float>{0.5f, 0, 1, 1, 1, 1}));
    QCOMPARE(data.MissingPairs, 1LL);
    QCOMPARE(window.notices.size(), 1);
    QVERIFY(window.notices[0].contains("1 of the 6 pairs weigh 0"));
    // The table's own missing pair stays out whatever the weights say.
    window.chosen = m_folder->write("holes.csv", Holes);
    window.form.openFile();
    window.chosen = m_folder->write("ones.csv", "\"\",A,B,C,D\nA,0,1,1,1\nB,1,0,1,1\nC,1,1,0,1\nD,1,1,1,0\n");
    window.form.openWeights();
    QCOMPARE(window.form.distanceData().PairWeights, (std::vector<float>{1, 0, 1, 1, 1, 1}));
    // Another table drops the weights.
    window.chosen = m_folder->path("distance.txt");
    window.form.openFile();
    QVERIFY(!window.form.distanceData().weighted());
    QVERIFY2(window.errors.isEmpty(), qPrintable(window.errors.join("\n")));
}

void WeightsWindowTest::refusedWeightsKeepTheData_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("a name the table lacks") << QByteArray("\"\",A,B,C,E\nA,0,1,1,1\nB,1,0,1,1\nC,1,1,0,1\nE,1,1,1,0\n")
                                            << "no item 4 \"D\"";
    QTest::newRow("a negative weight") << QByteArray("\"\",A,B,C,D\nA,0,1,1,1\nB,1,0,-2,1\nC,1,-2,0,1\nD,1,1,1,0\n")
                                       << "line 3: the weight of item 2 \"B\" and item 3 \"C\", \"-2\", is negative: "
                                          "a weight is 0 or more";
    QTest::newRow("an item left without pairs")
        << QByteArray("\"\",A,B,C,D\nA,0,0,0,0\nB,0,0,1,1\nC,0,1,0,1\nD,0,1,1,0\n")
        << "item A has no present pair with the other 3";
    QTest::newRow("too few items") << QByteArray("0,1\n1,0\n") << "2 items, the distance table has 4";
}

void WeightsWindowTest::refusedWeightsKeepTheData()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    CapturingWindow window;
    window.form.startUp();
    const std::vector<float> before = window.form.distanceData().PairDistances;
    const float sum = window.form.distanceData().DistanceSum;
    window.chosen = m_folder->write("bad.csv", content);
    window.form.openWeights();
    QCOMPARE(window.errors.size(), 1);
    QVERIFY2(window.errors[0].contains(message), qPrintable(window.errors[0]));
    QVERIFY(!window.form.distanceData().weighted());
    QCOMPARE(window.form.distanceData().PairDistances, before);
    QCOMPARE(window.form.distanceData().DistanceSum, sum);
}

QTEST_MAIN(WeightsWindowTest)
#include "weights_window_test.moc"
