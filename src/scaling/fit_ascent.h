#pragma once

#include "scaling/map_polish.h"

#include <functional>
#include <vector>

namespace tessarin {

class DuplicateItems;
class FitGradient;

/// What one ascent did.
struct AscentOutcome {
    /// Accepted L-BFGS steps.
    int iterations = 0;
    /// Fit-and-gradient passes, the start's included.
    int evaluations = 0;
    /// f at the final coordinates (the internal double-precision value).
    double fit = 0.0;
    /// True when the hook asked to stop.
    bool stopped = false;
};

/// Called once per accepted iteration with the iteration number (from 1),
/// the coordinates and their f; returns false to stop.
using AscentHook = std::function<bool(int iteration, const std::vector<double> &coords, double fit)>;

/// Settings of one ascent beyond PolishSettings.
struct AscentSettings {
    /// Added to every squared map distance (distance smoothing), 0 for the
    /// true fit.
    double smoothing = 0.0;
    /// Coordinate blocks (0 = x, 1 = y, 2 = z) that stay as they are.
    bool frozen[3] = {false, false, false};
};

/// Maximises f of `fitGradient` from `coords` (coordinate-major) by L-BFGS
/// (LBFGS++'s two-loop update and its Nocedal-Wright strong-Wolfe line
/// search): memory, stopping gain over `past` iterations and the iteration
/// cap from `polish`. Stops also when the line search finds no increase.
/// `coords` ends at the best point reached; it never gets a lower f than it
/// started with. Items of one duplicate group start and stay on one point.
AscentOutcome AscendFit(FitGradient &fitGradient, const DuplicateItems &duplicates, std::vector<double> &coords,
                        const PolishSettings &polish, const AscentSettings &settings, const AscentHook &hook);

} // namespace tessarin
