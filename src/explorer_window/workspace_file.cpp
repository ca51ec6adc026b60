#include "explorer_window/workspace_file.h"

#include "base/tessarin_error.h"
#include "distances/distance_metric.h"
#include "distances/similarity_conversion.h"
#include "distances/standardization.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <optional>

namespace tessarin {

namespace {

constexpr auto Format = "tessarin-workspace";

QJsonArray MapArray(const Layout &map)
{
    QJsonArray array;
    // Position 0 is a spare: only 1..2N are kept. A float converts exactly to
    // a double, which JSON writes in its shortest exact form.
    for (std::size_t k = 1; k < map.size(); ++k)
        array.append(static_cast<double>(map[k]));
    return array;
}

[[noreturn]] void Fail(const QString &what)
{
    throw TessarinError(("workspace: " + what).toStdString());
}

Layout ReadMap(const QJsonValue &value, const QString &where)
{
    if (!value.isArray())
        Fail(where + " is not a list of coordinates");
    const QJsonArray array = value.toArray();
    if (array.size() % 2 != 0)
        Fail(where + QStringLiteral(" has %1 coordinates, not two for each item").arg(array.size()));
    Layout map(static_cast<std::size_t>(array.size()) + 1, 0.0f);
    for (qsizetype k = 0; k < array.size(); ++k) {
        if (!array[k].isDouble())
            Fail(where + QStringLiteral(": coordinate %1 is not a number").arg(k + 1));
        const double v = array[k].toDouble();
        const auto f = static_cast<float>(v);
        if (!std::isfinite(f) || static_cast<double>(f) != v)
            Fail(where + QStringLiteral(": coordinate %1 (%2) is not a single-precision value").arg(k + 1).arg(v));
        map[static_cast<std::size_t>(k) + 1] = f;
    }
    return map;
}

double Number(const QJsonObject &object, const char *key, double fallback)
{
    const QJsonValue value = object.value(QLatin1String(key));
    return value.isDouble() ? value.toDouble() : fallback;
}

const char *NamesKey(DataTableOptions::Names names)
{
    switch (names) {
    case DataTableOptions::Names::None:
        return "none";
    case DataTableOptions::Names::Column:
        return "column";
    case DataTableOptions::Names::Automatic:
        break;
    }
    return "automatic";
}

// How the table was read, as keys of "table": none for a distance file, so
// such a workspace reads as it always has.
void WriteSource(QJsonObject &table, const DistanceSource &source)
{
    if (source.metric) {
        table["metric"] = QString::fromStdString(MetricName(*source.metric));
        table["standardize"] = QString::fromStdString(StandardizationName(source.standardization));
    }
    if (source.similarities)
        table["similarities"] = QString::fromStdString(SimilarityConversionName(*source.similarities));
    if (source.readsDataTable()) {
        table["names"] = QLatin1String(NamesKey(source.table.names));
        if (source.table.names == DataTableOptions::Names::Column)
            table["nameColumn"] = QString::fromStdString(source.table.nameColumn);
    }
    if (!source.groups.empty())
        table["groups"] = QString::fromStdString(source.groups);
}

DistanceSource ReadSource(const QJsonObject &table)
{
    DistanceSource source;
    const auto text = [&](const char *key) { return table.value(QLatin1String(key)).toString().toStdString(); };
    try {
        if (table.contains("metric"))
            source.metric = ParseMetric(text("metric"));
        if (table.contains("standardize"))
            source.standardization = ParseStandardization(text("standardize"));
        if (table.contains("similarities"))
            source.similarities = ParseSimilarityConversion(text("similarities"));
    } catch (const std::exception &error) {
        Fail(QStringLiteral("\"table\": %1").arg(QString::fromStdString(error.what())));
    }
    if (source.metric && source.similarities)
        Fail(QStringLiteral("\"table\" has both a \"metric\" and \"similarities\""));
    const QString names = table.value("names").toString(QStringLiteral("automatic"));
    if (names == QLatin1String("none")) {
        source.table.names = DataTableOptions::Names::None;
    } else if (names == QLatin1String("column")) {
        source.table.names = DataTableOptions::Names::Column;
        source.table.nameColumn = text("nameColumn");
        if (source.table.nameColumn.empty())
            Fail(QStringLiteral("\"table\": \"names\" is a column but \"nameColumn\" names none"));
    } else if (names != QLatin1String("automatic")) {
        Fail(QStringLiteral("\"table\": \"names\" %1 is not automatic, none or column").arg(names));
    }
    source.groups = text("groups");
    return source;
}

bool Flag(const QJsonObject &object, const char *key, bool fallback)
{
    const QJsonValue value = object.value(QLatin1String(key));
    return value.isBool() ? value.toBool() : fallback;
}

} // namespace

QByteArray WriteWorkspace(const Workspace &w)
{
    QJsonObject root;
    root["format"] = QLatin1String(Format);
    root["version"] = Workspace::Version;
    QJsonObject table{{"file", w.tableFile}, {"sha256", w.tableHash}};
    WriteSource(table, w.source);
    root["table"] = table;
    if (!w.weightsFile.isEmpty())
        root["weights"] = QJsonObject{{"file", w.weightsFile}, {"sha256", w.weightsHash}};
    QJsonObject settings;
    for (auto it = w.settings.begin(); it != w.settings.end(); ++it)
        settings[it.key()] = it.value();
    settings["ShowGrid"] = w.showGrid;
    root["settings"] = settings;
    root["model"] = QJsonObject{{"name", QLatin1String(ModelKey(w.model.model))},
                                {"ties", QLatin1String(TiesKey(w.model.ties))}};
    QJsonObject explorer{{"labelPoints", w.look.labelPoints}, {"markerPixels", w.look.markerPixels},
                         {"dark", w.look.dark},               {"numbers", w.look.numbers},
                         {"hulls", w.look.hulls},             {"ellipses", w.look.ellipses},
                         {"sizeByStress", w.look.sizeByStress}};
    if (w.hasView) {
        explorer["view"] = QJsonObject{{"centreX", w.centreX}, {"centreY", w.centreY}, {"scale", w.scale},
                                       {"width", w.explorerWidth}, {"height", w.explorerHeight}};
    }
    root["explorer"] = explorer;
    if (!w.groupNames.empty()) {
        QJsonArray names, items;
        for (const std::string &name : w.groupNames)
            names.append(QString::fromStdString(name));
        for (int group : w.groups)
            items.append(group);
        root["groups"] = QJsonObject{{"names", names}, {"items", items}};
    }
    root["bestMap"] = MapArray(w.bestMap);
    QJsonArray maps;
    for (const Layout &map : w.history)
        maps.append(MapArray(map));
    root["history"] = QJsonObject{{"position", static_cast<qint64>(w.historyPosition)}, {"maps", maps}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

Workspace ReadWorkspace(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        Fail(QStringLiteral("not JSON at character %1: %2").arg(error.offset).arg(error.errorString()));
    const QJsonObject root = document.object();
    if (root.value("format").toString() != QLatin1String(Format))
        Fail(QStringLiteral("the file is not a Tessarin workspace (no \"format\": \"%1\")").arg(QLatin1String(Format)));
    if (root.value("version").toInt() != Workspace::Version)
        Fail(QStringLiteral("version %1 is not known (this program reads version %2)")
                 .arg(root.value("version").toInt())
                 .arg(Workspace::Version));
    Workspace w;
    const QJsonObject table = root.value("table").toObject();
    w.tableFile = table.value("file").toString();
    w.tableHash = table.value("sha256").toString();
    if (w.tableFile.isEmpty())
        Fail(QStringLiteral("\"table\" names no \"file\""));
    w.source = ReadSource(table);
    if (root.contains("weights")) {
        const QJsonObject weights = root.value("weights").toObject();
        w.weightsFile = weights.value("file").toString();
        w.weightsHash = weights.value("sha256").toString();
        if (w.weightsFile.isEmpty())
            Fail(QStringLiteral("\"weights\" names no \"file\""));
    }
    const QJsonObject settings = root.value("settings").toObject();
    for (auto it = settings.begin(); it != settings.end(); ++it)
        if (it.value().isString())
            w.settings[it.key()] = it.value().toString();
    w.showGrid = Flag(settings, "ShowGrid", true);
    const QJsonObject model = root.value("model").toObject();
    if (model.contains("name")) {
        const std::optional<StressModel> name = ModelFromKey(model.value("name").toString().toStdString());
        if (!name)
            Fail(QStringLiteral("\"model\": \"name\" %1 is not fit, ratio, interval, ordinal or sammon")
                     .arg(model.value("name").toVariant().toString()));
        w.model.model = *name;
    }
    if (model.contains("ties")) {
        const std::optional<TieApproach> ties = TiesFromKey(model.value("ties").toString().toStdString());
        if (!ties)
            Fail(QStringLiteral("\"model\": \"ties\" %1 is not primary or secondary")
                     .arg(model.value("ties").toVariant().toString()));
        w.model.ties = *ties;
    }
    const QJsonObject explorer = root.value("explorer").toObject();
    w.look.labelPoints = Number(explorer, "labelPoints", w.look.labelPoints);
    w.look.markerPixels = Number(explorer, "markerPixels", w.look.markerPixels);
    w.look.dark = Flag(explorer, "dark", false);
    w.look.numbers = Flag(explorer, "numbers", false);
    w.look.hulls = Flag(explorer, "hulls", false);
    w.look.ellipses = Flag(explorer, "ellipses", false);
    w.look.sizeByStress = Flag(explorer, "sizeByStress", false);
    if (explorer.value("view").isObject()) {
        const QJsonObject view = explorer.value("view").toObject();
        w.hasView = true;
        w.centreX = Number(view, "centreX", 500);
        w.centreY = Number(view, "centreY", 500);
        w.scale = Number(view, "scale", 1);
        w.explorerWidth = view.value("width").toInt();
        w.explorerHeight = view.value("height").toInt();
    }
    if (root.value("groups").isObject()) {
        const QJsonObject groups = root.value("groups").toObject();
        for (const QJsonValue &name : groups.value("names").toArray())
            w.groupNames.push_back(name.toString().toStdString());
        for (const QJsonValue &item : groups.value("items").toArray())
            w.groups.push_back(item.toInt(-1));
    }
    w.bestMap = ReadMap(root.value("bestMap"), QStringLiteral("\"bestMap\""));
    const QJsonObject history = root.value("history").toObject();
    const QJsonArray maps = history.value("maps").toArray();
    for (qsizetype k = 0; k < maps.size(); ++k) {
        w.history.push_back(ReadMap(maps[k], QStringLiteral("history map %1").arg(k + 1)));
        if (w.history.back().size() != w.bestMap.size())
            Fail(QStringLiteral("history map %1 is not a map of the same items as \"bestMap\"").arg(k + 1));
    }
    const double position = Number(history, "position", 0);
    if (position < 0 || position != std::floor(position) ||
        (maps.isEmpty() ? position != 0 : position >= static_cast<double>(maps.size())))
        Fail(QStringLiteral("the history's \"position\" %1 is not one of its %2 maps").arg(position).arg(maps.size()));
    w.historyPosition = static_cast<std::size_t>(position);
    return w;
}

QString FileHash(const QString &path, const QString &role)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TessarinError(("workspace: the " + role + " file " + path + " cannot be read: " + file.errorString())
                                .toStdString());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        throw TessarinError(("workspace: the " + role + " file " + path + " cannot be read").toStdString());
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace tessarin
