// Item names through the window and the batch mode: the same fit from every
// format, names on the map, in its SVG and CSV, in the tooltips, a --start
// that checks them, a dropped file, and a bad named file that changes nothing.
#include "app/batch_mode.h"
#include "base/tessarin_error.h"
#include "display/item_label.h"
#include "io/layout_csv.h"
#include "window/item_tooltips.h"
#include "window/main_form.h"
#include "window/picture_box.h"

#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>
#include <QtTest>

using tessarin::Layout;
using tessarin::MainForm;
using tessarin::TessarinError;

namespace {

const QString Examples = QStringLiteral(TESSARIN_EXAMPLES_DIR);

struct Window {
    explicit Window(const QString &file)
    {
        form.findChild<QLineEdit *>("GAgensText")->setText("40");
        form.setMessageSink([this](const QString &text) { messages << text; });
        form.setSaveDialog([this](const MainForm::SaveRequest &) { return answer; });
        form.startUp(file);
    }
    MainForm form;
    MainForm::SaveChoice answer;
    QStringList messages;
};

std::string local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList svgTexts(const QByteArray &bytes)
{
    QStringList texts;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText().trimmed();
    return texts;
}

QStringList cityNames(const MainForm &form)
{
    QStringList names;
    for (const std::string &name : form.distanceData().Names)
        names << QString::fromStdString(name);
    return names;
}

} // namespace

class NamedItemsTest : public QObject {
    Q_OBJECT

private slots:
    void everyFormatGivesTheSameFit();
    void namesReachTheSvgAndTheCsv();
    void batchStartChecksTheNames();
    void tooltipsNameTheItems();
    void droppedFileOpensAsOpenDoes();
    void badNamedFileChangesNothing();

private:
    QTemporaryDir m_dir;
};

void NamedItemsTest::everyFormatGivesTheSameFit()
{
    Window ours(Examples + "/distance.txt");
    QVERIFY(ours.form.distanceData().Names.empty());
    for (const char *name : {"cities-matrix.csv", "cities.phy"}) {
        Window named(Examples + "/" + name);
        QCOMPARE(named.form.windowTitle(), MainForm::TitleText + Examples + "/" + name);
        QCOMPARE(named.form.distanceData().Distances, ours.form.distanceData().Distances);
        QCOMPARE(named.form.bestLayout(), ours.form.bestLayout());
        QCOMPARE(named.form.distanceData().Names.size(), std::size_t(20));
    }
}

void NamedItemsTest::namesReachTheSvgAndTheCsv()
{
    Window window(Examples + "/cities-matrix.csv");
    const QString svg = m_dir.filePath("cities-map.svg");
    window.answer = {svg, 0};
    window.form.saveMapSvg();
    QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.value(0)));
    QStringList texts = svgTexts(contents(svg));
    QStringList names = cityNames(window.form);
    texts.sort();
    names.sort();
    QCOMPARE(texts, names);

    const QString csv = m_dir.filePath("cities-map.csv");
    window.answer = {csv, 0};
    window.form.saveCoordinatesCsv();
    const QByteArray text = contents(csv);
    QVERIFY(text.startsWith("item,name,x,y\n1,London,"));
    QVERIFY(text.contains("\n7,Cape Town,"));
    std::vector<std::string> read;
    QCOMPARE(tessarin::ReadLayoutCsv(local(csv), &read), window.form.bestLayout());
    QCOMPARE(read, window.form.distanceData().Names);
}

void NamedItemsTest::batchStartChecksTheNames()
{
    const QString table = Examples + "/cities-matrix.csv";
    const QString map = m_dir.filePath("start.csv");
    QCOMPARE(tessarin::RunBatchMode({"--batch", local(table), "--generations", "30", "--coords", local(map)}), 0);
    QVERIFY(contents(map).startsWith("item,name,x,y\n1,London,"));

    // Zero generations keep the map as it was read.
    const QString again = m_dir.filePath("again.csv");
    QCOMPARE(tessarin::RunBatchMode({"--batch", local(table), "--start", local(map), "--generations", "0",
                                     "--coords", local(again)}),
             0);
    QCOMPARE(contents(again), contents(map));

    // Another table's names, or none, are refused before any search.
    struct Case {
        const char *table;
        const char *message;
    } cases[] = {{"cities.phy", "item 7 is named \"Cape Town\" in the map, but \"Cape_Town\""},
                 {"distance.txt", "names its items, but"}};
    for (const Case &c : cases) {
        const QString refused = m_dir.filePath(QStringLiteral("refused-%1.csv").arg(c.table));
        try {
            tessarin::RunBatchMode({"--batch", local(Examples + "/" + c.table), "--start", local(map),
                                    "--coords", local(refused)});
            QFAIL(c.table);
        } catch (const TessarinError &error) {
            QVERIFY2(QString::fromStdString(error.what()).contains(QString::fromUtf8(c.message)), error.what());
        }
        QVERIFY(!QFile::exists(refused));
    }
}

