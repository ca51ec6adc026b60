#include "window/run_window.h"

#include "window/main_form.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>

#include <cstdlib>
#include <iostream>

namespace tessarin {

int RunWindow(int argc, char **argv, const std::string &startFile, bool named)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarin"));
    MainForm form;
    form.startUp(QFile::decodeName(startFile.c_str()), named ? MainForm::StartFile::Named : MainForm::StartFile::Default);
    // Closed during the start-up search: the event loop never started, and
    // nothing is left to wait for.
    if (form.isClosing())
        return 0;

    if (const char *shot = std::getenv("TESSARIN_SCREENSHOT"); shot && *shot) {
        QCoreApplication::processEvents();
        if (!form.grab().save(QFile::decodeName(shot), "PNG")) {
            std::cerr << "tessarin: cannot write the screenshot " << shot << '\n';
            return 1;
        }
        return 0;
    }
    return QApplication::exec();
}

} // namespace tessarin
