#pragma once

#include <QList>
#include <QMenuBar>

class QAction;
class QMenu;

namespace tessarin {

class MainForm;

/// The window's menu bar: File (Open…, the save commands of the map and
/// table context menus, Quit), Map (Rerun/More Fit, Stop, Classical start,
/// Polish, Best map) and Help (the distance file format, the fit and
/// stress, About), each entry
/// with its shortcut. Every menu and entry has an object name (FileMenu,
/// OpenAction, ...). Other windows' commands may be added to the menus.
class MenuBar : public QMenuBar {
    Q_OBJECT

public:
    /// Builds the menus on `form`'s commands; `saveActions` are the context
    /// menus' save entries, shared with the File menu.
    MenuBar(MainForm &form, const QList<QAction *> &saveActions);

    QMenu *fileMenu() const { return m_fileMenu; }
    /// The Map menu of the bar (not the map's context menu).
    QMenu *mapCommandsMenu() const { return m_mapCommandsMenu; }
    QMenu *helpMenu() const { return m_helpMenu; }

    /// Enables or greys the entries that start work: Open, Rerun and the map
    /// commands. Stop, the save entries, Quit and Help are left alone.
    void setCommandsEnabled(bool enabled);

private:
    QMenu *m_fileMenu = nullptr;
    QMenu *m_mapCommandsMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QList<QAction *> m_commandActions;
};

} // namespace tessarin