void NamedItemsTest::tooltipsNameTheItems()
{
    Window window(Examples + "/cities-matrix.csv");
    const tessarin::ItemTooltips &tips = *window.form.tooltips();
    const tessarin::PictureBox *box = window.form.distanceBox();
    const auto &data = window.form.distanceData();
    const auto cell = [box](int row, int column) {
        return QPoint(int((column + 0.5) * box->width() / 21), int((row + 0.5) * box->height() / 21));
    };
    QCOMPARE(tips.tableText(cell(3, 7)), QStringLiteral("3 Berlin \u2013 7 Cape Town: %1").arg(data.distance(3, 7)));
    QCOMPARE(tips.tableText(cell(0, 7)), QStringLiteral("7 Cape Town"));
    QCOMPARE(tips.tableText(cell(5, 0)), QStringLiteral("5 Cairo"));
    QCOMPARE(tips.tableText(cell(0, 0)), QString());

    // On the map: just right of and below where item 7's label starts.
    const tessarin::PictureBox *graph = window.form.distanceGraph();
    const Layout &layout = window.form.bestLayout();
    const double dx = graph->fontSize() * 12000.0 / graph->outerWidth();
    const double dy = graph->fontSize() * 12000.0 / graph->outerHeight();
    const QPoint label(int((layout[7] - dx + 50) * graph->width() / 1100.0) + 2,
                       int((layout[20 + 7] - dy + 50) * graph->height() / 1100.0) + 2);
    // Item 7's label, or one drawn over it later.
    const QString text = tips.mapText(label);
    bool found = false;
    for (int i = 7; i <= 20; ++i)
        found = found || text == QString::fromStdString(tessarin::ItemTitle(data.Names, i));
    QVERIFY2(found, qPrintable(text));
    // The margin's corner is left of and above every label.
    QCOMPARE(tips.mapText(QPoint(0, 0)), QString());
}

void NamedItemsTest::droppedFileOpensAsOpenDoes()
{
    Window window(Examples + "/distance.txt");
    const QString path = Examples + "/planets.txt";
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window.form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window.form, &drop);
    QCOMPARE(window.form.windowTitle(), MainForm::TitleText + path);
    QCOMPARE(window.form.distanceData().ItemCount, short(8));
    QCOMPARE(window.form.distanceData().Names.front(), std::string("Mercury"));
    QCOMPARE(window.form.bestLayout().size(), std::size_t(17));

    // Two files at once are not taken.
    QMimeData two;
    two.setUrls({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &two, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QCoreApplication::sendEvent(&window.form, &refused);
    QVERIFY(!refused.isAccepted());
}

void NamedItemsTest::badNamedFileChangesNothing()
{
    Window window(Examples + "/cities-matrix.csv");
    const auto before = window.form.distanceData().Distances;
    const auto names = window.form.distanceData().Names;
    const Layout layout = window.form.bestLayout();
    QFile bad(m_dir.filePath("bad.csv"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("\"\",A,B,C\nA,0,1,2\nB,1,0,3\nC,2,3.5,0\n");
    bad.close();
    window.form.setDialog([&] { return bad.fileName(); });
    window.form.openFile();
    QCOMPARE(window.messages.size(), 1);
    QVERIFY2(window.messages[0].contains(bad.fileName() + ", line 4") && window.messages[0].contains("\"3.5\""),
             qPrintable(window.messages[0]));
    QCOMPARE(window.form.distanceData().Distances, before);
    QCOMPARE(window.form.distanceData().Names, names);
    QCOMPARE(window.form.bestLayout(), layout);
}

QTEST_MAIN(NamedItemsTest)
#include "named_items_test.moc"
