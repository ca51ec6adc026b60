// Saving the map and the table: the context menus, the files they write (PNG,
// SVG, CSV), failed writes, and the batch mode's --image.
#include "app/batch_mode.h"
#include "base/tessarin_error.h"
#include "io/layout_csv.h"
#include "window/main_form.h"
#include "export/palette.h"
#include "window/picture_box.h"
#include "window_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <bit>
#include <unistd.h>

using tessarin::Layout;
using tessarin::MainForm;
using tessarin::PaletteColor;
using tessarin::TessarinError;

namespace {

const QString Cities = QStringLiteral(TESSARIN_EXAMPLES_DIR "/distance.txt");
const QString FourSites = QStringLiteral(TESSARIN_EXAMPLES_DIR "/four-sites.txt");

/// A window that has read `file` and run a short search, with its dialogs
/// and message boxes replaced: the Save dialog answers `answer` and records
/// the requests.
struct Window {
    explicit Window(const QString &file = Cities, const char *back = "0", bool grid = true)
    {
        form.findChild<QLineEdit *>("GAgensText")->setText("60");
        form.findChild<QLineEdit *>("BackText")->setText(QString::fromLatin1(back));
        form.findChild<QCheckBox *>("ShowGrid")->setChecked(grid);
        form.setMessageSink([this](const QString &text) { messages << text; });
        form.setSaveDialog([this](const MainForm::SaveRequest &request) {
            requests << request;
            return answer;
        });
        if (!file.isEmpty())
            form.startUp(file);
    }
    QAction *action(const char *name) { return form.findChild<QAction *>(QString::fromLatin1(name)); }

    MainForm form;
    MainForm::SaveChoice answer;
    QList<MainForm::SaveRequest> requests;
    QStringList messages;
};

struct SvgCounts {
    QString error;
    QStringList texts;     // trimmed text of each <text> element
    int gridStrokes = 0;   // outlines and lines stroked in the grid's grey
    int otherStrokes = 0;  // outlines and lines in any other colour
};

SvgCounts readSvg(const QByteArray &bytes)
{
    SvgCounts counts;
    const QString grey = PaletteColor(8).name();
    QXmlStreamReader xml(bytes);
    QStringList strokes; // the stroke in force at each open element
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attributes = xml.attributes();
            strokes << (attributes.hasAttribute("stroke") ? attributes.value("stroke").toString()
                                                           : strokes.value(strokes.size() - 1));
            const auto name = xml.name();
            if (name == QLatin1String("text")) {
                counts.texts << xml.readElementText().trimmed();
                strokes.removeLast();
            } else if (name == QLatin1String("rect") || name == QLatin1String("line") ||
                       name == QLatin1String("polyline") || name == QLatin1String("path")) {
                if (strokes.last() == grey)
                    ++counts.gridStrokes;
                else if (strokes.last() != QLatin1String("none"))
                    ++counts.otherStrokes;
            }
        } else if (xml.isEndElement()) {
            strokes.removeLast();
        }
    }
    if (xml.hasError())
        counts.error = xml.errorString();
    return counts;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QStringList numbers(int from, int to)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QString::number(i);
    return list;
}

int runBatch(const std::vector<std::string> &args)
{
    return tessarin::RunBatchMode(args, tessarin::testing::BatchPictures());
}

std::string local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    void entriesGreyedWithoutMap();
    void entriesGreyedDuringRun();
    void csvReadsBackBitForBit();
    void pngIsTheBoxDrawing_data();
    void pngIsTheBoxDrawing();
    void svgHoldsTextAndGrid_data();
    void svgHoldsTextAndGrid();
    void failedWriteLeavesNoFile_data();
    void failedWriteLeavesNoFile();
    void batchImageIsTheWindowDrawing_data();
    void batchImageIsTheWindowDrawing();
    void batchImageRefusedName();

private:
    QTemporaryDir m_dir;
};

void ExportTest::entriesGreyedWithoutMap()
{
    Window window(QString{});
    const char *names[] = {"SaveMapPng", "SaveMapSvg", "SaveCoordinates", "CopyCoordinates", "SaveTablePng",
                           "SaveTableSvg"};
    for (const char *name : names) {
        QVERIFY2(window.action(name), name);
        QVERIFY2(!window.action(name)->isEnabled(), name);
    }
    // A right click opens each box's menu, greyed as it is.
    for (auto [box, menu] : {std::pair{window.form.distanceGraph(), window.form.mapMenu()},
                             std::pair{window.form.distanceBox(), window.form.tableMenu()}}) {
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10), box->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(box, &click);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
    }
    // The four save entries, then a separator and the Shepard diagram and stress rings commands.
    QCOMPARE(window.form.mapMenu()->actions().size(), 7);
    QCOMPARE(window.form.tableMenu()->actions().size(), 2);

    // Called anyway, a command says there is nothing to save and asks for no file.
    window.form.saveMapPng();
    window.form.saveTableSvg();
    window.form.saveCoordinatesCsv();
    QCOMPARE(window.messages.size(), 3);
    QVERIFY(window.requests.isEmpty());

    // A file that cannot be read leaves them greyed.
    window.form.startUp(QStringLiteral("/nonexistent/distance.txt"));
    for (const char *name : names)
        QVERIFY2(!window.action(name)->isEnabled(), name);

    window.form.startUp(FourSites);
    for (const char *name : names)
        QVERIFY2(window.action(name)->isEnabled(), name);
}

