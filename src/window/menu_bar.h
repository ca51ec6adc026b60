#pragma once

#include "models/stress_model.h"

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

    /// Enables or greys the entries that start work: Open, Rerun, the map
    /// commands and the model's choice. Stop, the save entries, Quit and
    /// Help are left alone.
    void setCommandsEnabled(bool enabled);

    /// Map ▸ Model (Fit, Ratio stress, Interval stress, Ordinal stress,
    /// Sammon; one checked) and Map ▸ Ties (primary, secondary; enabled for
    /// ordinal).
    QMenu *modelMenu() const { return m_modelMenu; }
    QMenu *tiesMenu() const { return m_tiesMenu; }
    /// Checks the entries of `model` and enables Ties for ordinal.
    void setModelChecked(const ModelSetting &model);

private:
    QMenu *m_fileMenu = nullptr;
    QMenu *m_mapCommandsMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QMenu *m_modelMenu = nullptr;
    QMenu *m_tiesMenu = nullptr;
    QList<QAction *> m_commandActions;
    QList<QAction *> m_modelActions;
    QList<QAction *> m_tiesActions;
};

} // namespace tessarin
