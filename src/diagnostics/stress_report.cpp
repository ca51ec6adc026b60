#include "diagnostics/stress_report.h"

#include "io/json_writer.h"

namespace tessarin {

namespace {

void writeShares(JsonWriter &json, const DistanceData &data, const std::vector<double> &shares)
{
    json.beginArray();
    const bool named = data.Names.size() == shares.size();
    for (std::size_t i = 0; i < shares.size(); ++i) {
        json.beginObject();
        json.key("item");
        json.value(static_cast<long long>(i + 1));
        if (named) {
            json.key("name");
            json.value(data.Names[i]);
        }
        json.key("share");
        json.value(shares[i]);
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
    json.key("file");
    json.value(report.file);
    json.key("items");
    json.value(figures.itemCount);
    json.key("pairs");
    json.value(static_cast<long long>(figures.pairCount));
    if (data.MissingPairs > 0) {
        // The pairs every figure of the report is taken over.
        json.key("usedPairs");
        json.value(static_cast<long long>(figures.pairCount) - data.MissingPairs);
        json.key("missingPairs");
        json.value(data.MissingPairs);
    }
    json.key("stages");
    json.beginArray();
    for (const StageRecord &stage : report.stages) {
        json.beginObject();
        json.key("name");
        json.value(stage.name);
        json.key("detail");
        json.value(stage.detail);
        json.key("seconds");
        json.value(stage.seconds);
        json.endObject();
    }
    json.endArray();
    json.key("generations");
    json.value(report.generations);
    json.key("fit");
    json.value(figures.fit);
    json.key("stress1");
    json.value(figures.stress1);
    json.key("scale");
    json.value(figures.scale);
    json.key("shepardLine");
    json.beginObject();
    json.key("slope");
    json.value(figures.lineSlope);
    json.key("intercept");
    json.value(figures.lineIntercept);
    json.endObject();
    json.key("stressPerPoint");
    writeShares(json, data, figures.pointShares);
    if (report.model) {
        json.key("model");
        json.beginObject();
        json.key("name");
        json.value(ModelKey(report.model->model));
        if (report.model->model != StressModel::Fit) {
            json.key("ties");
            json.value(TiesKey(report.model->ties));
            if (modelFigures) {
                json.key("stress");
                json.value(modelFigures->stress);
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