void ExportTest::entriesGreyedDuringRun()
{
    Window window(FourSites);
    int checked = 0;
    connect(&window.form, &MainForm::improvementDrawn, this, [&] {
        ++checked;
        QVERIFY(!window.action("SaveMapPng")->isEnabled());
        QVERIFY(!window.action("SaveTableSvg")->isEnabled());
    });
    window.form.rerun();
    QVERIFY(checked > 0);
    QVERIFY(window.action("SaveMapPng")->isEnabled());
    QVERIFY(window.action("SaveTableSvg")->isEnabled());
}

void ExportTest::csvReadsBackBitForBit()
{
    Window window;
    const QString path = m_dir.filePath("cities-map.csv");
    window.answer = {path, 0};
    window.form.saveCoordinatesCsv();
    QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.value(0)));
    QCOMPARE(window.requests.size(), 1);
    QCOMPARE(window.requests[0].defaultSuffix, QStringLiteral("csv"));
    QVERIFY(window.requests[0].filters.value(0).contains("*.csv"));

    const Layout &best = window.form.bestLayout();
    const Layout read = tessarin::ReadLayoutCsv(local(path));
    QCOMPARE(read.size(), best.size());
    for (std::size_t k = 1; k < best.size(); ++k)
        QCOMPARE(std::bit_cast<quint32>(read[k]), std::bit_cast<quint32>(best[k]));

    // Copy coordinates puts the same text on the clipboard.
    window.form.copyCoordinates();
    QCOMPARE(QGuiApplication::clipboard()->text().toUtf8(), contents(path));

    // The batch mode starts from it, and with no generations keeps it.
    const QString again = m_dir.filePath("again.csv");
    QCOMPARE(runBatch({"--batch", local(Cities), "--start", local(path), "--generations", "0", "--coords",
                       local(again)}),
             0);
    QCOMPARE(contents(again), contents(path));
}

void ExportTest::pngIsTheBoxDrawing_data()
{
    QTest::addColumn<bool>("map");
    QTest::addColumn<QString>("back");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("scale");
    QTest::newRow("map, black, box size") << true << "0" << 1 << 1;
    QTest::newRow("map, white, twice") << true << "15" << 0 << 2;
    QTest::newRow("map, blue, twice") << true << "1" << 0 << 2;
    QTest::newRow("table, box size") << false << "0" << 1 << 1;
    QTest::newRow("table, twice") << false << "0" << 0 << 2;
}

void ExportTest::pngIsTheBoxDrawing()
{
    QFETCH(bool, map);
    QFETCH(QString, back);
    QFETCH(int, filter);
    QFETCH(int, scale);
    Window window(Cities, qPrintable(back));
    const QString path = m_dir.filePath(QStringLiteral("picture-%1.png").arg(QTest::currentDataTag()));
    window.answer = {path, filter};
    if (map)
        window.form.saveMapPng();
    else
        window.form.saveTablePng();
    QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.value(0)));
    QCOMPARE(window.requests.value(0).defaultSuffix, QStringLiteral("png"));

    const QImage saved(path, "PNG");
    QVERIFY(!saved.isNull());
    const QImage shown = (map ? window.form.distanceGraph() : window.form.distanceBox())->image();
    QCOMPARE(saved.size(), shown.size() * scale);
    const QColor background = map ? PaletteColor(int(back.toInt())) : PaletteColor(11);
    QCOMPARE(saved.pixelColor(0, 0), background);
    QCOMPARE(saved.pixelColor(saved.width() - 1, saved.height() - 1), background);
    // Drawn again at the box's size, the picture is the box's, pixel for pixel.
    if (scale == 1)
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
}

void ExportTest::svgHoldsTextAndGrid_data()
{
    QTest::addColumn<bool>("map");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("grid");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("gridStrokes");

    QTest::newRow("map with grid") << true << Cities << true << numbers(1, 20) << 19;
    QTest::newRow("map without grid") << true << Cities << false << numbers(1, 20) << 0;
    // Header row, then per row its number and four cells.
    const QStringList table = {"1", "2", "3", "4", "1", "-", "10", "20", "30", "2", "10", "-", "9",
                               "25", "3", "20", "9", "-", "12", "4", "30", "25", "12", "-"};
    QTest::newRow("table") << false << FourSites << true << table << 0;
}

