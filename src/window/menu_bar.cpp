#include "window/menu_bar.h"

#include "window/main_form.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>

namespace tessarin {

MenuBar::MenuBar(MainForm &form, const QList<QAction *> &saveActions) : QMenuBar(&form)
{
    setObjectName(QStringLiteral("MenuBar"));
    auto menu = [this](const char *name, const QString &title) {
        QMenu *menu = addMenu(title);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto entry = [&form](QMenu *menu, const char *name, const QString &text, const QKeySequence &shortcut,
                         void (MainForm::*command)()) {
        QAction *action = menu->addAction(text, &form, command);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(shortcut);
        return action;
    };

    m_fileMenu = menu("FileMenu", tr("&File"));
    m_commandActions << entry(m_fileMenu, "OpenAction", tr("&Open…"), QKeySequence::Open, &MainForm::openFile)
                     << entry(m_fileMenu, "OpenDataTableAction", tr("Open &data table…"),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), &MainForm::openDataTable)
                     << entry(m_fileMenu, "OpenWeightsAction", tr("Open &weights…"), QKeySequence(),
                              &MainForm::openWeights);
    m_fileMenu->addSeparator();
    m_fileMenu->addActions(saveActions);
    m_fileMenu->addSeparator();
    QAction *quit = entry(m_fileMenu, "QuitAction", tr("&Quit"), QKeySequence::Quit, &MainForm::quit);
    quit->setMenuRole(QAction::QuitRole);

    m_mapCommandsMenu = menu("MapCommandsMenu", tr("&Map"));
    m_commandActions << entry(m_mapCommandsMenu, "RerunAction", tr("&Rerun/More Fit"),
                              QKeySequence(Qt::CTRL | Qt::Key_R), &MainForm::rerun);
    entry(m_mapCommandsMenu, "StopAction", tr("&Stop"), QKeySequence(Qt::Key_Escape), &MainForm::stop);
    m_mapCommandsMenu->addSeparator();
    m_commandActions << entry(m_mapCommandsMenu, "ClassicalStartAction", tr("&Classical start"),
                              QKeySequence(Qt::CTRL | Qt::Key_L), &MainForm::classicalStart)
                     << entry(m_mapCommandsMenu, "PolishAction", tr("&Polish"), QKeySequence(Qt::CTRL | Qt::Key_P),
                              &MainForm::polish)
                     << entry(m_mapCommandsMenu, "BestMapAction", tr("&Best map"), QKeySequence(Qt::CTRL | Qt::Key_B),
                              &MainForm::bestMap);

    // What Polish and Best map fit: two radio groups.
    m_mapCommandsMenu->addSeparator();
    m_modelMenu = m_mapCommandsMenu->addMenu(tr("M&odel"));
    m_modelMenu->setObjectName(QStringLiteral("ModelMenu"));
    auto *models = new QActionGroup(m_modelMenu);
    const struct {
        const char *name;
        QString text;
        StressModel model;
    } modelEntries[] = {
        {"ModelFitAction", tr("&Fit"), StressModel::Fit},
        {"ModelRatioAction", tr("&Ratio stress"), StressModel::Ratio},
        {"ModelIntervalAction", tr("&Interval stress"), StressModel::Interval},
        {"ModelOrdinalAction", tr("&Ordinal stress"), StressModel::Ordinal},
        {"ModelSammonAction", tr("&Sammon"), StressModel::Sammon},
    };
    for (const auto &e : modelEntries) {
        QAction *action = m_modelMenu->addAction(e.text);
        action->setObjectName(QString::fromLatin1(e.name));
        action->setCheckable(true);
        action->setData(static_cast<int>(e.model));
        models->addAction(action);
        const StressModel model = e.model;
        connect(action, &QAction::triggered, &form, [&form, model] { form.setModel(model); });
        m_modelActions << action;
    }
    m_tiesMenu = m_mapCommandsMenu->addMenu(tr("&Ties"));
    m_tiesMenu->setObjectName(QStringLiteral("TiesMenu"));
    auto *ties = new QActionGroup(m_tiesMenu);
    const struct {
        const char *name;
        QString text;
        TieApproach ties;
    } tiesEntries[] = {
        {"TiesPrimaryAction", tr("&Primary"), TieApproach::Primary},
        {"TiesSecondaryAction", tr("&Secondary"), TieApproach::Secondary},
    };
    for (const auto &e : tiesEntries) {
        QAction *action = m_tiesMenu->addAction(e.text);
        action->setObjectName(QString::fromLatin1(e.name));
        action->setCheckable(true);
        action->setData(static_cast<int>(e.ties));
        ties->addAction(action);
        const TieApproach approach = e.ties;
        connect(action, &QAction::triggered, &form, [&form, approach] { form.setTies(approach); });
        m_tiesActions << action;
    }
    setModelChecked(ModelSetting{});
    m_commandActions << m_modelActions << m_tiesActions;

    m_helpMenu = menu("HelpMenu", tr("&Help"));
    entry(m_helpMenu, "FileFormatAction", tr("The distance &file format"), QKeySequence::HelpContents,
          &MainForm::showFileFormat);
    entry(m_helpMenu, "FitHelpAction", tr("The fit and &stress"), QKeySequence(), &MainForm::showFitHelp);
    QAction *about = entry(m_helpMenu, "AboutAction", tr("&About Tessarin"), QKeySequence(), &MainForm::showAbout);
    about->setMenuRole(QAction::AboutRole);
}

void MenuBar::setModelChecked(const ModelSetting &model)
{
    for (QAction *action : m_modelActions)
        action->setChecked(action->data().toInt() == static_cast<int>(model.model));
    for (QAction *action : m_tiesActions)
        action->setChecked(action->data().toInt() == static_cast<int>(model.ties));
    m_tiesMenu->setEnabled(model.model == StressModel::Ordinal);
}

void MenuBar::setCommandsEnabled(bool enabled)
{
    for (QAction *action : m_commandActions)
        action->setEnabled(enabled);
}

} // namespace tessarin
