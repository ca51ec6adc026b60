#include "window/map_diagnostics.h"

#include "diagnostics/model_figures.h"
#include "display/stress_rings.h"
#include "window/main_form.h"
#include "window/shepard_window.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <iostream>

namespace tessarin {

MapDiagnostics::MapDiagnostics(MainForm &form) : QObject(&form), m_form(form)
{
    m_shepardAction = new QAction(tr("Shepard diagram…"), &form);
    m_shepardAction->setObjectName(QStringLiteral("ShepardDiagram"));
    m_shepardAction->setShortcut(QKeySequence(QString::fromLatin1(ShepardShortcut)));
    m_ringsAction = new QAction(tr("Stress rings"), &form);
    m_ringsAction->setObjectName(QStringLiteral("StressRings"));
    m_ringsAction->setCheckable(true);
    m_ringsAction->setChecked(false);
    m_ringsAction->setShortcut(QKeySequence(QString::fromLatin1(RingsShortcut)));
    form.addAction(m_shepardAction);
    form.addAction(m_ringsAction);
    connect(m_shepardAction, &QAction::triggered, this, &MapDiagnostics::showShepardWindow);
    connect(m_ringsAction, &QAction::toggled, this, &MapDiagnostics::setRingsShown);
    connect(&form, &MainForm::runEnded, this, &MapDiagnostics::onRunEnded);
    connect(&form, &MainForm::modelChanged, this, &MapDiagnostics::onRunEnded);
    form.setMapOverlay(
        [this](DrawingSurface &graph, const float *layout, int itemCount) { drawOverlay(graph, layout, itemCount); });
    updateActions();
}

ShepardWindow *MapDiagnostics::shepardWindow() const
{
    return m_window;
}

void MapDiagnostics::addActionsTo(QMenu *menu) const
{
    menu->addAction(m_shepardAction);
    menu->addAction(m_ringsAction);
}

bool MapDiagnostics::measure()
{
    if (m_current)
        return m_figures != nullptr;
    if (!m_form.canSaveMap())
        return false;
    try {
        auto figures = std::make_shared<StressFigures>(MeasureStress(m_form.distanceData(), m_form.bestLayout()));
        // Under a stress model the stress per point and the diagram follow it.
        if (m_form.model().model != StressModel::Fit)
            AddModelFigures(*figures, m_form.distanceData(), m_form.bestLayout(), m_form.model());
        m_figures = std::move(figures);
    } catch (const std::exception &error) {
        std::cerr << "tessarin: " << error.what() << '\n';
        m_figures.reset();
        return false;
    }
    m_current = true;
    return true;
}

void MapDiagnostics::showShepardWindow()
{
    if (m_form.isClosing())
        return;
    const bool first = !m_window;
    if (first) {
        m_window = new ShepardWindow(&m_form);
        // Beside the main window, its top level with the main window's.
        const QRect main = m_form.frameGeometry();
        m_window->move(main.right() + 12, main.top());
    }
    if (measure() && m_window->figures() != m_figures)
        m_window->showFigures(m_figures, m_form.distanceData().Names, m_form.dataFile());
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void MapDiagnostics::setRingsShown(bool shown)
{
    if (m_ringsAction->isChecked() != shown) {
        m_ringsAction->setChecked(shown); // comes back here through toggled
        return;
    }
    if (m_form.isRunning() || m_form.isClosing())
        return; // the run's end draws them
    if (shown)
        measure();
    m_form.redrawMap();
}

void MapDiagnostics::onRunEnded()
{
    m_current = false;
    updateActions();
    if (m_form.isClosing())
        return;
    const bool windowShown = m_window && m_window->isVisible();
    if (!windowShown && !m_ringsAction->isChecked())
        return;
    if (!measure())
        return;
    if (windowShown)
        m_window->showFigures(m_figures, m_form.distanceData().Names, m_form.dataFile());
    if (m_ringsAction->isChecked())
        m_form.redrawMap();
}

void MapDiagnostics::drawOverlay(DrawingSurface &graph, const float *layout, int itemCount)
{
    // While a run goes on the map is drawn as it always is; the rings come
    // with the run's end, measured on its best map.
    if (!m_ringsAction->isChecked() || m_form.isRunning() || !m_current || !m_figures ||
        m_figures->itemCount != itemCount)
        return;
    DrawStressRings(graph, layout, itemCount, m_figures->pointShares);
}

void MapDiagnostics::updateActions()
{
    m_shepardAction->setEnabled(!m_form.isClosing());
}

} // namespace tessarin
