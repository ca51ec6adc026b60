#include "app/batch_options.h"

#include "base/lenient_number.h"

#include "base/shown_text.h"

#include <charconv>
#include <functional>
#include <optional>
#include <set>

namespace tessarin {

namespace {

/// How an option's value is checked before it is stored.
enum class Value {
    None,   // a switch: takes no value
    File,   // a file name: must not start with '-'
    Whole,  // a whole number 0 or more
    Word,   // checked when it is stored
    Name,   // a word the option's own parser reads (a metric, a conversion, a column)
};

struct OptionRule {
    const char *name;
    Value value;
    std::function<void(BatchOptions &options, const std::string &value)> store;
};

/// Every batch option, in the order --help lists them.
const std::vector<OptionRule> &batchOptions()
{
    static const std::vector<OptionRule> options = {
        {"--batch", Value::File, [](BatchOptions &o, const std::string &v) { o.file = v; }},
        {"--generations", Value::Whole,
         [](BatchOptions &o, const std::string &v) {
             o.generations = LenientNumber(v);
             o.generationsGiven = true;
         }},
        {"--weights", Value::File, [](BatchOptions &o, const std::string &v) { o.weights = v; }},
        {"--start", Value::File, [](BatchOptions &o, const std::string &v) { o.start = v; }},
        {"--best", Value::None, [](BatchOptions &o, const std::string &) { o.best = true; }},
        {"--polish", Value::None, [](BatchOptions &o, const std::string &) { o.polish = true; }},
        {"--model", Value::Word,
         [](BatchOptions &o, const std::string &v) {
             const std::optional<StressModel> model = ModelFromKey(v);
             if (!model)
                 throw UsageError("--model " + ShownText(v) + ": the model is fit, ratio, interval, ordinal or sammon");
             o.model.model = *model;
             o.modelGiven = true;
         }},
        {"--ties", Value::Word,
         [](BatchOptions &o, const std::string &v) {
             const std::optional<TieApproach> ties = TiesFromKey(v);
             if (!ties)
                 throw UsageError("--ties " + ShownText(v) + ": the ties are primary or secondary");
             o.model.ties = *ties;
         }},
        {"--coords", Value::File, [](BatchOptions &o, const std::string &v) { o.coords = v; }},
        {"--image", Value::File, [](BatchOptions &o, const std::string &v) { o.image = v; }},
        {"--figure", Value::File, [](BatchOptions &o, const std::string &v) { o.figure = v; }},
        {"--shepard", Value::File, [](BatchOptions &o, const std::string &v) { o.diagnostics.shepard = v; }},
        {"--report", Value::File, [](BatchOptions &o, const std::string &v) { o.diagnostics.report = v; }},
        {"--metric", Value::Name, [](BatchOptions &o, const std::string &v) { o.source.metric = ParseMetric(v); }},
        {"--standardize", Value::Name,
         [](BatchOptions &o, const std::string &v) { o.source.standardization = ParseStandardization(v); }},
        {"--similarities", Value::Name,
         [](BatchOptions &o, const std::string &v) { o.source.similarities = ParseSimilarityConversion(v); }},
        {"--groups", Value::Name, [](BatchOptions &o, const std::string &v) { o.source.groups = v; }},
        {"--write-distances", Value::File, [](BatchOptions &o, const std::string &v) { o.writeDistances = v; }},
    };
    return options;
}

const OptionRule *findOption(const std::string &name)
{
    for (const OptionRule &rule : batchOptions())
        if (name == rule.name)
            return &rule;
    return nullptr;
}

bool isWholeNumber(const std::string &text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    // Beyond a 64-bit count no run could end.
    unsigned long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value <= 9'000'000'000'000'000'000ull;
}

void checkValue(const OptionRule &rule, const std::string &value)
{
    const std::string name = rule.name;
    switch (rule.value) {
    case Value::None:
        break;
    case Value::File:
        if (value.empty())
            throw UsageError(name + " needs a file name, not an empty text");
        if (findOption(value.substr(0, value.find('='))))
            throw UsageError(name + " needs a file name before " + value.substr(0, value.find('=')));
        if (value[0] == '-')
            throw UsageError(name + " needs a file name, not " + ShownText(value) + " (write ./" +
                             EscapedText(value) + " for a file of that name)");
        break;
    case Value::Whole:
        if (!isWholeNumber(value))
            throw UsageError(name + " " + ShownText(value) + ": the number of generations must be a whole number, 0 or more");
        break;
    case Value::Word:
        break;
    case Value::Name:
        if (value.empty())
            throw UsageError(name + " needs a value, not an empty text");
        break;
    }
}

BatchOptions parseBatch(const std::vector<std::string> &args)
{
    BatchOptions options;
    std::set<std::string> given;
    for (std::size_t k = 0; k < args.size(); ++k) {
        std::string name = args[k];
        std::string value;
        bool inlineValue = false;
        // --name=value is read as --name value.
        if (const std::size_t equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            inlineValue = true;
        }
        if (name.empty() || name[0] != '-')
            throw UsageError("unexpected argument " + ShownText(name) + ": the batch mode reads one file, given by --batch");
        const OptionRule *rule = findOption(name);
        if (!rule)
            throw UsageError("unknown option " + EscapedText(name));
        if (!given.insert(name).second)
            throw UsageError(name + " is given twice");
        if (rule->value == Value::None) {
            if (inlineValue)
                throw UsageError(name + " takes no value");
        } else if (!inlineValue) {
            if (k + 1 >= args.size())
                throw UsageError(name + " needs a value");
            value = args[++k];
        }
        checkValue(*rule, value);
        try {
            rule->store(options, value);
        } catch (const UsageError &) {
            throw;
        } catch (const TessarinError &error) {
            throw UsageError(name + ": " + error.what());
        }
    }
    if (options.file.empty())
        throw UsageError("--batch needs a distance file");
    // A model alone asks for its best map.
    if (options.modelGiven && !options.best && !options.polish && options.start.empty())
        options.best = true;
    if (options.source.metric && options.source.similarities)
        throw UsageError("--metric and --similarities exclude each other: FILE is a data table or a similarity matrix");
    if (given.count("--standardize") && !options.source.metric)
        throw UsageError("--standardize needs --metric: it rescales the variables of a data table");
    // With --best the generations follow only when asked for.
    if (options.best && !options.generationsGiven)
        options.generations = 0.0;
    return options;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string> &args)
{
    CommandLine line;
    for (const std::string &arg : args) {
        if (arg == "--help" || arg == "-h") {
            line.mode = CommandLine::Mode::Help;
            return line;
        }
        if (arg == "--version") {
            line.mode = CommandLine::Mode::Version;
            return line;
        }
    }
    bool batch = false;
    for (const std::string &arg : args)
        batch = batch || arg == "--batch" || arg.rfind("--batch=", 0) == 0;
    if (batch) {
        line.mode = CommandLine::Mode::Batch;
        line.batch = parseBatch(args);
        return line;
    }
    for (const std::string &arg : args) {
        if (arg.empty() || arg[0] != '-')
            continue;
        const std::string name = arg.substr(0, arg.find('='));
        if (findOption(name))
            throw UsageError(name + " works only in the batch mode, with --batch FILE");
        throw UsageError("unknown option " + EscapedText(arg));
    }
    if (args.size() > 1)
        throw UsageError("too many arguments: the window opens one file");
    if (!args.empty()) {
        if (args[0].empty())
            throw UsageError("the file name is empty");
        line.windowFile = args[0];
        line.windowFileNamed = true;
    }
    return line;
}

std::string UsageText()
{
    return "Usage: tessarin [FILE]\n"
           "       tessarin --batch FILE [--weights W] [--generations N]\n"
           "                     [--start MAP.csv|classical] [--best]\n"
           "                     [--polish] [--model M] [--ties T] [--coords OUT.csv]\n"
           "                     [--image MAP.png|MAP.svg] [--figure F.pdf|F.svg|F.png]\n"
           "                     [--shepard S.png|S.svg] [--report R.json]\n"
           "                     [--metric M [--standardize none|z|range] | --similarities HOW]\n"
           "                     [--groups COLUMN|FILE.csv] [--write-distances OUT.csv]\n"
           "\n"
           "Without --batch, opens the window on FILE (default distance.txt in the\n"
           "current folder) and fits a map to it.\n"
           "\n"
           "  --batch FILE        fit a map to FILE without a window; print the map as\n"
           "                      CSV (item,x,y) on standard output and a summary on\n"
           "                      standard error\n"
           "  --weights W         weigh the pairs by the table W (any layout FILE may\n"
           "                      have; the same items, in any order): weights 0 or\n"
           "                      more, 0 leaving the pair out\n"
           "  --generations N     generations to run, a whole number 0 or more\n"
           "                      (default 1000)\n"
           "  --start MAP.csv     start from a map saved by an earlier run\n"
           "  --start classical   start from the classical scaling map (a file called\n"
           "                      classical is read as ./classical)\n"
           "  --best              find the best map first (classical start and several\n"
           "                      polished routes); the generations then follow only\n"
           "                      when --generations is given, and a polish ends the run\n"
           "  --polish            polish the map after the generations (maximise the\n"
           "                      fit directly)\n"
           "  --model M           what --best and --polish fit: fit (the default),\n"
           "                      ratio, interval or ordinal (minimise Kruskal's\n"
           "                      stress-1) or sammon (Sammon's criterion); alone it\n"
           "                      means --best, and the summary and the report add\n"
           "                      the model's stress\n"
           "  --ties T            the ordinal model's ties: primary (the default; tied\n"
           "                      distances may get unequal disparities) or secondary\n"
           "  --coords OUT.csv    write the CSV to OUT.csv instead of standard output\n"
           "  --image MAP.png     also draw the map as the window does with its default\n"
           "  --image MAP.svg     settings, as PNG (333 pixels a side) or SVG\n"
           "  --figure F.pdf      also write the map as a figure for publication, as the\n"
           "  --figure F.svg      map explorer exports it: markers, every name as text,\n"
           "  --figure F.png      a caption with the fit and stress-1 (PNG at 300 dpi)\n"
         + DiagnosticsUsage() +
           "  --metric M          FILE is a data table (a header row, one row per item):\n"
           "                      measure distances between its rows by euclidean,\n"
           "                      manhattan, chebyshev, minkowski=P, canberra,\n"
           "                      correlation, cosine, braycurtis, jaccard, hellinger\n"
           "                      or gower\n"
           "  --standardize S     rescale each variable first: none (default), z or range\n"
           "  --similarities HOW  FILE is a square similarity matrix: convert it by\n"
           "                      max-minus, one-minus, sqrt-one-minus, reciprocal or\n"
           "                      confusion\n"
           "  --groups COLUMN     colour the items by a column of the data table, or by\n"
           "  --groups FILE.csv   a file of name,group pairs\n"
           "  --write-distances OUT.csv  write the distances mapped as a square CSV\n"
           "  --help              show this text\n"
           "  --version           show the version\n"
           "\n"
           "An option's value may also be joined to it by '=' (--generations=500).\n"
           "Ctrl-C during a batch run stops the search at its next 10th generation\n"
           "and still writes the best map found.\n"
           "\n"
           "Exit status:\n"
           "  0    done\n"
           "  1    a file could not be read or written, or the run failed\n"
           "  2    the command line is wrong (unknown option, missing or bad value)\n"
           "  130  the batch run was interrupted by Ctrl-C; the map found so far\n"
           "       was written\n";
}

} // namespace tessarin
