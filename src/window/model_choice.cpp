// The model the map commands fit (Map ▸ Model, Map ▸ Ties) and the status
// line that shows the best map's stress under it.

#include "window/main_form.h"

#include "window/menu_bar.h"
#include "window/model_status_line.h"
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
    m_modelStatus->setText(MeasuredModelStatusLine(m_data, m_bestLayout, m_model));
}

} // namespace tessarin
