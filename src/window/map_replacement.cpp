// A map from elsewhere (the map history, a turn of the map) made the best
// map, as if a command had produced it.

#include "window/run_control.h"

#include "fit/layout_fitness.h"
#include "window/drawing_scope.h"
#include "window/main_form.h"
#include "window/picture_box.h"
#include "window/save_commands.h"

#include <QCheckBox>
#include <QLineEdit>

namespace tessarin {

bool RunControl::replaceBestLayout(const Layout &layout)
{
    const DistanceData &data = m_form.m_data;
    const auto n = static_cast<std::size_t>(data.ItemCount);
    if (m_form.m_running || m_form.m_closing || data.empty() || layout.size() != 2 * n + 1)
        return false;
    const double fit = LayoutFitness(data, layout);
    m_form.m_bestLayout = layout;
    const MapSettings settings{m_form.m_showGrid->isChecked() ? 1 : 0, MainForm::textOf(m_form.m_foreText)};
    try {
        const DrawingScope scope(*m_form.m_distanceGraph);
        m_form.m_fitBox->setText(QString::fromStdString(DrawMap(*m_form.m_distanceGraph, m_form.m_bestLayout.data(),
                                                                data.ItemCount, fit, settings, data.Names, m_form.m_groups)));
        m_form.m_drawnMapSettings = settings;
        m_form.m_mapDrawn = true;
    } catch (const std::exception &error) {
        m_form.showError(MainForm::tr("The map could not be drawn.\n\n%1").arg(QString::fromStdString(error.what())));
    }
    m_form.updateModelStatus();
    m_form.m_saveCommands->updateActions();
    emit m_form.runEnded();
    return true;
}

} // namespace tessarin
