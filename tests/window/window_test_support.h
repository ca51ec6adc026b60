// Helpers shared by the window tests: finding controls by name and recording
// the maps a window draws.
#pragma once

#include "app/picture_writers.h"
#include "export/map_export.h"
#include "export/offscreen_application.h"
#include "export/shepard_export.h"
#include "explorer_window/figure_export.h"
#include "window/main_form.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace tessarin::testing {

/// A temporary folder, the working folder while it lives (the window reads
/// distance.txt from the working folder at start-up).
class WorkingFolder {
public:
    WorkingFolder() : m_previous(QDir::currentPath())
    {
        m_entered = m_dir.isValid() && QDir::setCurrent(m_dir.path());
    }
    ~WorkingFolder() { QDir::setCurrent(m_previous); }
    WorkingFolder(const WorkingFolder &) = delete;
    WorkingFolder &operator=(const WorkingFolder &) = delete;

    bool isValid() const { return m_entered; }
    QString folder() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    /// Writes a file in the folder: its full path, or empty when it failed.
    QString write(const QString &name, const QByteArray &content) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return {};
        return file.fileName();
    }

private:
    QString m_previous;
    QTemporaryDir m_dir;
    bool m_entered = false;
};

/// Small distance files the window tests read.
inline const char *const SixItems = "6 Six sites\n"
                                    "3 4 5 6 7\n"
                                    "2 3 4 5\n"
                                    "2 3 4\n"
                                    "1 2\n"
                                    "1\n";
inline const char *const FourItems = "4 Four sites\n"
                                     "10 20 30\n"
                                     "10 20\n"
                                     "10\n";

struct Drawing {
    QList<float> layout;
    double fit;
    bool operator==(const Drawing &) const = default;
};

/// Records every map the window draws, and lets a test act at a drawing.
struct Recorder {
    explicit Recorder(MainForm &form)
    {
        QObject::connect(&form, &MainForm::improvementDrawn, [this](const QList<float> &layout, double fit) {
            drawings.append({layout, fit});
            if (onDrawing)
                onDrawing();
        });
    }
    QList<Drawing> drawings;
    std::function<void()> onDrawing;
};

/// The batch mode's picture writers, as the program hands them in.
inline PictureWriters BatchPictures()
{
    return {[] { return std::make_shared<OffscreenApplication>(); },
            IsMapImageName,
            WriteMapImage,
            WriteShepardImage,
            IsFigureName,
            WriteFigureFile};
}

inline QLineEdit *box(MainForm &form, const char *name)
{
    return form.findChild<QLineEdit *>(name);
}

inline QPushButton *button(MainForm &form, const char *name)
{
    return form.findChild<QPushButton *>(name);
}

/// A window whose notices and error messages are kept in lists, whose Open
/// dialog answers `chosen`, and whose runs last 20 generations.
struct CapturingWindow {
    CapturingWindow()
    {
        form.setNoticeSink([this](const QString &text) { notices << text; });
        form.setMessageSink([this](const QString &text) { errors << text; });
        form.setDialog([this] { return chosen; });
        box(form, "GAgensText")->setText("20");
    }
    MainForm form;
    QStringList notices;
    QStringList errors;
    QString chosen;
};

} // namespace tessarin::testing
