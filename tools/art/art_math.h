// art_math.h - the transcendental functions the painting uses, computed here from
// IEEE additions, multiplications, divisions and square roots only, so that the
// artwork's bytes are the same wherever it is painted: the C libraries (glibc
// natively, musl in the page's WebAssembly) differ in the last bits of exp, pow,
// sin and atan2, and a last bit can move a pixel by one level.
//
//   const double k = art_exp(-d / 90.0);
//
// Accurate to a few units in the last place over the ranges the painting uses;
// not meant for infinities or NaNs (the painting never makes them).
#pragma once

double art_exp(double x);
double art_log(double x);              // x > 0
double art_pow(double x, double y);    // x >= 0 (any x for y == 2); 0 for x == 0
double art_sin(double x);              // |x| < 2^20
double art_atan2(double y, double x);  // (0, 0) gives 0
double art_hypot(double x, double y);  // sqrt(x^2 + y^2), for moderate values
