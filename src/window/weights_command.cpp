// File ▸ Open weights…: a table of pair weights for the distance table open now.
#include "window/main_form.h"
#include "window/run_control.h"

#include "io/weights_file.h"

#include <QFile>
#include <QFileDialog>

namespace tessarin {

void MainForm::openWeights()
{
    if (m_running || m_closing)
        return;
    if (m_data.empty()) {
        showError(tr("There is no distance table to weigh yet: open a distance file first."));
        return;
    }
    QString path;
    if (m_dialog) {
        path = m_dialog();
    } else {
        QFileDialog dialog(this, tr("Open weights ..."));
        dialog.setObjectName(QStringLiteral("WeightsDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        const QStringList filters = {tr("Weights in any distance layout (*.txt *.csv *.tsv *.phy *.dist *.phylip)"),
                                     tr("All files (*.*)")};
        dialog.setNameFilters(filters);
        if (dialog.exec() == QDialog::Accepted)
            path = dialog.selectedFiles().value(0);
    }
    if (m_closing || path.isEmpty())
        return;
    openWeightsPath(path);
}

void MainForm::openWeightsPath(const QString &path) { m_runControl->openWeightsPath(path); }

void RunControl::openWeightsPath(const QString &path)
{
    if (m_form.m_running || m_form.m_closing || m_form.m_data.empty() || path.isEmpty())
        return;
    try {
        // Changes the data only when the whole file fits the table.
        ApplyWeightsFile(m_form.m_data, m_form.m_readWeights, QFile::encodeName(path).toStdString());
    } catch (const std::exception &error) {
        m_form.showError(MainForm::tr("The weights could not be used.\n\n%1").arg(QString::fromStdString(error.what())));
        return;
    }
    m_form.m_weightsFile = path;
    const DistanceData &data = m_form.m_data;
    if (data.MissingPairs > 0) {
        const long long n = data.ItemCount;
        m_form.showNotice(MainForm::tr("%1 weighs the pairs of %2; %3 of the %4 pairs weigh 0 and are left out.")
                              .arg(path, m_form.m_dataFile)
                              .arg(data.MissingPairs)
                              .arg(n * (n - 1) / 2));
    }
    m_form.m_mapDrawn = m_form.m_tableDrawn = false;
    drawAndSearch(MainForm::tr("The map of %1 could not be made.").arg(m_form.m_dataFile));
}

} // namespace tessarin
