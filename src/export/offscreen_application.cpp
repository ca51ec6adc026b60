#include "export/offscreen_application.h"

#include <QGuiApplication>
#include <QString>

#include <cstdio>

namespace tessarin {

namespace {

QtMessageHandler previousHandler = nullptr;

void withoutRuntimeFolderNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (OffscreenApplication::IsRuntimeFolderNote(type, message))
        return;
    if (previousHandler) {
        previousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

bool OffscreenApplication::IsRuntimeFolderNote(QtMsgType type, const QString &message)
{
    return type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: ")) &&
           (message.contains(QLatin1String("XDG_RUNTIME_DIR")) || message.contains(QLatin1String("runtime directory")));
}

OffscreenApplication::OffscreenApplication()
{
    if (QCoreApplication::instance())
        return;
    m_previousHandler = qInstallMessageHandler(withoutRuntimeFolderNotes);
    previousHandler = m_previousHandler;
    m_application = std::make_unique<QGuiApplication>(m_argc, m_argv);
}

OffscreenApplication::~OffscreenApplication()
{
    if (!m_application)
        return;
    m_application.reset();
    qInstallMessageHandler(m_previousHandler);
    previousHandler = nullptr;
}

} // namespace tessarin
