#pragma once

#include <QString>

class QMessageBox;
class QWidget;

namespace tessarin {

/// What Help ▸ About says: the tool, its version and what it does.
QString AboutText();
/// What Help ▸ The distance file format says: every layout a table is read
/// from, each with an example.
QString FileFormatText();
/// What Help ▸ The fit and stress says: what the fit and stress-1 measure and
/// how to read them.
QString FitText();

/// Shows `text` in a box of `parent` that stays open beside the window (not
/// modal) and deletes itself when closed; the box is named `name`. A box of
/// that name already open is brought to the front instead.
QMessageBox *ShowHelpBox(QWidget *parent, const char *name, const QString &title, const QString &text);

} // namespace tessarin
