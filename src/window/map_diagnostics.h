#pragma once

#include "diagnostics/map_stress.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QAction;
class QMenu;

namespace tessarin {

class DrawingSurface;
class MainForm;
class ShepardWindow;

/// The window's commands about how good the map is: Shepard diagram… (opens
/// the Shepard window beside the main one) and Stress rings (a toggle, off at
/// start, that rings every item of the map by its stress per point). The
/// figures are measured on the best map when a run ends, and only when the
/// Shepard window is open or the rings are on: at most once per run.
class MapDiagnostics : public QObject {
    Q_OBJECT

public:
    /// Shortcuts of the two commands.
    static constexpr auto ShepardShortcut = "Ctrl+D";
    static constexpr auto RingsShortcut = "Ctrl+Shift+D";

    /// Creates both commands as actions of `form` (so their shortcuts work
    /// with or without a menu) and hooks the form's run ends and map drawing.
    explicit MapDiagnostics(MainForm &form);

    /// Adds both commands to `menu`, the Shepard diagram first.
    void addActionsTo(QMenu *menu) const;
    QAction *shepardAction() const { return m_shepardAction; }
    QAction *ringsAction() const { return m_ringsAction; }
    /// The Shepard window, or null until the command first opened it.
    ShepardWindow *shepardWindow() const;
    /// The figures of the best map as last measured, or null.
    const std::shared_ptr<const StressFigures> &figures() const { return m_figures; }

public slots:
    void showShepardWindow();
    void setRingsShown(bool shown);

private:
    void onRunEnded();
    // Measures the best map unless its figures are current; false when there
    // is no map to measure.
    bool measure();
    void drawOverlay(DrawingSurface &graph, const float *layout, int itemCount);
    void updateActions();

    MainForm &m_form;
    QAction *m_shepardAction = nullptr;
    QAction *m_ringsAction = nullptr;
    QPointer<ShepardWindow> m_window;
    std::shared_ptr<const StressFigures> m_figures;
    bool m_current = false; // m_figures are those of the best map
};

} // namespace tessarin
