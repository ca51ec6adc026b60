#pragma once

// Included before any Eigen, Spectra or LBFGS++ header. The libraries' own
// vector operations (dot products, norms, the small dense factorisations)
// run as plain scalar loops on every build, so that no build's choice of
// vector instructions can change their rounding; all the time is spent in
// our own pair loops anyway.
#ifndef EIGEN_DONT_VECTORIZE
#define EIGEN_DONT_VECTORIZE
#endif
#ifndef EIGEN_DONT_PARALLELIZE
#define EIGEN_DONT_PARALLELIZE
#endif
#ifndef EIGEN_MPL2_ONLY
#define EIGEN_MPL2_ONLY
#endif
