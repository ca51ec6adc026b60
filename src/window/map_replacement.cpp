// A map from elsewhere (the map history, a turn of the map) made the best
// map, as if a command had produced it.

#include "window/main_form.h"

#include "fit/layout_fitness.h"
#include "window/drawing_scope.h"
#include "window/picture_box.h"

#include <QCheckBox>
#include <QLineEdit>

namespace tessarin {

bool MainForm::replaceBestLayout(const Layout &layout)
{
    const auto n = static_cast<std::size_t>(m_data.ItemCount);
    if (m_running || m_closing || m_data.empty() || layout.size() != 2 * n + 1)
        return false;
    const double fit = LayoutFitness(m_data, layout);
    m_bestLayout = layout;
    const MapSettings settings{m_showGrid->isChecked() ? 1 : 0, textOf(m_foreText)};
    try {
        const DrawingScope scope(*m_distanceGraph);
        m_fitBox->setText(QString::fromStdString(
            DrawMap(*m_distanceGraph, m_bestLayout.data(), m_data.ItemCount, fit, settings, m_data.Names)));
        m_drawnMapSettings = settings;
        m_mapDrawn = true;
    } catch (const std::exception &error) {
        showError(tr("The map could not be drawn.\n\n%1").arg(QString::fromStdString(error.what())));
    }
    updateSaveActions();
    emit runEnded();
    return true;
}

} // namespace tessarin
