#include "models/monotone_regression.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace tessarin {
namespace {

/// Weighted isotonic regression of a sequence by the min-max formula:
/// d_k = max over i <= k of min over j >= k of the weighted mean of i..j.
std::vector<double> MinMaxIsotonic(const std::vector<double> &y, const std::vector<double> &w)
{
    const std::size_t n = y.size();
    std::vector<double> fitted(n);
    for (std::size_t k = 0; k < n; ++k) {
        double best = -std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i <= k; ++i) {
            double lowest = std::numeric_limits<double>::infinity();
            for (std::size_t j = k; j < n; ++j) {
                double sy = 0.0, sw = 0.0;
                for (std::size_t t = i; t <= j; ++t) {
                    sy += w[t] * y[t];
                    sw += w[t];
                }
                lowest = std::min(lowest, sy / sw);
            }
            best = std::max(best, lowest);
        }
        fitted[k] = best;
    }
    return fitted;
}

double WeightedSquares(const std::vector<double> &a, const std::vector<double> &b, const std::vector<double> &w)
{
    double total = 0.0;
    for (std::size_t k = 0; k < a.size(); ++k)
        total += w[k] * (a[k] - b[k]) * (a[k] - b[k]);
    return total;
}

struct Reference {
    std::vector<double> fitted; // index order
    double residual = 0.0;      // sum w (d^ - y)^2
};

