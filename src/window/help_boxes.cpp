#include "window/help_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace tessarin {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("tessarin::HelpBoxes", text);
}

} // namespace

QString AboutText()
{
    return tr("<p><b>Tessarin %1</b></p>"
              "<p>Turns a table of pairwise distances between items into a two-dimensional map whose "
              "straight-line distances agree as well as possible with the table.</p>"
              "<p><b>Rerun/More Fit</b> runs the differential-evolution search from the best map so far. "
              "<b>Classical start</b> puts the classical scaling map in its place, <b>Polish</b> raises the "
              "fit of the best map as far as it goes, and <b>Best map</b> tries several polished starts and "
              "keeps the best. The same file and actions always give the same maps.</p>"
              "<p>Built with Qt %2.</p>")
        .arg(QStringLiteral(TESSARIN_VERSION), QString::fromLatin1(qVersion()));
}

QString FileFormatText()
{
    return tr("<p>A distance file is plain text: the item count N and a title, then N − 1 row lines. "
              "Row line i holds the N − i distances from item i to items i + 1 … N.</p>"
              "<pre>4 Four sites\n10 20 30\n9,25\n12</pre>"
              "<p>Values are separated by a single comma, a single tab or a run of blanks; the decimal "
              "separator is always the point. Lines may end with CR LF, CR or LF. A title with commas goes "
              "between double quotes. The tool takes 2 to 16383 items.</p>"
              "<p>A file with an error is refused with a message naming the file, the line and the value; "
              "the data already loaded stays as it was.</p>"
              "<p>Open also reads square matrices (comma-, tab- or semicolon-separated, as R's write.csv, "
              "write.table and write.csv2 write them), lower triangles, R's printed dist and PHYLIP files. "
              "File ▸ Open data table… reads a table of items and variables (a header row, one row per "
              "item) and measures the distances between the items by a metric, or converts a similarity "
              "matrix; a column of the table may give the items' groups, which colour the map.</p>");
}

QMessageBox *ShowHelpBox(QWidget *parent, const char *name, const QString &title, const QString &text)
{
    if (auto *open = parent->findChild<QMessageBox *>(QString::fromLatin1(name))) {
        open->raise();
        open->activateWindow();
        return open;
    }
    auto *box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Close, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setTextFormat(Qt::RichText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
}

} // namespace tessarin
