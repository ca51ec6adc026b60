// A table read and drawn without a search, for a saved workspace whose map
// comes back as it was.

#include "window/main_form.h"

#include "window/window_closing.h"

namespace tessarin {

bool MainForm::loadTable(const QString &path)
{
    if (m_running || m_closing || path.isEmpty())
        return false;
    try {
        DistanceData data = readDistances(path);
        m_data = std::move(data);
    } catch (const WindowClosing &) {
        return false;
    } catch (const std::exception &error) {
        showError(tr("The distance file could not be read.\n\n%1").arg(QString::fromStdString(error.what())));
        return false;
    }
    ++m_dataVersion;
    m_dataFile = path;
    setWindowTitle(TitleText + path);
    m_mapDrawn = m_tableDrawn = false;
    m_bestLayout.assign(2 * static_cast<std::size_t>(m_data.ItemCount) + 1, 0.0f);
    try {
        drawTable();
    } catch (const WindowClosing &) {
        return false;
    } catch (const std::exception &error) {
        showError(tr("The table of %1 could not be drawn.\n\n%2").arg(path, QString::fromStdString(error.what())));
    }
    updateSaveActions();
    return true;
}

} // namespace tessarin
