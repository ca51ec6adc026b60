#pragma once

#include "window/main_form.h"

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QMenu;

namespace tessarin {

class PainterSurface;
class PictureBox;

/// The save commands of the window: the context menus of the map (MapMenu)
/// and the table (TableMenu), their entries greyed while there is nothing to
/// save or a search runs, and what the entries do.
class SaveCommands : public QObject {
    Q_OBJECT

public:
    explicit SaveCommands(MainForm &form);

    /// Replaces the Save dialogs (the default is a modal QFileDialog).
    void setSaveDialog(MainForm::SaveChooser chooser) { m_saveDialog = std::move(chooser); }

    QMenu *mapMenu() const { return m_mapMenu; }
    QMenu *tableMenu() const { return m_tableMenu; }
    /// The entries that go into the File menu too.
    QList<QAction *> fileActions() const
    {
        return {m_saveMapPng, m_saveMapSvg, m_saveCoordinates, m_saveTablePng, m_saveTableSvg};
    }
    /// Greys the entries that have nothing to save.
    void updateActions();

    /// PNG is saved at twice the box's size unless the dialog's "box size"
    /// filter is chosen.
    void saveMapPng();
    void saveMapSvg();
    void saveCoordinatesCsv();
    void copyCoordinates();
    void saveTablePng();
    void saveTableSvg();

private:
    MainForm::SaveChoice chooseSaveFile(const MainForm::SaveRequest &request);
    QString suggestedName(const QString &ending) const;
    void saveMap(bool svg);
    void saveTable(bool svg);
    // Saves a picture of `box` replayed by `replay` as PNG or SVG, asking for
    // the file; reports a failure in a message.
    void savePicture(PictureBox *box, const std::function<void(PainterSurface &)> &replay, bool svg,
                     const QString &what, const QString &ending);

    MainForm &m_form;
    MainForm::SaveChooser m_saveDialog;
    QMenu *m_mapMenu = nullptr;
    QMenu *m_tableMenu = nullptr;
    QAction *m_saveMapPng = nullptr;
    QAction *m_saveMapSvg = nullptr;
    QAction *m_saveCoordinates = nullptr;
    QAction *m_copyCoordinates = nullptr;
    QAction *m_saveTablePng = nullptr;
    QAction *m_saveTableSvg = nullptr;
};

} // namespace tessarin
