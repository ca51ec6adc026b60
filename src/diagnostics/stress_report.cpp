#include "diagnostics/stress_report.h"

#include "io/json_writer.h"

#include <string_view>

namespace tessarin {

namespace {

/// Writes `"name": value` into the open object.
template <class Value> void writeField(JsonWriter &json, std::string_view name, const Value &value)
{
    json.key(name);
    json.value(value);
}

void writeShares(JsonWriter &json, const DistanceData &data, const std::vector<double> &shares)
{
    json.beginArray();
    const bool named = data.Names.size() == shares.size();
    for (std::size_t i = 0; i < shares.size(); ++i) {
        json.beginObject();
        writeField(json, "item", static_cast<long long>(i + 1));
        if (named)
            writeField(json, "name", data.Names[i]);
        writeField(json, "share", shares[i]);
        json.endObject();
    }
    json.endArray();
}

} // namespace

std::string StressReportJson(const StressReport &report, const DistanceData &data, const StressFigures &figures,
                             const ModelStressFigures *modelFigures)
{
    JsonWriter json;
    json.beginObject();
    writeField(json, "file", report.file);
    writeField(json, "items", figures.itemCount);
    writeField(json, "pairs", static_cast<long long>(figures.pairCount));
    if (data.MissingPairs > 0) {
        // The pairs every figure of the report is taken over.
        writeField(json, "usedPairs", static_cast<long long>(figures.pairCount) - data.MissingPairs);
        writeField(json, "missingPairs", data.MissingPairs);
    }
    json.key("stages");
    json.beginArray();
    for (const StageRecord &stage : report.stages) {
        json.beginObject();
        writeField(json, "name", stage.name);
        writeField(json, "detail", stage.detail);
        writeField(json, "seconds", stage.seconds);
        json.endObject();
    }
    json.endArray();
    writeField(json, "generations", report.generations);
    writeField(json, "fit", figures.fit);
    writeField(json, "stress1", figures.stress1);
    writeField(json, "scale", figures.scale);
    json.key("shepardLine");
    json.beginObject();
    writeField(json, "slope", figures.lineSlope);
    writeField(json, "intercept", figures.lineIntercept);
    json.endObject();
    json.key("stressPerPoint");
    writeShares(json, data, figures.pointShares);
    if (report.model) {
        json.key("model");
        json.beginObject();
        writeField(json, "name", ModelKey(report.model->model));
        if (report.model->model != StressModel::Fit) {
            writeField(json, "ties", TiesKey(report.model->ties));
            if (modelFigures) {
                writeField(json, "stress", modelFigures->stress);
                json.key("stressPerPoint");
                writeShares(json, data, modelFigures->pointShares);
            }
        }
        json.endObject();
    }
    json.endObject();
    return json.text();
}

} // namespace tessarin
