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
#include "window/model_status_line.h"

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
#include <QElapsedTimer>
#include <QTimer>

#include <iostream>

namespace tessarin {

MapExplorer::MapExplorer(MainForm &form) : QObject(&form), m_form(form)
{
    m_explorerAction = new QAction(tr("Map e&xplorer…"), &form);
    m_explorerAction->setObjectName(QStringLiteral("MapExplorerAction"));
    m_explorerAction->setShortcut(QKeySequence(QString::fromLatin1(ExplorerShortcut)));
    m_undoAction = new QAction(tr("&Undo map"), &form);
    m_undoAction->setObjectName(QStringLiteral("UndoMapAction"));
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = new QAction(tr("&Redo map"), &form);
    m_redoAction->setObjectName(QStringLiteral("RedoMapAction"));
    m_redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    for (QAction *action : {m_explorerAction, m_undoAction, m_redoAction})
        form.addAction(action);
    connect(m_explorerAction, &QAction::triggered, this, &MapExplorer::showExplorer);
    connect(m_undoAction, &QAction::triggered, this, &MapExplorer::undoMap);
    connect(m_redoAction, &QAction::triggered, this, &MapExplorer::redoMap);
    connect(&form, &MainForm::improvementDrawn, this, &MapExplorer::onImprovement);
    connect(&form, &MainForm::runEnded, this, &MapExplorer::onRunEnded);
    // The shares and the status line follow the model the map is measured by.
    connect(&form, &MainForm::modelChanged, this, [this] {
        if (m_window && m_window->isVisible()) {
            measureShares();
            m_window->setInput(input());
            showStatus();
        }
    });
    m_livePause = new QTimer(this);
    m_livePause->setSingleShot(true);
    connect(m_livePause, &QTimer::timeout, this, &MapExplorer::measureLiveStress);
    connect(&form, &MainForm::searchStarted, this, &MapExplorer::updateActions);

    m_saveWorkspaceAction = new QAction(tr("Save &workspace…"), &form);
    m_saveWorkspaceAction->setObjectName(QStringLiteral("SaveWorkspaceAction"));
    m_openWorkspaceAction = new QAction(tr("Open wor&kspace…"), &form);
    m_openWorkspaceAction->setObjectName(QStringLiteral("OpenWorkspaceAction"));
    connect(m_saveWorkspaceAction, &QAction::triggered, this, &MapExplorer::saveWorkspace);
    connect(m_openWorkspaceAction, &QAction::triggered, this, &MapExplorer::openWorkspace);
    if (MenuBar *bar = form.menuBar()) {
        QMenu *file = bar->fileMenu();
        QAction *quit = file->findChild<QAction *>(QStringLiteral("QuitAction"));
        const QList<QAction *> entries = file->actions();
        QAction *before = quit && entries.indexOf(quit) > 0 ? entries[entries.indexOf(quit) - 1] : quit;
        file->insertAction(before, m_saveWorkspaceAction);
        file->insertAction(before, m_openWorkspaceAction);
        file->insertSeparator(before);
        bar->mapCommandsMenu()->addSeparator();
        bar->mapCommandsMenu()->addAction(m_explorerAction);
        m_editMenu = new QMenu(tr("&Edit"), bar);
        m_editMenu->setObjectName(QStringLiteral("EditMenu"));
        m_editMenu->addAction(m_undoAction);
        m_editMenu->addAction(m_redoAction);
        bar->insertMenu(bar->mapCommandsMenu()->menuAction(), m_editMenu);
    }
    updateActions();
}

ExplorerWindow *MapExplorer::window() const
{
    return m_window;
}

ExplorerInput MapExplorer::input() const
{
    ExplorerInput input;
    const DistanceData &data = m_form.distanceData();
    input.names = data.Names;
    if (static_cast<int>(m_shares.size()) == data.ItemCount) {
        input.stressShares = m_shares;
        input.mapScale = m_mapScale;
    }
    if (static_cast<int>(m_groups.size()) == data.ItemCount) {
        input.groups = m_groups;
        input.groupNames = m_groupNames;
    }
    return input;
}

void MapExplorer::setGroups(std::vector<int> groups, std::vector<std::string> names)
{
    m_groups = std::move(groups);
    m_groupNames = std::move(names);
    if (m_window)
        m_window->setInput(input());
}

void MapExplorer::showExplorer()
{
    if (m_form.isClosing())
        return;
    if (!m_window) {
        m_window = new ExplorerWindow(&m_form);
        m_window->addEditActions(m_undoAction, m_redoAction);
        m_window->setNeighbourSource([this](int item) {
            return NearestInTable(m_form.distanceData(), m_window->canvas()->scene().layout(), item,
                                  ExplorerWindow::NeighboursShown);
        });
        connect(m_window, &ExplorerWindow::turnRequested, this, &MapExplorer::turnMap);
        connect(m_window, &ExplorerWindow::exportRequested, this, &MapExplorer::exportFigure);
        connect(m_window, &ExplorerWindow::saveWorkspaceRequested, this, &MapExplorer::saveWorkspace);
        connect(m_window, &ExplorerWindow::openWorkspaceRequested, this, &MapExplorer::openWorkspace);
        const QRect main = m_form.frameGeometry();
        m_window->move(main.left() + 40, main.top() + 40);
    }
    measureShares();
    showBestMap();
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void MapExplorer::showBestMap()
{
    if (!m_window)
        return;
    const DistanceData &data = m_form.distanceData();
    if (!m_form.canSaveMap()) {
        if (data.empty())
            m_window->setStatus(tr("No map yet."));
        return;
    }
    m_window->setMap(m_form.bestLayout(), data.ItemCount);
    m_window->setInput(input());
    showStatus();
}

QString MapExplorer::statusText(int itemCount, double fit, bool running, const QString &modelLine) const
{
    QString text = tr("%1 — %2 items — fit %3 %")
                       .arg(QFileInfo(m_form.dataFile()).fileName())
                       .arg(itemCount)
                       .arg(QString::fromStdString(strN(6, fit * 100)).trimmed());
    if (running)
        text += tr(" (running)");
    if (!modelLine.isEmpty())
        text += QStringLiteral(" — ") + modelLine;
    return text;
}

void MapExplorer::showStatus()
{
    if (!m_window || !m_form.canSaveMap())
        return;
    const DistanceData &data = m_form.distanceData();
    double fit = 0;
    try {
        fit = LayoutFitness(data, m_form.bestLayout());
    } catch (const std::exception &) {
    }
    // The form has measured the best map under its model already.
    m_window->setStatus(statusText(data.ItemCount, fit, false, m_form.modelStatusText()));
}

void MapExplorer::measureShares()
{
    const DistanceData &data = m_form.distanceData();
    m_shares.clear();
    m_mapScale = 0;
    if (!m_form.canSaveMap() || data.ItemCount > StressShareLimit)
        return;
    try {
        StressFigures figures = MeasureStress(data, m_form.bestLayout());
        // Under a stress model an item's share is of the model's residuals.
        if (m_form.model().model != StressModel::Fit)
            AddModelFigures(figures, data, m_form.bestLayout(), m_form.model());
        m_shares = figures.pointShares;
        m_mapScale = figures.scale;
    } catch (const std::exception &error) {
        std::cerr << "tessarin: " << error.what() << '\n';
        m_shares.clear();
    }
}

void MapExplorer::onImprovement(const QList<float> &layout, double fit)
{
    updateActions();
    if (!m_window || !m_window->isVisible())
        return;
    Layout map(layout.begin(), layout.end());
    const int n = static_cast<int>((map.size() - 1) / 2);
    m_window->setMap(map, n);
    const ModelSetting &model = m_form.model();
    if (model.model == StressModel::Fit) {
        m_window->setStatus(statusText(n, fit, true, QString()));
        return;
    }
    if (n > m_liveStressLimit) {
        m_window->setStatus(statusText(n, fit, true, tr("%1: measured when the run ends").arg(ModelStatusLine(model, {}))));
        return;
    }
    m_liveMap = std::move(map);
    m_liveFit = fit;
    m_liveWaiting = true;
    if (!m_livePause->isActive())
        measureLiveStress();
}

void MapExplorer::measureLiveStress()
{
    if (!m_liveWaiting || !m_window || !m_form.isRunning() || m_form.isClosing())
        return;
    m_liveWaiting = false;
    QElapsedTimer clock;
    clock.start();
    const QString line = MeasuredModelStatusLine(m_form.distanceData(), m_liveMap, m_form.model());
    const int n = static_cast<int>((m_liveMap.size() - 1) / 2);
    m_window->setStatus(statusText(n, m_liveFit, true, line));
    // Only when the status line is measured depends on the clock; the run
    // never does.
    m_livePause->start(static_cast<int>(std::max<qint64>(LiveStressPause, 4 * clock.elapsed())));
}

void MapExplorer::onRunEnded()
{
    m_livePause->stop();
    m_liveWaiting = false;
    if (m_form.isClosing())
        return;
    if (m_form.dataVersion() != m_historyData) {
        m_history.clear();
        m_historyData = m_form.dataVersion();
        // The groups the new table came with (a data table's group column
        // or a groups file), none otherwise.
        m_groups = m_form.groups().groupOf;
        m_groupNames = m_form.groups().names;
    }
    if (m_form.canSaveMap())
        m_history.record(m_form.bestLayout());
    if (m_window && m_window->isVisible()) {
        measureShares();
        showBestMap();
    }
    updateActions();
}

void MapExplorer::updateActions()
{
    const bool free = !m_form.isRunning() && !m_form.isClosing();
    m_saveWorkspaceAction->setEnabled(free && m_form.canSaveMap());
    m_openWorkspaceAction->setEnabled(free);
    if (m_window) {
        m_window->saveWorkspaceAction()->setEnabled(free && m_form.canSaveMap());
        m_window->openWorkspaceAction()->setEnabled(free);
    }
    m_undoAction->setEnabled(free && m_history.canUndo());
    m_redoAction->setEnabled(free && m_history.canRedo());
}

bool MapExplorer::restore(const Layout &map)
{
    return m_form.replaceBestLayout(map);
}

void MapExplorer::undoMap()
{
    if (m_form.isRunning() || !m_history.canUndo())
        return;
    if (!restore(m_history.undo()))
        m_history.redo();
    updateActions();
}

void MapExplorer::redoMap()
{
    if (m_form.isRunning() || !m_history.canRedo())
        return;
    if (!restore(m_history.redo()))
        m_history.undo();
    updateActions();
}

void MapExplorer::turnMap(MapTurn turn)
{
    if (m_form.isRunning() || !m_form.canSaveMap())
        return;
    Layout map = m_form.bestLayout();
    TurnMap(map, m_form.distanceData().ItemCount, turn);
    restore(map);
}

void MapExplorer::exportFigure()
{
    if (!m_window || !m_form.canSaveMap())
        return;
    const QFileInfo data(m_form.dataFile());
    const QString suggested = data.dir().filePath(data.completeBaseName() + QStringLiteral("-figure.pdf"));
    const MainForm::SaveRequest request{tr("Export figure"),
                                        {tr("PDF document (*.pdf)"), tr("SVG drawing (*.svg)"),
                                         tr("PNG image (*.png)")},
                                        QStringLiteral("pdf"),
                                        suggested};
    QFileDialog dialog(m_window, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setNameFilters(request.filters);
    dialog.selectFile(request.suggestedName);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString path = dialog.selectedFiles().value(0);
    FigureRequest figure;
    if (!FigureFormatOf(path, figure.format)) {
        QMessageBox::critical(m_window, tr("Tessarin"), tr("A figure is saved as .pdf, .svg or .png, not as %1.").arg(path));
        return;
    }
    bool ok = true;
    if (figure.format == FigureFormat::Png) {
        figure.dotsPerInch = QInputDialog::getInt(m_window, tr("Export figure"), tr("Resolution (dots an inch):"), 300,
                                                  72, 1200, 1, &ok);
        if (!ok)
            return;
    }
    const DistanceData &table = m_form.distanceData();
    double fit = 0;
    StressFigures stress;
    try {
        stress = MeasureStress(table, m_form.bestLayout());
        fit = stress.fit;
    } catch (const std::exception &) {
    }
    const QString caption = tr("%1: %2 items, fit %3 %, stress-1 %4")
                                .arg(data.fileName())
                                .arg(table.ItemCount)
                                .arg(QString::fromStdString(strN(6, fit * 100)).trimmed())
                                .arg(stress.stress1, 0, 'f', 4) +
                            (m_form.modelStatusText().isEmpty() ? QString()
                                                                : QStringLiteral(", ") + m_form.modelStatusText());
    const QString withCaption = QInputDialog::getText(m_window, tr("Export figure"),
                                                      tr("Caption (leave empty for none):"), QLineEdit::Normal,
                                                      caption, &ok);
    if (!ok)
        return;
    figure.caption = withCaption;
    figure.title = data.fileName();
    try {
        ExplorerCanvas *canvas = m_window->canvas();
        SaveBytes(path, RenderFigure(canvas->scene(), canvas->view(), canvas->look(), figure));
    } catch (const std::exception &error) {
        QMessageBox::critical(m_window, tr("Tessarin"),
                              tr("The figure could not be saved as %1.\n\n%2").arg(path, QString::fromLocal8Bit(error.what())));
    }
}

void MapExplorer::showError(const QString &text)
{
    if (m_messageSink)
        m_messageSink(text);
    else
        QMessageBox::critical(m_window && m_window->isActiveWindow() ? static_cast<QWidget *>(m_window)
                                                                      : static_cast<QWidget *>(&m_form),
                              tr("Tessarin"), text);
}

} // namespace tessarin