/// The primary approach by brute force: every order of every block of tied
/// keys is tried (the items of weight 0 left out), each sequence fitted by the
/// min-max formula; the lowest residual wins.
Reference BrutePrimary(const std::vector<float> &keys, const std::vector<double> &y, const std::vector<double> &w)
{
    std::vector<std::size_t> items;
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (w[k] > 0.0)
            items.push_back(k);
    std::stable_sort(items.begin(), items.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<std::pair<std::size_t, std::size_t>> blocks;
    for (std::size_t p = 0; p < items.size();) {
        std::size_t q = p + 1;
        while (q < items.size() && keys[items[q]] == keys[items[p]])
            ++q;
        blocks.push_back({p, q});
        p = q;
    }
    for (auto &block : blocks)
        std::sort(items.begin() + block.first, items.begin() + block.second);
    Reference best;
    best.residual = std::numeric_limits<double>::infinity();
    // Odometer over the permutations of each block.
    while (true) {
        std::vector<double> ys, ws;
        for (std::size_t item : items) {
            ys.push_back(y[item]);
            ws.push_back(w[item]);
        }
        const std::vector<double> fitted = MinMaxIsotonic(ys, ws);
        const double residual = WeightedSquares(fitted, ys, ws);
        if (residual < best.residual - 1e-12) {
            best.residual = residual;
            best.fitted.assign(keys.size(), 0.0);
            for (std::size_t p = 0; p < items.size(); ++p)
                best.fitted[items[p]] = fitted[p];
        }
        std::size_t b = 0;
        for (; b < blocks.size(); ++b)
            if (std::next_permutation(items.begin() + blocks[b].first, items.begin() + blocks[b].second))
                break;
        if (b == blocks.size())
            break;
    }
    return best;
}

/// The secondary approach: each block of tied keys pooled (weighted mean,
/// summed weight), the blocks fitted by the min-max formula.
Reference BruteSecondary(const std::vector<float> &keys, const std::vector<double> &y, const std::vector<double> &w)
{
    std::vector<float> distinct;
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (w[k] > 0.0)
            distinct.push_back(keys[k]);
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    std::vector<double> ys(distinct.size(), 0.0), ws(distinct.size(), 0.0);
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (w[k] > 0.0) {
            const std::size_t b = std::lower_bound(distinct.begin(), distinct.end(), keys[k]) - distinct.begin();
            ys[b] += w[k] * y[k];
            ws[b] += w[k];
        }
    for (std::size_t b = 0; b < ys.size(); ++b)
        ys[b] /= ws[b];
    const std::vector<double> fitted = MinMaxIsotonic(ys, ws);
    Reference reference;
    reference.fitted.assign(keys.size(), 0.0);
    for (std::size_t k = 0; k < keys.size(); ++k)
        if (w[k] > 0.0) {
            const std::size_t b = std::lower_bound(distinct.begin(), distinct.end(), keys[k]) - distinct.begin();
            reference.fitted[k] = fitted[b];
            reference.residual += w[k] * (fitted[b] - y[k]) * (fitted[b] - y[k]);
        }
    return reference;
}

struct RegressionCase {
    const char *name;
    std::vector<float> keys;
    std::vector<double> values;
    std::vector<double> weights; // empty: all 1
};

void ExpectMatchesReference(const RegressionCase &c, TieApproach ties)
{
    SCOPED_TRACE(std::string(c.name) + (ties == TieApproach::Primary ? ", primary" : ", secondary"));
    const std::vector<double> weights = c.weights.empty() ? std::vector<double>(c.keys.size(), 1.0) : c.weights;
    MonotoneRegression regression(c.keys.data(), c.keys.size(), c.weights.empty() ? nullptr : c.weights.data(), ties);
    std::vector<double> fitted(c.keys.size(), -1.0);
    const double squares = regression.fit(c.values.data(), fitted.data());
    const Reference reference =
        ties == TieApproach::Primary ? BrutePrimary(c.keys, c.values, weights) : BruteSecondary(c.keys, c.values, weights);
    double residual = 0.0, expectedSquares = 0.0;
    for (std::size_t k = 0; k < c.keys.size(); ++k) {
        residual += weights[k] * (fitted[k] - c.values[k]) * (fitted[k] - c.values[k]);
        expectedSquares += weights[k] * fitted[k] * fitted[k];
    }
    EXPECT_NEAR(residual, reference.residual, 1e-9 * (1.0 + reference.residual));
    EXPECT_NEAR(squares, expectedSquares, 1e-9 * (1.0 + expectedSquares));
    // The fit is unique: compare item by item too.
    for (std::size_t k = 0; k < c.keys.size(); ++k)
        EXPECT_NEAR(fitted[k], reference.fitted[k], 1e-9) << "item " << k;
    // Monotone in the key, and within ties equal for the secondary approach.
    for (std::size_t a = 0; a < c.keys.size(); ++a)
        for (std::size_t b = 0; b < c.keys.size(); ++b) {
            if (weights[a] == 0.0 || weights[b] == 0.0)
                continue;
            if (c.keys[a] < c.keys[b]) {
                EXPECT_LE(fitted[a], fitted[b] + 1e-12) << a << " before " << b;
            }
            if (ties == TieApproach::Secondary && c.keys[a] == c.keys[b]) {
                EXPECT_EQ(fitted[a], fitted[b]) << a << " tied with " << b;
            }
        }
}

TEST(MonotoneRegression, MatchesBruteForceOnChosenInputs)
{
    const RegressionCase cases[] = {
        {"already monotone", {1, 2, 3, 4}, {0.5, 1, 2, 7}, {}},
        {"reversed", {1, 2, 3, 4}, {4, 3, 2, 1}, {}},
        {"one violation in the middle", {1, 2, 3, 4, 5}, {1, 3, 2, 4, 5}, {}},
        {"keys not in index order", {5, 1, 4, 2, 3}, {9, 1, 2, 4, 3}, {}},
        {"ties resolved by the values", {1, 2, 2, 3}, {1, 5, 2, 3}, {}},
        {"a tie block against its neighbours", {1, 2, 2, 2, 3}, {4, 6, 1, 3, 2}, {}},
        {"all keys tied", {7, 7, 7, 7}, {3, 1, 4, 1}, {}},
        {"weighted", {1, 2, 3, 4}, {4, 1, 3, 2}, {1, 3, 0.5, 2}},
        {"weighted ties", {1, 1, 2, 2, 3}, {5, 1, 2, 6, 0}, {2, 1, 1, 4, 1}},
        {"zero weight left out", {1, 2, 3, 4}, {1, 100, 2, 3}, {1, 0, 1, 1}},
        {"negative and zero keys", {-1, 0, -0.0f, 2}, {3, 1, 2, 0}, {}},
        {"equal values", {1, 2, 3}, {2, 2, 2}, {}},
        {"one item", {3}, {8}, {}},
    };
    for (const RegressionCase &c : cases)
        for (TieApproach ties : {TieApproach::Primary, TieApproach::Secondary})
            ExpectMatchesReference(c, ties);
}

TEST(MonotoneRegression, MatchesBruteForceOnRandomSmallInputs)
{
    std::mt19937 engine(20261207);
    std::uniform_int_distribution<int> size(2, 7), key(0, 4), weightPick(0, 3);
    std::uniform_real_distribution<double> value(0.0, 10.0);
    for (int round = 0; round < 300; ++round) {
        RegressionCase c{"random", {}, {}, {}};
        const int n = size(engine);
        const bool weighted = round % 3 == 0;
        for (int k = 0; k < n; ++k) {
            c.keys.push_back(static_cast<float>(key(engine)));
            c.values.push_back(value(engine));
            if (weighted)
                c.weights.push_back(std::array<double, 4>{0.0, 0.5, 1.0, 2.5}[weightPick(engine)]);
        }
        if (weighted && std::all_of(c.weights.begin(), c.weights.end(), [](double w) { return w == 0.0; }))
            c.weights[0] = 1.0;
        SCOPED_TRACE("round " + std::to_string(round));
        for (TieApproach ties : {TieApproach::Primary, TieApproach::Secondary})
            ExpectMatchesReference(c, ties);
    }
}

TEST(MonotoneRegression, RepeatedFitsGiveTheSameBitsWhateverCameBefore)
{
    // The primary approach keeps the order its last fit left in each tie
    // block; a later fit must not depend on it.
    const std::vector<float> keys = {1, 1, 1, 2, 2, 3, 3, 3, 3};
    const std::vector<double> first = {3, 2, 1, 9, 8, 4, 4, 1, 2};
    const std::vector<double> second = {1, 5, 2, 3, 3, 7, 0, 2, 2};
    MonotoneRegression fresh(keys.data(), keys.size(), nullptr, TieApproach::Primary);
    MonotoneRegression used(keys.data(), keys.size(), nullptr, TieApproach::Primary);
    std::vector<double> a(keys.size()), b(keys.size());
    used.fit(first.data(), b.data());
    const double squaresFresh = fresh.fit(second.data(), a.data());
    const double squaresUsed = used.fit(second.data(), b.data());
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(double)), 0);
    EXPECT_EQ(squaresFresh, squaresUsed);
}

} // namespace
} // namespace tessarin
