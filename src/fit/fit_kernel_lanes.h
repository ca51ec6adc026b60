#pragma once

// The inner loop of the batched fit: the three sums of the fit measure for a
// group of trials ("lanes") at once. Each lane adds its pairs one after
// another in pair order (i = 1..N, j = i + 1..N), with the same operations and
// operand order as LayoutFitness, so a lane's sums are bit-identical to the
// sums of a single-layout fit. Only the lanes run side by side. With pair
// weights each lane follows WeightedLayoutFitness instead: a pair of weight
// 0 is skipped, the others add w m, w m m and w m g.

namespace tessarin::fitlanes {

/// Coordinates of a group of `lanes` trials, item-major: the x of item j
/// (1..N) in lane t is x[(j - 1) * lanes + t]; likewise y. `pairs` holds the
/// given distances in pair order; `weights`, the pairs' weights in the same
/// order, or null for none. The sums go to sd[t], sdd[t], sdg[t].
struct LaneInput {
    int itemCount;
    const float *x;
    const float *y;
    const float *pairs;
    const float *weights;
    double *sd;
    double *sdd;
    double *sdg;
};

/// `lanes` is 4 or 8. Every function gives the same bits; the vector ones
/// must only be called when the CPU supports them.
void SumLanesPortable(const LaneInput &in, int lanes);
void SumLanesAvx2(const LaneInput &in, int lanes);
void SumLanesAvx512(const LaneInput &in, int lanes);

} // namespace tessarin::fitlanes
