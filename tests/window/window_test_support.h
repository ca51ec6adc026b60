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

inline QLineEdit *box(MainForm &form, const char *name)
{
    return form.findChild<QLineEdit *>(name);
}

inline QPushButton *button(MainForm &form, const char *name)
{
    return form.findChild<QPushButton *>(name);
}

} // namespace tessarin::testing
