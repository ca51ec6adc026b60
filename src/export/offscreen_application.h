#pragma once

#include <QtGlobal>

#include <memory>

class QGuiApplication;

namespace tessarin {

/// The GUI application the batch mode draws its pictures with (fonts need
/// one). Made on the offscreen platform, so that it needs no display, and
/// only when no application exists yet; otherwise it does nothing. While an
/// application it made lives, Qt's notes about the runtime folder
/// (XDG_RUNTIME_DIR unset or unusable), which the offscreen platform never
/// uses, are dropped; every other message goes where it went before.
class OffscreenApplication {
public:
    OffscreenApplication();
    ~OffscreenApplication();
    OffscreenApplication(const OffscreenApplication &) = delete;
    OffscreenApplication &operator=(const OffscreenApplication &) = delete;

    /// Whether this object made the application.
    bool made() const { return m_application != nullptr; }

    /// Whether a message is one of the runtime-folder notes dropped above.
    static bool IsRuntimeFolderNote(QtMsgType type, const QString &message);

private:
    // The arguments outlive the application, which takes the platform ones
    // out of them.
    int m_argc = 3;
    char m_program[9] = "tessarin", m_option[10] = "-platform", m_platform[10] = "offscreen";
    char *m_argv[4] = {m_program, m_option, m_platform, nullptr};
    std::unique_ptr<QGuiApplication> m_application;
    QtMessageHandler m_previousHandler = nullptr;
};

} // namespace tessarin
