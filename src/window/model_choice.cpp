// The model the map commands fit (Map ▸ Model, Map ▸ Ties) and the status
// line that shows the best map's stress under it.

#include "window/main_form.h"

#include "models/model_stress.h"
#include "window/menu_bar.h"
#include "window/sizing_rule.h"

#include <QLabel>

namespace tessarin {

void MainForm::setModel(StressModel model)
{
    if (m_running || model == m_model.model)
        return;
    const int before = statusLineHeight();
    m_model.model = model;
    m_menuBar->setModelChecked(m_model);
    m_modelStatus->setVisible(model != StressModel::Fit);
    updateModelStatus();
    // The status line takes its room under the form, which keeps its size.
    const int change = statusLineHeight() - before;
    if (change != 0) {
        m_sizingRule->growTarget(change);
        resize(width(), height() + change);
    }
    emit modelChanged();
}

void MainForm::setTies(TieApproach ties)
{
    if (m_running || ties == m_model.ties)
        return;
    m_model.ties = ties;
    m_menuBar->setModelChecked(m_model);
    updateModelStatus();
    emit modelChanged();
}

QString MainForm::modelStatusText() const
{
    return m_modelStatus->isHidden() ? QString() : m_modelStatus->text();
}

void MainForm::updateModelStatus()
{
    if (m_model.model == StressModel::Fit)
        return;
    const std::size_t size = 2 * static_cast<std::size_t>(m_data.ItemCount) + 1;
    QString text = QString::fromUtf8(ModelFigureName(m_model.model));
    if (m_data.ItemCount >= 2 && m_bestLayout.size() >= size) {
        try {
            text = QString::fromStdString(ModelStatusText(m_model.model, ModelStress(m_data, m_bestLayout, m_model)));
        } catch (const std::exception &) {
            // No map of this table yet: the name alone.
        }
    }
    if (m_model.model == StressModel::Ordinal)
        text += tr(", %1 ties").arg(QString::fromUtf8(TiesKey(m_model.ties)));
    m_modelStatus->setText(text);
}

} // namespace tessarin
