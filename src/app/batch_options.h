#pragma once

#include "app/batch_diagnostics.h"
#include "base/tessarin_error.h"
#include "models/stress_model.h"
#include "distances/distance_source.h"

#include <string>
#include <vector>

namespace tessarin {

/// The program's exit statuses, the same in both modes.
constexpr int ExitSuccess = 0;
/// A file could not be read or written, or the run failed.
constexpr int ExitFailure = 1;
/// The command line cannot be followed (a usage error).
constexpr int ExitUsage = 2;
/// The batch run was stopped by Ctrl-C (128 + SIGINT); the map found so far
/// has been written.
constexpr int ExitInterrupted = 130;

/// A command line the program cannot follow: an unknown option, a missing,
/// repeated or malformed value, an argument in the wrong mode. Its message
/// names the argument and says what is wrong.
class UsageError : public TessarinError {
public:
    using TessarinError::TessarinError;
};

/// What a batch run is asked to do; the file names are the command line's own.
struct BatchOptions {
    /// The distance file (--batch FILE).
    std::string file;
    /// Generations to run, a whole number 0 or more (read from the text as
    /// the window reads its box).
    double generations = 1000.0;
    /// True when --generations was given.
    bool generationsGiven = false;
    /// A table of pair weights for the distance table (--weights W).
    std::string weights;
    /// A map saved by an earlier run to start from (--start MAP.csv), or
    /// "classical" for the classical scaling map.
    std::string start;
    /// Run the best-map routes first (--best).
    bool best = false;
    /// Polish the map after the generations (--polish).
    bool polish = false;
    /// What --best and --polish minimise (--model, default fit) and the
    /// ordinal model's ties (--ties, default primary).
    ModelSetting model;
    /// True when --model was given: the summary and the report then tell the
    /// model's stress.
    bool modelGiven = false;
    /// Where the map goes as CSV; empty for standard output (--coords).
    std::string coords;
    /// A picture of the map, .png or .svg (--image).
    std::string image;
    /// The map as a figure for publication, .pdf, .svg or .png (--figure).
    std::string figure;
    /// The Shepard diagram (--shepard) and the JSON report (--report).
    DiagnosticsOptions diagnostics;
    /// How FILE becomes the distances and the groups: --metric,
    /// --standardize, --similarities, --groups.
    DistanceSource source;
    /// Where the distances the tool maps go as a square CSV
    /// (--write-distances); empty for nowhere.
    std::string writeDistances;
};

/// What the whole command line asks for.
struct CommandLine {
    enum class Mode { Window, Batch, Help, Version };
    Mode mode = Mode::Window;
    /// The file the window starts on.
    std::string windowFile = "distance.txt";
    /// True when the user named the window's file (then a file that cannot
    /// be read is reported; the default distance.txt fails silently).
    bool windowFileNamed = false;
    /// Filled in batch mode.
    BatchOptions batch;
};

/// Reads the arguments after the program name. --help (-h) and --version
/// anywhere win over everything else; with --batch the batch options are
/// read; otherwise at most one argument, the window's file. Throws
/// UsageError for an unknown option (anything starting with '-'), a batch
/// option without --batch, a missing or repeated value, a file value that
/// starts with '-', a --generations that is not a whole number 0 or more, or
/// a second file.
CommandLine ParseCommandLine(const std::vector<std::string> &args);

/// The usage text of the command line, with the exit statuses.
std::string UsageText();

} // namespace tessarin
