#include "window/save_commands.h"

#include "fit/layout_fitness.h"
#include "display/map_view.h"
#include "io/layout_csv.h"
#include "export/map_export.h"
#include "export/painter_surface.h"
#include "export/table_export.h"
#include "window/picture_box.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

namespace tessarin {

SaveCommands::SaveCommands(MainForm &form) : QObject(&form), m_form(form)
{
    auto entry = [this](QMenu *menu, const char *name, const QString &text, void (SaveCommands::*slot)()) {
        QAction *action = menu->addAction(text, this, slot);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    m_mapMenu = new QMenu(&form);
    m_mapMenu->setObjectName(QStringLiteral("MapMenu"));
    m_saveMapPng = entry(m_mapMenu, "SaveMapPng", tr("Save map as PNG…"), &SaveCommands::saveMapPng);
    m_saveMapSvg = entry(m_mapMenu, "SaveMapSvg", tr("Save map as SVG…"), &SaveCommands::saveMapSvg);
    m_saveCoordinates =
        entry(m_mapMenu, "SaveCoordinates", tr("Save coordinates as CSV…"), &SaveCommands::saveCoordinatesCsv);
    m_copyCoordinates = entry(m_mapMenu, "CopyCoordinates", tr("Copy coordinates"), &SaveCommands::copyCoordinates);
    m_tableMenu = new QMenu(&form);
    m_tableMenu->setObjectName(QStringLiteral("TableMenu"));
    m_saveTablePng = entry(m_tableMenu, "SaveTablePng", tr("Save table as PNG…"), &SaveCommands::saveTablePng);
    m_saveTableSvg = entry(m_tableMenu, "SaveTableSvg", tr("Save table as SVG…"), &SaveCommands::saveTableSvg);

    for (auto [box, menu] :
         {std::pair{form.distanceGraph(), m_mapMenu}, std::pair{form.distanceBox(), m_tableMenu}}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this, [this, box, menu](const QPoint &at) {
            updateActions();
            menu->popup(box->mapToGlobal(at));
        });
        connect(menu, &QMenu::aboutToShow, this, &SaveCommands::updateActions);
    }
}

void SaveCommands::updateActions()
{
    const bool map = m_form.canSaveMap();
    for (QAction *action : {m_saveMapPng, m_saveMapSvg, m_saveCoordinates, m_copyCoordinates})
        action->setEnabled(map);
    const bool table = m_form.canSaveTable();
    for (QAction *action : {m_saveTablePng, m_saveTableSvg})
        action->setEnabled(table);
}

QString SaveCommands::suggestedName(const QString &ending) const
{
    if (m_form.dataFile().isEmpty())
        return QStringLiteral("map") + ending;
    const QFileInfo data(m_form.dataFile());
    return data.dir().filePath(data.completeBaseName() + ending);
}

MainForm::SaveChoice SaveCommands::chooseSaveFile(const MainForm::SaveRequest &request)
{
    if (m_saveDialog)
        return m_saveDialog(request);
    QFileDialog dialog(&m_form, request.title);
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setNameFilters(request.filters);
    dialog.selectNameFilter(request.filters.value(0));
    dialog.selectFile(request.suggestedName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {dialog.selectedFiles().value(0), std::max(0, int(request.filters.indexOf(dialog.selectedNameFilter())))};
}

void SaveCommands::savePicture(PictureBox *box, const std::function<void(PainterSurface &)> &replay, bool svg,
                           const QString &what, const QString &ending)
{
    const QStringList filters = svg ? QStringList{tr("SVG drawing (*.svg)")}
                                    : QStringList{tr("PNG image, twice the box size (*.png)"),
                                                  tr("PNG image, box size (*.png)")};
    const MainForm::SaveChoice choice =
        chooseSaveFile({svg ? tr("Save %1 as SVG").arg(what) : tr("Save %1 as PNG").arg(what), filters,
                        svg ? QStringLiteral("svg") : QStringLiteral("png"), suggestedName(ending)});
    if (choice.path.isEmpty())
        return;
    const PictureFrame frame{box->size(), QSizeF(box->outerWidth(), box->outerHeight())};
    try {
        if (svg) {
            SaveBytes(choice.path, RenderSvg(frame, replay, tr("Tessarin %1 of %2").arg(what, QFileInfo(m_form.dataFile()).fileName())));
        } else {
            const double scale = choice.filter == 1 ? 1.0 : 2.0;
            SaveBytes(choice.path, EncodePng(RenderImage(frame, scale, replay)));
        }
    } catch (const std::exception &error) {
        m_form.showError(tr("The %1 could not be saved as %2.\n\n%3")
                      .arg(what, choice.path, QString::fromLocal8Bit(error.what())));
    }
}

void SaveCommands::saveMap(bool svg)
{
    if (!m_form.canSaveMap()) {
        m_form.showError(tr("There is no map to save yet."));
        return;
    }
    // Drawn again as the window drew it: the map surface's colours and font,
    // the grid and label settings of the latest drawing, the best map.
    const DistanceData &data = m_form.distanceData();
    const Layout &best = m_form.bestLayout();
    const int n = data.ItemCount;
    const double fit = LayoutFitness(data, best);
    savePicture(
        m_form.distanceGraph(),
        [this, &data, &best, n, fit](PainterSurface &surface) {
            surface.copyStateFrom(m_form.distanceGraph()->surface());
            PrepareMap(surface);
            DrawMap(surface, best.data(), n, fit, m_form.m_drawnMapSettings, data.Names);
            if (m_form.m_mapOverlay)
                m_form.m_mapOverlay(surface, best.data(), n);
        },
        svg, tr("map"), svg ? QStringLiteral("-map.svg") : QStringLiteral("-map.png"));
}

void SaveCommands::saveMapPng()
{
    saveMap(false);
}

void SaveCommands::saveMapSvg()
{
    saveMap(true);
}

void SaveCommands::saveCoordinatesCsv()
{
    if (!m_form.canSaveMap()) {
        m_form.showError(tr("There is no map to save yet."));
        return;
    }
    const MainForm::SaveChoice choice = chooseSaveFile({tr("Save coordinates as CSV"),
                                              {tr("Coordinates, comma-separated (*.csv)")}, QStringLiteral("csv"),
                                              suggestedName(QStringLiteral("-map.csv"))});
    if (choice.path.isEmpty())
        return;
    try {
        SaveBytes(choice.path, QByteArray::fromStdString(LayoutCsvText(m_form.bestLayout(), m_form.distanceData().ItemCount, m_form.distanceData().Names)));
    } catch (const std::exception &error) {
        m_form.showError(tr("The coordinates could not be saved as %1.\n\n%2")
                      .arg(choice.path, QString::fromLocal8Bit(error.what())));
    }
}

void SaveCommands::copyCoordinates()
{
    if (!m_form.canSaveMap()) {
        m_form.showError(tr("There is no map to copy yet."));
        return;
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(LayoutCsvText(m_form.bestLayout(), m_form.distanceData().ItemCount, m_form.distanceData().Names)));
}

void SaveCommands::saveTable(bool svg)
{
    if (!m_form.canSaveTable()) {
        m_form.showError(tr("There is no table to save yet."));
        return;
    }
    PictureBox *box = m_form.distanceBox();
    savePicture(box, TableReplay(box->surface(), m_form.distanceData(), m_form.m_drawnSizeText), svg, tr("table"),
                svg ? QStringLiteral("-table.svg") : QStringLiteral("-table.png"));
}

void SaveCommands::saveTablePng()
{
    saveTable(false);
}

void SaveCommands::saveTableSvg()
{
    saveTable(true);
}

} // namespace tessarin
