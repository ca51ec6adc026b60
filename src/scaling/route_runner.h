#pragma once

#include "data/distance_data.h"
#include "data/layout.h"
#include "scaling/duplicate_items.h"
#include "scaling/map_descent.h"
#include "scaling/map_measure.h"
#include "scaling/route_outcome.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tessarin {

class RunObserver;

/// Runs the routes of a best map under one measure: runs each route's
/// polishes (counting their iterations, telling the observer the stage
/// "route <name>"), and keeps the best 2-D map the routes offer (a later
/// route wins only when better by more than a relative 1e-9). Keeps
/// references to `data` and `measure`; `observer` may be null.
class RouteRunner {
public:
    /// `polish` gives each polish its memory and stopping gain.
    RouteRunner(const DistanceData &data, const MapMeasure &measure, RunObserver *observer,
                const PolishSettings &polish);

    /// Runs one route unless an earlier one was stopped; `body` returns false
    /// when the observer asked to stop, which ends the routes.
    void route(const std::string &name, const std::string &description, const std::function<bool()> &body);

    /// Improves coordinate-major `coords` of `dimensions` in place by
    /// `objective`, for at most `maxIterations`. `scored` says that the maps
    /// on the way are 2-D maps the measure judges: the observer is then shown
    /// them, and a stopped polish offers its map. Returns false when the
    /// observer asked to stop (coords then hold the best point reached).
    bool polish(std::vector<double> &coords, int dimensions, const DescentObjective &objective, bool scored,
                int maxIterations);

    /// A scored 2-D polish whose map is then offered; false when stopped.
    bool polishAndOffer(std::vector<double> &coords, const DescentObjective &objective, int maxIterations);

    /// Keeps a 2-D coordinate-major map when it beats the best so far by
    /// more than a relative 1e-9; returns its score.
    double offer(const std::vector<double> &coords);

    /// The 3-D classical map polished by `deep`, turned to its principal
    /// axes (left in `turned`, coordinate-major), its first two coordinates
    /// polished by `flat` and offered. False when stopped.
    bool polishDeepStart(const DescentObjective &deep, int deepIterations, const DescentObjective &flat,
                         int flatIterations, std::vector<double> &turned);

    /// `count` random starts in a square of `side` from the fixed sequence
    /// of `seed`, each polished by `flat` and offered. False when stopped.
    bool polishRandomStarts(std::uint64_t seed, int count, double side, const DescentObjective &flat,
                            int maxIterations);

    /// True when a map has been offered; the best one in stored form, its
    /// score and the route that offered it.
    bool valid() const { return m_valid; }
    const Layout &bestLayout() const { return m_bestLayout; }
    double bestScore() const { return m_bestScore; }
    const std::string &winner() const { return m_winner; }
    /// The best map so far, coordinate-major.
    std::vector<double> bestCoords() const;

    /// Every route that ran, in the order run, and whether the last one was
    /// stopped.
    const std::vector<RouteOutcome> &routes() const { return m_routes; }
    bool stopped() const { return m_stopped; }

private:
    void showBest(const std::vector<double> *current);
    double fitOf(const Layout &layout, double score) const;

    const DistanceData &m_data;
    int m_n;
    const MapMeasure &m_measure;
    RunObserver *m_observer;
    PolishSettings m_polish;
    DuplicateItems m_duplicates;
    Layout m_bestLayout;
    double m_bestScore = 0.0;
    std::string m_winner;
    bool m_valid = false;
    std::vector<RouteOutcome> m_routes;
    bool m_stopped = false;
    RouteOutcome m_route;
    std::string m_stage;
    std::chrono::steady_clock::time_point m_started;
};

} // namespace tessarin
