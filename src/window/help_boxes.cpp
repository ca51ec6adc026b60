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
    // Examples side by side keep the box lower than a laptop's screen.
    return tr("<p>A table of distances is read in any of these layouts, told apart by their first lines; "
              "the same table in any layout gives the same map.</p>"
              "<p><b>Our distance file</b>: the item count N and a title, then N − 1 row lines; row line i "
              "holds the distances from item i to items i + 1 … N. The map shows the items' numbers.</p>"
              "<pre>4 Four sites\n10 20 30\n9,25\n12</pre>"
              "<p><b>A square matrix</b>, comma- or tab-separated, the names along the top (with or without "
              "the empty corner) and down the left, as a spreadsheet or R writes it; fields may be quoted, "
              "the diagonal is 0 or empty. Numbers only are read too, the items numbered.</p>"
              "<table cellspacing=8><tr><td><pre>\"\",\"London\",\"Paris\",\"Berlin\"\n\"London\",0,3.4,9.3\n"
              "\"Paris\",3.4,0,8.8\n\"Berlin\",9.3,8.8,0</pre></td><td width=40></td>"
              "<td><pre>London\tParis\tBerlin\nLondon\t0\t3.4\t9.3\nParis\t3.4\t0\t8.8\nBerlin\t9.3\t8.8\t0</pre>"
              "</td></tr></table>"
              "<p><b>A lower triangle</b>: one row per item, its name and its distances to the items before "
              "it, with or without the diagonal 0. Line 1 may be a header of names, as R prints a "
              "<tt>dist</tt> (left), or the count, a tab and a title, the rows then tab-separated so that "
              "names may hold blanks (<tt>.dst</tt>, right). Between blanks, a name with blanks goes in "
              "double quotes.</p>"
              "<table cellspacing=8><tr><td><pre>       London Paris\nParis     3.4\nBerlin    9.3   8.8</pre></td>"
              "<td width=40></td>"
              "<td><pre>3\tThree cities\nLondon\nParis\t3.4\nBerlin\t9.3\t8.8</pre></td></tr></table>"
              "<p><b>PHYLIP</b>: the count alone on line 1, then one row per item, its name and its "
              "distances, square or lower-triangular, wrapped over lines if need be. The name is the row's "
              "first field, or its first 10 characters (strict PHYLIP, blanks allowed). A file that fits "
              "both our layout and PHYLIP is PHYLIP when it ends in .phy, .dist or .phylip.</p>"
              "<pre>    3\nLondon   0    3.4  9.3\nParis    3.4  0    8.8\nBerlin   9.3  8.8  0</pre>"
              "<p>Values are separated by a single comma, a single tab or a run of blanks; the decimal "
              "separator is always the point; lines may end with CR LF, CR or LF. In the three named layouts a "
              "missing value (NA, ?, NaN or an empty cell) leaves its pair out of the fit and shows blank; "
              "it must be missing in both halves of a square matrix, and the present pairs must join every "
              "item. File ▸ Open weights… weighs the pairs by a table in any of these layouts "
              "(0 leaves a pair out). No two items may share a name; 2 to 16383 items. A file with "
              "an error is refused with a message naming the file, the line and the value, and the data "
              "already loaded stays as it was.</p>"
              "<p>Open also reads a square matrix separated by semicolons with decimal commas (R's "
              "write.csv2), names that are numbers, and R's printed dist wrapped in blocks of columns. "
              "File ▸ Open data table… reads a table of items and variables (a header row, one row per "
              "item) and measures the distances between the items by a metric, or converts a similarity "
              "matrix; a column of the table may give the items' groups, which colour the map.</p>");
}

QString FitText()
{
    return tr("<p><b>The fit</b> says how well the map's straight-line distances agree with the distances "
              "of the table. It is a correlation-like agreement of the two: with m a pair's map distance "
              "and g its table distance, summed over all pairs,</p>"
              "<p align=center>fit = B(m, g) / √(B(g, g) · B(m, m)),&nbsp;&nbsp; "
              "B(a, b) = Σab − Σa Σb / (N (N − 1)).</p>"
              "<p>The window shows it multiplied by 100: <b>99.313</b> is a fit of 0.99313.</p>"
              "<ul><li><b>1</b> (100): the map distances are exactly proportional to the table's; the map "
              "shows the table as it is.</li>"
              "<li><b>0</b>: the map distances do not follow the table's at all, as when every item sits "
              "on one point.</li></ul>"
              "<p>Moving, turning or mirroring the map leaves its distances and so its fit unchanged, and so "
              "does scaling it, since the fit compares the shapes of the two sets of distances and not "
              "their units. Unlike a plain correlation it changes when the same amount is added to every map "
              "distance (map distances 13, 14, 15 against table distances 3, 4, 5 fit 0.980, not 1): it asks for "
              "proportional distances, not only for distances on a line.</p>"
              "<p><b>Stress-1</b> (Kruskal) measures what is left over: after the map is scaled to suit the "
              "table best (a = Σgm / Σm²),</p>"
              "<p align=center>stress-1 = √(Σ(g − a·m)² / Σg²).</p>"
              "<p>0 is a perfect map, and the larger, the worse. The two measures move together, but stress-1 "
              "weighs the sizes of the misfits while the fit weighs their agreement of pattern, so a fit "
              "close to 100 can still leave a visible stress-1: the best map of the 32 cars of mtcars fits "
              "at 99.313 with a stress-1 of 0.094, the 150 irises at 99.922 with 0.033. The Shepard "
              "diagram (Ctrl+D) and the batch mode show both.</p>"
              "<p>Kruskal's verbal guide for stress-1, a rough guide only (it depends on the number of "
              "items and on how noisy the table is):</p>"
              "<table cellpadding=2>"
              "<tr><td>up to 0.025</td><td>excellent</td></tr>"
              "<tr><td>up to 0.05</td><td>good</td></tr>"
              "<tr><td>up to 0.1</td><td>fair</td></tr>"
              "<tr><td>up to 0.2</td><td>poor</td></tr>"
              "<tr><td>above 0.2</td><td>bad</td></tr></table>"
              "<p><b>Map ▸ Model</b> chooses what Polish and Best map fit: the fit (the default), or the "
              "stress-1 of ratio (d̂ = b·g), interval (d̂ = a + b·g) or ordinal (d̂ rising with g) "
              "disparities d̂, √(Σ(d̂ − m)² / Σm²), or Sammon's criterion. Under a model the line under the "
              "form shows the best map's stress with the guide above, the Shepard diagram draws the "
              "model's disparities and the stress per point follows the model. <b>Map ▸ Ties</b>: under "
              "the primary approach equal distances may get unequal disparities, under the secondary one "
              "they share one.</p>");
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
