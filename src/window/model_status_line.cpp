#include "window/model_status_line.h"

#include "models/model_stress.h"

#include <QCoreApplication>

namespace tessarin {

QString ModelStatusLine(const ModelSetting &setting, std::optional<double> stress)
{
    if (setting.model == StressModel::Fit)
        return {};
    QString text = stress ? QString::fromStdString(ModelStatusText(setting.model, *stress))
                          : QString::fromUtf8(ModelFigureName(setting.model));
    if (setting.model == StressModel::Ordinal)
        text += QCoreApplication::translate("MainForm", ", %1 ties").arg(QString::fromUtf8(TiesKey(setting.ties)));
    return text;
}

QString MeasuredModelStatusLine(const DistanceData &data, const Layout &layout, const ModelSetting &setting)
{
    if (setting.model == StressModel::Fit)
        return {};
    std::optional<double> stress;
    const std::size_t size = 2 * static_cast<std::size_t>(data.ItemCount) + 1;
    if (data.ItemCount >= 2 && layout.size() >= size) {
        try {
            stress = ModelStress(data, layout, setting);
        } catch (const std::exception &) {
            // No map of this table yet: the name alone.
        }
    }
    return ModelStatusLine(setting, stress);
}

} // namespace tessarin
