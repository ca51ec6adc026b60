// A table read and drawn without a search, for a saved workspace whose map
// comes back as it was.

#include "window/run_control.h"

#include "window/main_form.h"
#include "window/save_commands.h"

namespace tessarin {

bool RunControl::loadTable(const QString &path)
{
    if (m_form.m_running || m_form.m_closing || path.isEmpty())
        return false;
    std::optional<SourcedDistances> read;
    try {
        read = readDistances(path);
    } catch (const std::exception &error) {
        m_form.showError(MainForm::tr("The distance file could not be read.\n\n%1").arg(QString::fromStdString(error.what())));
        return false;
    }
    if (!read)
        return false;
    m_form.m_data = std::move(read->data);
    m_form.m_groups = std::move(read->groups);
    m_form.m_readWeights = m_form.m_data.PairWeights;
    ++m_form.m_dataVersion;
    m_form.m_dataFile = path;
    m_form.setWindowTitle(MainForm::TitleText + path);
    m_form.m_mapDrawn = m_form.m_tableDrawn = false;
    m_form.m_bestLayout.assign(2 * static_cast<std::size_t>(m_form.m_data.ItemCount) + 1, 0.0f);
    try {
        if (!drawTable())
            return false;
    } catch (const std::exception &error) {
        m_form.showError(MainForm::tr("The table of %1 could not be drawn.\n\n%2")
                             .arg(path, QString::fromStdString(error.what())));
    }
    m_form.updateModelStatus();
    m_form.m_saveCommands->updateActions();
    return true;
}

} // namespace tessarin
