// Helpers shared by the window tests: finding controls by name and recording
// the maps a window draws.
#pragma once

#include "window/main_form.h"

#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPushButton>

#include <functional>

namespace tessarin::testing {

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

inline QLineEdit *box(MainForm &form, const char *name)
{
    return form.findChild<QLineEdit *>(name);
}

inline QPushButton *button(MainForm &form, const char *name)
{
    return form.findChild<QPushButton *>(name);
}

} // namespace tessarin::testing
