// Prints, for each distance file named, the stress of the best map under
// each model, with the time it took, and the fit's best map for reference:
//   tessarin_model_figures FILE... [--clustered N]... [--model M] [--ties primary|secondary]
// (--clustered N: the benchmarks' clustered table of N items)

#include "io/distance_file.h"
#include "base/tessarin_error.h"
#include "models/model_best_map.h"
#include "models/model_stress.h"
#include "scaling/best_map.h"

#include "clustered_tables.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    using namespace tessarin;
    std::vector<std::string> files;
    std::vector<StressModel> models = {StressModel::Ratio, StressModel::Interval, StressModel::Ordinal,
                                       StressModel::Sammon};
    TieApproach ties = TieApproach::Primary;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--model" && k + 1 < argc) {
            const auto model = ModelFromKey(argv[++k]);
            if (!model) {
                std::fprintf(stderr, "unknown model %s\n", argv[k]);
                return 2;
            }
            models = {*model};
        } else if (arg == "--ties" && k + 1 < argc) {
            const auto t = TiesFromKey(argv[++k]);
            if (!t) {
                std::fprintf(stderr, "unknown ties %s\n", argv[k]);
                return 2;
            }
            ties = *t;
        } else if (arg == "--clustered" && k + 1 < argc) {
            files.push_back(std::string("clustered:") + argv[++k]);
        } else {
            files.push_back(arg);
        }
    }
    try {
        for (const std::string &file : files) {
            const DistanceData data = file.rfind("clustered:", 0) == 0
                                          ? bench::ClusteredTable(std::stoi(file.substr(10)))
                                          : ReadDistanceFile(file);
            auto started = std::chrono::steady_clock::now();
            const BestMapResult fitBest = FindBestMap(data);
            const double fitSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            std::printf("%s (N = %d): fit best map %.8f in %.3f s\n", file.c_str(), data.ItemCount, fitBest.fit,
                        fitSeconds);
            for (StressModel model : models) {
                const ModelSetting setting{model, ties};
                started = std::chrono::steady_clock::now();
                const ModelBestMapResult best = FindBestModelMap(data, setting, nullptr, nullptr, &fitBest.layout);
                const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
                const double direct = ModelStress(data, best.layout, setting);
                const double ofFitMap = ModelStress(data, fitBest.layout, setting);
                std::printf("  %-8s %.6f (direct %.9f; fit's map %.6f), route %s won, %.3f s\n", ModelKey(model),
                            best.stress, direct, ofFitMap, best.winner.c_str(), seconds);
                for (const RouteOutcome &route : best.routes)
                    std::printf("    %s: %.6f, %d iterations, %.3f s\n", route.name.c_str(), route.score,
                                route.iterations, route.seconds);
            }
        }
    } catch (const TessarinError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
