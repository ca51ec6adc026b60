#pragma once

// Guards against a build that lets the compiler fuse a multiplication and an
// addition into one fused multiply-add, which would change the fits. Each
// function computes a * b + c with two roundings inside the translation unit
// it names, in a function allowed to use FMA instructions; it returns the
// fused result when the unit was compiled with contraction on.

namespace tessarin::fitprobe {

double MultiplyAddFitKernel(double a, double b, double c);
double MultiplyAddPortable(double a, double b, double c);
/// Needs AVX2 and FMA.
double MultiplyAddAvx2(double a, double b, double c);
/// Needs AVX-512F.
double MultiplyAddAvx512(double a, double b, double c);

} // namespace tessarin::fitprobe
