// The map explorer's workspaces: the state of both windows written to and
// restored from a JSON file.

#include "explorer_window/map_explorer.h"

#include "fit/layout_fitness.h"
#include "diagnostics/map_stress.h"
#include "diagnostics/model_figures.h"
#include "base/str_n.h"
#include "explorer/table_neighbours.h"
#include "explorer_window/explorer_canvas.h"
#include "explorer_window/explorer_window.h"
#include "explorer_window/figure_export.h"
#include "explorer_window/workspace_file.h"
#include "distances/item_groups.h"
#include "window/main_form.h"
#include "export/map_export.h"
#include "window/menu_bar.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>

#include <iostream>

namespace tessarin {

namespace {

const char *const SettingBoxes[] = {"SizeText", "GAgensText", "BackText", "ForeText", "FontText"};

} // namespace

Workspace MapExplorer::currentWorkspace() const
{
    Workspace w;
    w.tableFile = QFileInfo(m_form.dataFile()).absoluteFilePath();
    w.source = m_form.distanceSource();
    if (!m_form.weightsFile().isEmpty())
        w.weightsFile = QFileInfo(m_form.weightsFile()).absoluteFilePath();
    for (const char *name : SettingBoxes)
        if (auto *box = m_form.findChild<QLineEdit *>(QString::fromLatin1(name)))
            w.settings[QString::fromLatin1(name)] = box->text();
    if (auto *grid = m_form.findChild<QCheckBox *>(QStringLiteral("ShowGrid")))
        w.showGrid = grid->isChecked();
    w.model = m_form.model();
    if (m_window) {
        const ExplorerCanvas *canvas = m_window->canvas();
        w.look = canvas->look();
        w.hasView = true;
        w.centreX = canvas->view().centreX();
        w.centreY = canvas->view().centreY();
        w.scale = canvas->view().scale();
        w.explorerWidth = m_window->width();
        w.explorerHeight = m_window->height();
    }
    const ExplorerInput known = input();
    w.groups = known.groups;
    w.groupNames = known.groupNames;
    w.bestMap = m_form.bestLayout();
    w.history = m_history.maps();
    w.historyPosition = m_history.position();
    return w;
}

bool MapExplorer::saveWorkspaceTo(const QString &path)
{
    if (!m_form.canSaveMap()) {
        showError(tr("There is no map to keep in a workspace yet."));
        return false;
    }
    try {
        Workspace w = currentWorkspace();
        w.tableHash = FileHash(w.tableFile);
        if (!w.weightsFile.isEmpty())
            w.weightsHash = FileHash(w.weightsFile, QStringLiteral("weights"));
        SaveBytes(path, WriteWorkspace(w));
    } catch (const std::exception &error) {
        showError(tr("The workspace could not be saved as %1.\n\n%2").arg(path, QString::fromLocal8Bit(error.what())));
        return false;
    }
    return true;
}

bool MapExplorer::openWorkspaceFrom(const QString &path)
{
    if (m_form.isRunning() || m_form.isClosing())
        return false;
    Workspace w;
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(file.errorString().toStdString());
        w = ReadWorkspace(file.readAll());
        if (FileHash(w.tableFile) != w.tableHash)
            throw std::runtime_error(tr("the table file %1 has changed since the workspace was saved")
                                         .arg(w.tableFile)
                                         .toStdString());
        if (!w.weightsFile.isEmpty() && FileHash(w.weightsFile, QStringLiteral("weights")) != w.weightsHash)
            throw std::runtime_error(tr("the weights file %1 has changed since the workspace was saved")
                                         .arg(w.weightsFile)
                                         .toStdString());
    } catch (const std::exception &error) {
        showError(tr("The workspace %1 cannot be opened.\n\n%2").arg(path, QString::fromLocal8Bit(error.what())));
        return false;
    }
    if (!m_form.loadTable(w.tableFile, w.source, w.weightsFile))
        return false;
    m_form.setTies(w.model.ties);
    m_form.setModel(w.model.model);
    for (auto it = w.settings.begin(); it != w.settings.end(); ++it)
        if (auto *box = m_form.findChild<QLineEdit *>(it.key()))
            box->setText(it.value());
    if (auto *grid = m_form.findChild<QCheckBox *>(QStringLiteral("ShowGrid")))
        grid->setChecked(w.showGrid);
    if (w.bestMap.size() != 2 * static_cast<std::size_t>(m_form.distanceData().ItemCount) + 1) {
        showError(tr("The workspace %1 holds a map of %2 items, but its table has %3.")
                      .arg(path)
                      .arg((w.bestMap.size() - 1) / 2)
                      .arg(m_form.distanceData().ItemCount));
        return false;
    }
    try {
        m_form.applySettings(SettingsForm::Rerun);
    } catch (const std::exception &) {
        // The settings boxes show what was kept; a Rerun reports a setting refused.
    }
    try {
        m_form.applySizingRule();
    } catch (const std::exception &) {
        // As for the settings: the size text stays for the user to mend.
    }
    m_form.replaceBestLayout(w.bestMap);
    m_groups = w.groups;
    m_groupNames = w.groupNames;
    if (!w.history.empty())
        m_history.restore(w.history, w.historyPosition);
    m_historyData = m_form.dataVersion();
    updateActions();
    if (w.hasView) {
        showExplorer();
        m_window->resize(std::max(400, w.explorerWidth), std::max(300, w.explorerHeight));
        m_window->labelSizeBox()->setValue(w.look.labelPoints);
        m_window->markerSizeBox()->setValue(w.look.markerPixels);
        m_window->backgroundBox()->setCurrentIndex(w.look.dark ? 1 : 0);
        m_window->labelKindBox()->setCurrentIndex(w.look.numbers ? 1 : 0);
        m_window->hullsBox()->setChecked(w.look.hulls);
        m_window->ellipsesBox()->setChecked(w.look.ellipses);
        m_window->stressSizeBox()->setChecked(w.look.sizeByStress);
        m_window->applyLook();
        m_window->setInput(input());
        ExplorerCanvas *canvas = m_window->canvas();
        canvas->view().setViewport(canvas->width(), canvas->height());
        canvas->view().setState(w.centreX, w.centreY, w.scale);
        canvas->viewMoved();
        canvas->update();
    } else if (m_window) {
        showBestMap();
    }
    return true;
}

void MapExplorer::saveWorkspace()
{
    if (!m_form.canSaveMap())
        return;
    const QFileInfo data(m_form.dataFile());
    const QString path = QFileDialog::getSaveFileName(
        m_window && m_window->isActiveWindow() ? static_cast<QWidget *>(m_window) : static_cast<QWidget *>(&m_form),
        tr("Save workspace"), data.dir().filePath(data.completeBaseName() + QStringLiteral(".tessarin.json")),
        tr("Tessarin workspace (*.json)"));
    if (!path.isEmpty())
        saveWorkspaceTo(path);
}

void MapExplorer::openWorkspace()
{
    if (m_form.isRunning() || m_form.isClosing())
        return;
    const QString path = QFileDialog::getOpenFileName(
        m_window && m_window->isActiveWindow() ? static_cast<QWidget *>(m_window) : static_cast<QWidget *>(&m_form),
        tr("Open workspace"), QString(), tr("Tessarin workspace (*.json);;All files (*)"));
    if (!path.isEmpty())
        openWorkspaceFrom(path);
}

} // namespace tessarin
