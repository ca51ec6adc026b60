#include "window/menu_bar.h"

#include "window/main_form.h"

#include <QAction>
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

    m_helpMenu = menu("HelpMenu", tr("&Help"));
    entry(m_helpMenu, "FileFormatAction", tr("The distance &file format"), QKeySequence::HelpContents,
          &MainForm::showFileFormat);
    entry(m_helpMenu, "FitHelpAction", tr("The fit and &stress"), QKeySequence(), &MainForm::showFitHelp);
    QAction *about = entry(m_helpMenu, "AboutAction", tr("&About Tessarin"), QKeySequence(), &MainForm::showAbout);
    about->setMenuRole(QAction::AboutRole);
}

void MenuBar::setCommandsEnabled(bool enabled)
{
    for (QAction *action : m_commandActions)
        action->setEnabled(enabled);
}

} // namespace tessarin
