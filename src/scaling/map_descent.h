#pragma once

#include "scaling/map_measure.h"

#include <functional>
#include <vector>

namespace tessarin {

class DuplicateItems;

/// How a polish runs; every budget counts iterations.
struct PolishSettings {
    /// L-BFGS memory: the number of past steps kept.
    int memory = 10;
    /// Stop when the measure has gained less than relativeGain * its value
    /// over the last `past` iterations.
    double relativeGain = 1e-9;
    int past = 10;
    /// Stop after this many iterations in any case.
    int maxIterations = 2000;
};

/// A measure's value at a coordinate-major map (item j's coordinate d at
/// [d * N + j], 0-based) with its gradient written to `gradient` (same
/// shape).
using DescentObjective = std::function<double(const double *coords, double *gradient)>;

/// Called once per accepted iteration with the iteration number (from 1),
/// the coordinates and their value; returns false to stop.
using DescentHook = std::function<bool(int iteration, const std::vector<double> &coords, double value)>;

/// What one descent did.
struct DescentOutcome {
    /// Accepted L-BFGS steps.
    int iterations = 0;
    /// Value-and-gradient passes, the start's included.
    int evaluations = 0;
    /// The objective's value at the final coordinates.
    double value = 0.0;
    /// True when the hook asked to stop.
    bool stopped = false;
};

/// Improves `objective` from `coords` (coordinate-major, `dimensions`
/// blocks) in the direction of `measure.improvement` by L-BFGS (LBFGS++'s
/// two-loop update and its Nocedal-Wright strong-Wolfe line search, on the
/// objective or, when higher is better, on its negative): memory, stopping
/// gain over `past` iterations (relative to the value) and the iteration cap
/// from `polish`; line-search tries and first step from `measure`. Stops
/// also when the line search finds no better point. `coords` ends at the
/// best point reached; it never gets a worse value than it started with.
/// Items of one duplicate group start and stay on one point.
DescentOutcome DescendMap(const DescentObjective &objective, const MapMeasure &measure, int dimensions,
                          const DuplicateItems &duplicates, std::vector<double> &coords, const PolishSettings &polish,
                          const DescentHook &hook);

} // namespace tessarin
