// Data tables in the window: the Open data table dialog's choices, a table
// read, mapped and coloured by its groups, and a table the metric refuses,
// which leaves the previous data as it was.
#include "window/data_table_dialog.h"
#include "window/item_tooltips.h"
#include "window/main_form.h"
#include "window/picture_box.h"
#include "window_test_support.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

using tessarin::DataTableDialog;
using tessarin::DataTableOptions;
using tessarin::DistanceSource;
using tessarin::MainForm;
using tessarin::Metric;
using tessarin::MetricChoice;
using tessarin::Standardization;

namespace {

const QString Iris = QStringLiteral(TESSARIN_EXAMPLES_DIR) + "/iris.csv";

template <typename T>
T *child(QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

} // namespace

class DataTableWindowTest : public QObject {
    Q_OBJECT

private slots:
    void dialogShowsTheFirstRowsAndOffersTheColumns_data();
    void dialogShowsTheFirstRowsAndOffersTheColumns();
    void dialogRefusesAFileThatIsNoTable();
    void openDataTableMapsAndColoursTheGroups();
    void aRefusedTableLeavesThePreviousData();

private:
    tessarin::testing::WorkingFolder m_folder;
};

void DataTableWindowTest::dialogShowsTheFirstRowsAndOffersTheColumns_data()
{
    QTest::addColumn<QString>("metric");
    QTest::addColumn<int>("standardize");
    QTest::addColumn<QString>("conversion");
    QTest::addColumn<QString>("nameColumn");
    QTest::addColumn<QString>("groupColumn");
    QTest::addColumn<QString>("expectedMetric");
    QTest::addColumn<int>("expectedNames");
    QTest::addColumn<QString>("expectedGroups");

    const int automatic = int(DataTableOptions::Names::Automatic);
    const int none = int(DataTableOptions::Names::None);
    const int column = int(DataTableOptions::Names::Column);
    QTest::newRow("the defaults: euclidean, the text column as groups")
        << "euclidean" << 0 << "" << "(the first column)" << "Species" << "euclidean" << automatic << "Species";
    QTest::newRow("minkowski with its power, z") << "minkowski" << 1 << "" << "(none: items numbered)" << "(no groups)"
                                                 << "minkowski=2" << none << "";
    QTest::newRow("gower, a measurement naming the items")
        << "gower" << 2 << "" << "Sepal.Length" << "Species" << "gower" << column << "Species";
    QTest::newRow("similarities take no group column") << "" << 0 << "one-minus" << "(as the file suggests)"
                                                       << "Species" << "" << automatic << "";
}

void DataTableWindowTest::dialogShowsTheFirstRowsAndOffersTheColumns()
{
    QFETCH(QString, metric);
    QFETCH(int, standardize);
    QFETCH(QString, conversion);
    QFETCH(QString, nameColumn);
    QFETCH(QString, groupColumn);
    QFETCH(QString, expectedMetric);
    QFETCH(int, expectedNames);
    QFETCH(QString, expectedGroups);

    DataTableDialog dialog(Iris);
    auto *preview = child<QTableWidget>(dialog, "PreviewTable");
    QCOMPARE(preview->rowCount(), DataTableDialog::PreviewRows);
    QCOMPARE(preview->columnCount(), 6);
    QCOMPARE(preview->horizontalHeaderItem(5)->text(), QStringLiteral("Species"));
    QCOMPARE(preview->item(1, 2)->text(), QStringLiteral("3"));
    QCOMPARE(child<QComboBox>(dialog, "GroupColumnBox")->currentText(), QStringLiteral("Species"));

    if (metric.isEmpty()) {
        child<QRadioButton>(dialog, "SimilaritiesButton")->setChecked(true);
        child<QComboBox>(dialog, "ConversionBox")->setCurrentText(conversion);
    } else {
        child<QComboBox>(dialog, "MetricBox")->setCurrentText(metric);
        child<QComboBox>(dialog, "StandardizeBox")->setCurrentIndex(standardize);
    }
    child<QComboBox>(dialog, "NameColumnBox")->setCurrentText(nameColumn);
    child<QComboBox>(dialog, "GroupColumnBox")->setCurrentText(groupColumn);

    const DistanceSource source = dialog.source();
    QCOMPARE(source.metric.has_value(), !metric.isEmpty());
    QCOMPARE(source.similarities.has_value(), metric.isEmpty());
    if (source.metric) {
        QCOMPARE(QString::fromStdString(tessarin::MetricName(*source.metric)), expectedMetric);
        QCOMPARE(int(source.standardization), standardize);
    }
    QCOMPARE(int(source.table.names), expectedNames);
    if (source.table.names == DataTableOptions::Names::Column)
        QCOMPARE(QString::fromStdString(source.table.nameColumn), nameColumn);
    QCOMPARE(QString::fromStdString(source.groups), expectedGroups);
}

void DataTableWindowTest::dialogRefusesAFileThatIsNoTable()
{
    const QString ragged = m_folder.write("ragged.csv", "\"\",x,y\na,1,2\nb,3\n");
    DataTableDialog dialog(ragged);
    QVERIFY(child<QLabel>(dialog, "ProblemLabel")->text().contains("line 3"));
    QVERIFY(!child<QDialogButtonBox>(dialog, "DialogButtons")->button(QDialogButtonBox::Ok)->isEnabled());
}

void DataTableWindowTest::openDataTableMapsAndColoursTheGroups()
{
    MainForm form;
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    form.findChild<QLineEdit *>("GAgensText")->setText("20");
    form.setDialog([] { return Iris; });
    DistanceSource source;
    source.metric = MetricChoice{Metric::Euclidean, 2.0};
    source.standardization = Standardization::Z;
    source.groups = "Species";
    QString asked;
    form.setSourceDialog([&](const QString &path) {
        asked = path;
        return std::optional<DistanceSource>(source);
    });
    form.show();
    form.openDataTable();
    QVERIFY2(messages.isEmpty(), qPrintable(messages.value(0)));
    QCOMPARE(asked, Iris);
    QCOMPARE(form.windowTitle(), MainForm::TitleText + Iris);
    QCOMPARE(int(form.distanceData().ItemCount), 150);
    QCOMPARE(form.groups().names, (std::vector<std::string>{"setosa", "versicolor", "virginica"}));
    QCOMPARE(form.groups().groupOf[50], 1);

    form.bestMap();
    QVERIFY2(messages.isEmpty(), qPrintable(messages.value(0)));
    const QString csv = m_folder.path("iris-map.csv");
    form.setSaveDialog([&](const MainForm::SaveRequest &) { return MainForm::SaveChoice{csv, 0}; });
    form.saveCoordinatesCsv();
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith("item,name,group,x,y\n1,1,setosa,"));
    QVERIFY(text.contains("\n150,150,virginica,"));