void ExportTest::svgHoldsTextAndGrid()
{
    QFETCH(bool, map);
    QFETCH(QString, file);
    QFETCH(bool, grid);
    QFETCH(QStringList, texts);
    QFETCH(int, gridStrokes);
    Window window(file, "0", grid);
    const QString path = m_dir.filePath(QStringLiteral("picture-%1.svg").arg(QTest::currentDataTag()));
    window.answer = {path, 0};
    if (map)
        window.form.saveMapSvg();
    else
        window.form.saveTableSvg();
    QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.value(0)));
    QCOMPARE(window.requests.value(0).defaultSuffix, QStringLiteral("svg"));

    const SvgCounts counts = readSvg(contents(path));
    QVERIFY2(counts.error.isEmpty(), qPrintable(counts.error));
    QStringList found = counts.texts;
    if (map) {
        found.sort();
        texts.sort();
    }
    QCOMPARE(found, texts);
    QCOMPARE(counts.gridStrokes, gridStrokes);
    QCOMPARE(counts.otherStrokes, 0);
}

void ExportTest::failedWriteLeavesNoFile_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("place");
    for (const char *command : {"map png", "map svg", "csv", "table png"})
        for (const char *place : {"missing folder", "folder is a file", "read-only folder"})
            QTest::addRow("%s, %s", command, place) << command << place;
}

void ExportTest::failedWriteLeavesNoFile()
{
    QFETCH(QString, command);
    QFETCH(QString, place);
    const QString root = m_dir.filePath(QStringLiteral("fail-%1").arg(QTest::currentDataTag()).replace(' ', '-'));
    QVERIFY(QDir().mkpath(root));
    QString folder = root + "/missing";
    if (place == "folder is a file") {
        folder = root + "/plain";
        QFile plain(folder);
        QVERIFY(plain.open(QIODevice::WriteOnly));
    } else if (place == "read-only folder") {
        if (geteuid() == 0)
            QSKIP("permissions do not stop root from writing");
        folder = root + "/locked";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString target = folder + "/out.file";

    Window window(FourSites);
    window.answer = {target, 0};
    if (command == "map png")
        window.form.saveMapPng();
    else if (command == "map svg")
        window.form.saveMapSvg();
    else if (command == "csv")
        window.form.saveCoordinatesCsv();
    else
        window.form.saveTablePng();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(window.messages.size(), 1);
    QVERIFY2(window.messages[0].contains(target), qPrintable(window.messages[0]));
    QVERIFY(!QFile::exists(target));
    // Nothing else was left beside it either.
    if (QFileInfo(folder).isDir())
        QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

void ExportTest::batchImageIsTheWindowDrawing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "map.png";
    QTest::newRow("svg") << "map.SVG";
}

void ExportTest::batchImageIsTheWindowDrawing()
{
    QFETCH(QString, name);
    // A window with the default settings, its map saved as CSV...
    Window window;
    const QString csv = m_dir.filePath("batch-start.csv");
    window.answer = {csv, 0};
    window.form.saveCoordinatesCsv();
    QVERIFY(QFile::exists(csv));

    // ...and drawn by the batch mode from that CSV, unchanged.
    const QString image = m_dir.filePath(QStringLiteral("batch-") + name);
    const QString coords = m_dir.filePath(QStringLiteral("batch-%1.csv").arg(name));
    QCOMPARE(runBatch({"--batch", local(Cities), "--start", local(csv), "--generations", "0", "--coords",
                       local(coords), "--image", local(image)}),
             0);
    QCOMPARE(contents(coords), contents(csv));

    if (name.endsWith(".png")) {
        const QImage saved(image, "PNG");
        QCOMPARE(saved.size(), QSize(333, 333));
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32),
                 window.form.distanceGraph()->image().convertToFormat(QImage::Format_RGB32));
    } else {
        const SvgCounts counts = readSvg(contents(image));
        QVERIFY2(counts.error.isEmpty(), qPrintable(counts.error));
        QStringList texts = counts.texts;
        texts.sort();
        QStringList expected = numbers(1, 20);
        expected.sort();
        QCOMPARE(texts, expected);
        QCOMPARE(counts.gridStrokes, 19);
    }
}

void ExportTest::batchImageRefusedName()
{
    const QString coords = m_dir.filePath("refused.csv");
    const QString image = m_dir.filePath("refused.jpg");
    QVERIFY_THROWS_EXCEPTION(TessarinError, runBatch({"--batch", local(FourSites), "--coords", local(coords),
                                                      "--image", local(image)}));
    // Refused before the search: nothing was written.
    QVERIFY(!QFile::exists(coords));
    QVERIFY(!QFile::exists(image));
}

QTEST_MAIN(ExportTest)
#include "export_test.moc"
