#pragma once

#include "data/layout.h"
#include "distances/distance_source.h"
#include "explorer_window/explorer_look.h"
#include "models/stress_model.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <string>
#include <vector>

namespace tessarin {

/// Everything a workspace file keeps: the table's file, its SHA-256 and how
/// it was read, the weights file and its SHA-256, the main window's settings
/// boxes, the explorer's look and view, the groups,
/// the best map and the map history, and the stress model. Maps are kept exactly: each coordinate
/// is written as the shortest number that reads back as the same
/// single-precision value.
struct Workspace {
    static constexpr int Version = 1;

    QString tableFile;
    /// Lower-case hex SHA-256 of the table file's bytes.
    QString tableHash;
    /// How the table was read: as distances (the default), a data table by
    /// a metric, or a similarity matrix; its name and group columns.
    DistanceSource source;
    /// The weights file that weighed the pairs, empty for none, and the
    /// lower-case hex SHA-256 of its bytes.
    QString weightsFile;
    QString weightsHash;
    /// The settings boxes by name (SizeText, GAgensText, BackText, ForeText,
    /// FontText) and whether ShowGrid is ticked.
    QMap<QString, QString> settings;
    bool showGrid = true;
    /// Map ▸ Model and Map ▸ Ties (Fit and primary when the file has none).
    ModelSetting model;
    ExplorerLook look;
    /// The explorer's view: the map point at the centre and the scale; valid
    /// only when `hasView`.
    bool hasView = false;
    double centreX = 500, centreY = 500, scale = 1;
    int explorerWidth = 0, explorerHeight = 0;
    std::vector<int> groups;
    std::vector<std::string> groupNames;
    Layout bestMap;
    std::vector<Layout> history;
    std::size_t historyPosition = 0;
};

/// The workspace as indented JSON.
QByteArray WriteWorkspace(const Workspace &workspace);
/// Reads a workspace file's text; throws TessarinError naming the field that
/// is missing or wrong.
Workspace ReadWorkspace(const QByteArray &json);
/// The SHA-256 of a file's bytes in lower-case hex; throws TessarinError,
/// calling the file by `role` ("table", "weights"), when it cannot be read.
QString FileHash(const QString &path, const QString &role = QStringLiteral("table"));

} // namespace tessarin