    // The table's tooltip names both items' groups.
    // Row 2 (setosa), column 51 (versicolor) of the 151 cells across and down.
    const QPoint cell(int((51 + 0.5) * form.distanceBox()->width() / 151),
                      int((2 + 0.5) * form.distanceBox()->height() / 151));
    const QString tip = form.tooltips()->tableText(cell);
    QVERIFY2(tip.contains("(setosa)") && tip.contains("(versicolor)"), qPrintable(tip));
}

void DataTableWindowTest::aRefusedTableLeavesThePreviousData()
{
    const QString four = m_folder.write("four.txt", tessarin::testing::FourItems);
    const QString table = m_folder.write("table.csv", "\"\",x,kind\na,1,u\nb,2,v\n");
    MainForm form;
    QStringList messages;
    form.setMessageSink([&](const QString &text) { messages << text; });
    form.findChild<QLineEdit *>("GAgensText")->setText("10");
    form.startUp(four, MainForm::StartFile::Named);
    const auto before = form.distanceData().Distances;
    const auto layout = form.bestLayout();

    form.setDialog([&] { return table; });
    DistanceSource source;
    source.metric = MetricChoice{Metric::Manhattan, 2.0};
    form.setSourceDialog([&](const QString &) { return std::optional<DistanceSource>(source); });
    form.openDataTable();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains("The data table could not be read") && messages[0].contains("column \"kind\""),
             qPrintable(messages[0]));
    QCOMPARE(form.distanceData().Distances, before);
    QCOMPARE(form.bestLayout(), layout);
    QVERIFY(form.groups().empty());

    // Cancelled in the dialog: nothing happens at all.
    form.setSourceDialog([](const QString &) { return std::optional<DistanceSource>(); });
    form.openDataTable();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(form.distanceData().Distances, before);
}

QTEST_MAIN(DataTableWindowTest)
#include "data_table_window_test.moc"
