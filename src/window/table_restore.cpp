// A table read and drawn without a search, for a saved workspace whose map
// comes back as it was.

#include "window/run_control.h"

#include "io/weights_file.h"
#include "window/main_form.h"
#include "window/save_commands.h"

#include <QFile>

namespace tessarin {

bool RunControl::loadTable(const QString &path, const DistanceSource &source, const QString &weightsFile)
{
    if (m_form.m_running || m_form.m_closing || path.isEmpty())
        return false;
    std::optional<SourcedDistances> read;
    try {
        read = readDistances(path, source);
    } catch (const std::exception &error) {
        showReadError(source, error);
        return false;
    }
    if (!read)
        return false;
    std::vector<float> readWeights = read->data.PairWeights;
    if (!weightsFile.isEmpty()) {
        try {
            // Weighs the table just read, so a refusal leaves the form's data as it was.
            ApplyWeightsFile(read->data, readWeights, QFile::encodeName(weightsFile).toStdString());
        } catch (const std::exception &error) {
            m_form.showError(MainForm::tr("The weights could not be used.\n\n%1").arg(QString::fromStdString(error.what())));
            return false;
        }
    }
    m_form.m_data = std::move(read->data);
    m_form.m_groups = std::move(read->groups);
    m_form.m_readWeights = std::move(readWeights);
    m_form.m_source = source;
    m_form.m_weightsFile = weightsFile;
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
