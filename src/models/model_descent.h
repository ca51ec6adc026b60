#pragma once

#include "scaling/map_polish.h"

#include <functional>
#include <vector>

namespace tessarin {

class DuplicateItems;
class ModelLoss;

/// What one descent did.
struct DescentOutcome {
    /// Accepted L-BFGS steps.
    int iterations = 0;
    /// Loss-and-gradient passes, the start's included.
    int evaluations = 0;
    /// The loss at the final coordinates.
    double loss = 0.0;
    /// True when the hook asked to stop.
    bool stopped = false;
};

/// Called once per accepted iteration with the iteration number (from 1),
/// the coordinates and their loss; returns false to stop.
using DescentHook = std::function<bool(int iteration, const std::vector<double> &coords, double loss)>;

/// Minimises the loss of `modelLoss` from `coords` (coordinate-major) by
/// L-BFGS with the disparities fitted afresh at every evaluation (LBFGS++'s
/// two-loop update and its Nocedal-Wright strong-Wolfe line search): memory,
/// stopping gain over `past` iterations (relative to the loss) and the
/// iteration cap from `polish`. Stops also when the line search finds no
/// decrease. `coords` ends at the best point reached; it never gets a higher
/// loss than it started with. Items of one duplicate group start and stay on
/// one point.
DescentOutcome DescendModel(ModelLoss &modelLoss, const DuplicateItems &duplicates, std::vector<double> &coords,
                            const PolishSettings &polish, const DescentHook &hook);

} // namespace tessarin
