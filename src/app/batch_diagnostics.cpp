#include "app/batch_diagnostics.h"

#include "app/batch_options.h"
#include "base/number_texts.h"
#include "base/tessarin_error.h"
#include "diagnostics/map_stress.h"
#include "diagnostics/model_figures.h"
#include "io/atomic_file.h"

#include <charconv>
#include <chrono>
#include <optional>
#include <cstdio>
#include <memory>

namespace tessarin {

namespace {

bool endsWith(const std::string &text, const std::string &ending)
{
    if (text.size() < ending.size())
        return false;
    for (std::size_t k = 0; k < ending.size(); ++k) {
        const char c = text[text.size() - ending.size() + k];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != ending[k])
            return false;
    }
    return true;
}

std::string baseName(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void CheckDiagnosticsOptions(const DiagnosticsOptions &options, const PictureWriters &pictures)
{
    if (!options.shepard.empty() && !pictures.shepard)
        throw UsageError("--shepard needs the window build (this tessarin was built without Qt)");
    if (!options.shepard.empty() && !pictures.takes(options.shepard))
        throw UsageError("--shepard " + options.shepard + ": the name must end in .png or .svg");
    if (!options.report.empty() && !endsWith(options.report, ".json"))
        throw UsageError("--report " + options.report + ": the name must end in .json");
}

std::string WriteDiagnostics(const DiagnosticsOptions &options, const PictureWriters &pictures, StressReport report,
                             const DistanceData &data, const Layout &best)
{
    const auto start = std::chrono::steady_clock::now();
    auto figures = std::make_shared<const StressFigures>(MeasureStress(data, best));
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    report.stages.push_back({"stress", std::to_string(figures->pairCount) + " pairs", took.count()});
    if (!options.shepard.empty()) {
        if (report.model && report.model->model != StressModel::Fit) {
            // The diagram of the model: its disparities and its stress.
            auto modelled = std::make_shared<StressFigures>(*figures);
            AddModelFigures(*modelled, data, best, *report.model);
            pictures.shepard(options.shepard, modelled, baseName(report.file));
        } else {
            pictures.shepard(options.shepard, figures, baseName(report.file));
        }
    }
    // A failed write leaves no half-written file.
    std::optional<ModelStressFigures> modelFigures;
    if (!options.report.empty() && report.model && report.model->model != StressModel::Fit)
        modelFigures = MeasureModelStress(data, best, *report.model);
    if (!options.report.empty() &&
        WriteFileAtomically(options.report,
                            StressReportJson(report, data, *figures, modelFigures ? &*modelFigures : nullptr)) != 0)
        throw TessarinError(options.report + ": the report could not be written");
    return "stress-1: " + SignificantText(figures->stress1, 10);
}

std::string DiagnosticsUsage()
{
    return "  --shepard S.png     also draw the Shepard diagram (given against map\n"
           "  --shepard S.svg     distance, with the line of the fit) as PNG or SVG\n"
           "  --report R.json     write the file, N, the stages and their times, the\n"
           "                      fit, stress-1 and the stress per point as JSON\n";
}

} // namespace tessarin
