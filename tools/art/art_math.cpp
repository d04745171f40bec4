// art_math.cpp - exp, log, pow, sin, atan2 and hypot for the painting (art_math.h):
// range reduction to a small interval, then a fixed polynomial evaluated in one
// order, so that every IEEE double machine gives the same result.
#include "art_math.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double ln2_hi = 6.93147180369123816490e-01;  // ln 2 in 33 bits: k * ln2_hi is exact
constexpr double ln2_lo = 1.90821492927058770002e-10;
constexpr double inv_ln2 = 1.44269504088896338700e+00;
constexpr double pio2_hi = 1.57079632673412561417e+00;  // pi/2 in 33 bits: k * pio2_hi is exact
constexpr double pio2_lo = 6.07710050650619224932e-11;
constexpr double two_over_pi = 6.36619772367581382433e-01;
constexpr double pi = 3.14159265358979311600e+00;
constexpr double pio2 = 1.57079632679489655800e+00;
constexpr double pio4 = 7.85398163397448278999e-01;
constexpr double tan_pi8 = 4.14213562373095034470e-01;

// 2^k for a normal result, built from its bits.
double two_to(int k)
{
    const uint64_t bits = uint64_t(k + 1023) << 52;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// sin r and cos r for |r| <= pi/4, by their Taylor series to r^17 and r^18.
double sin_small(double r)
{
    const double z = r * r;
    double p = 1.0 / 355687428096000.0;  // 1/17!
    p = p * z - 1.0 / 1307674368000.0;
    p = p * z + 1.0 / 6227020800.0;
    p = p * z - 1.0 / 39916800.0;
    p = p * z + 1.0 / 362880.0;
    p = p * z - 1.0 / 5040.0;
    p = p * z + 1.0 / 120.0;
    p = p * z - 1.0 / 6.0;
    return r + r * z * p;
}

double cos_small(double r)
{
    const double z = r * r;
    double p = -1.0 / 6402373705728000.0;  // -1/18!
    p = p * z + 1.0 / 20922789888000.0;
    p = p * z - 1.0 / 87178291200.0;
    p = p * z + 1.0 / 479001600.0;
    p = p * z - 1.0 / 3628800.0;
    p = p * z + 1.0 / 40320.0;
    p = p * z - 1.0 / 720.0;
    p = p * z + 1.0 / 24.0;
    return 1.0 - 0.5 * z + z * z * p;
}

// atan s for |s| <= tan(pi/8): its series to s^45.
double atan_small(double s)
{
    const double z = s * s;
    double p = 0.0;
    for (int n = 22; n >= 1; --n)
        p = p * z + ((n & 1) ? -1.0 : 1.0) / double(2 * n + 1);
    return s + s * z * p;
}

}  // namespace

double art_exp(double x)
{
    if (x < -708.0)
        return 0.0;  // below the normal doubles: nothing the painting can see
    if (x > 709.0)
        return HUGE_VAL;
    // x = k ln 2 + r with |r| <= ln 2 / 2, then e^r by its Taylor series to r^13.
    const double k = std::floor(x * inv_ln2 + 0.5);
    const double r = (x - k * ln2_hi) - k * ln2_lo;
    double q = 1.0 / 6227020800.0;  // 1/13!
    q = q * r + 1.0 / 479001600.0;
    q = q * r + 1.0 / 39916800.0;
    q = q * r + 1.0 / 3628800.0;
    q = q * r + 1.0 / 362880.0;
    q = q * r + 1.0 / 40320.0;
    q = q * r + 1.0 / 5040.0;
    q = q * r + 1.0 / 720.0;
    q = q * r + 1.0 / 120.0;
    q = q * r + 1.0 / 24.0;
    q = q * r + 1.0 / 6.0;
    q = q * r + 0.5;
    const double e = 1.0 + (r + r * r * q);
    const int ki = int(k);
    if (ki < -1021)
        return e * two_to(ki + 200) * two_to(-200);
    return e * two_to(ki);
}

double art_log(double x)
{
    // x = m 2^e with m in [sqrt(1/2), sqrt(2)); log m = 2 atanh(f / (2 + f)), f = m - 1.
    int e;
    double m = std::frexp(x, &e);  // exact: [0.5, 1)
    if (m < 0.70710678118654752440) {
        m *= 2.0;
        --e;
    }
    const double f = m - 1.0;
    const double s = f / (2.0 + f);
    const double z = s * s;
    double p = 0.0;
    for (int n = 12; n >= 1; --n)
        p = p * z + 1.0 / double(2 * n + 1);
    const double log_m = 2.0 * s + 2.0 * s * z * p;
    return double(e) * ln2_hi + (double(e) * ln2_lo + log_m);
}

double art_pow(double x, double y)
{
    if (y == 2.0)
        return x * x;
    if (x <= 0.0)
        return 0.0;
    if (x == 1.0)
        return 1.0;
    return art_exp(y * art_log(x));
}

double art_sin(double x)
{
    // x = k pi/2 + r with |r| <= pi/4; the quadrant k picks sin or cos of r.
    const double k = std::floor(x * two_over_pi + 0.5);
    const double r = (x - k * pio2_hi) - k * pio2_lo;
    switch (int(k - 4.0 * std::floor(k / 4.0))) {
    case 0: return sin_small(r);
    case 1: return cos_small(r);
    case 2: return -sin_small(r);
    default: return -cos_small(r);
    }
}

double art_atan2(double y, double x)
{
    const double ax = std::fabs(x), ay = std::fabs(y);
    if (ax == 0.0 && ay == 0.0)
        return 0.0;
    // The angle of (ax, ay) in [0, pi/2], from the ratio at most 1.
    const bool steep = ay > ax;
    const double t = steep ? ax / ay : ay / ax;
    double a = t > tan_pi8 ? pio4 + atan_small((t - 1.0) / (t + 1.0)) : atan_small(t);
    if (steep)
        a = pio2 - a;
    if (x < 0.0)
        a = pi - a;
    return y < 0.0 ? -a : a;
}

double art_hypot(double x, double y)
{
    return std::sqrt(x * x + y * y);
}
