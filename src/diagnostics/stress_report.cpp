#include "diagnostics/stress_report.h"

#include "io/json_writer.h"

namespace tessarin {

std::string StressReportJson(const StressReport &report, const DistanceData &data, const StressFigures &figures)
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
    json.beginArray();
    const bool named = data.Names.size() == figures.pointShares.size();
    for (std::size_t i = 0; i < figures.pointShares.size(); ++i) {
        json.beginObject();
        json.key("item");
        json.value(static_cast<long long>(i + 1));
        if (named) {
            json.key("name");
            json.value(data.Names[i]);
        }
        json.key("share");
        json.value(figures.pointShares[i]);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return json.text();
}

} // namespace tessarin
