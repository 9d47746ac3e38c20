// game_math.cpp -- sine, cosine and arctangent from their series, after the
// argument is brought into the range where a short series is exact enough.
#include "common/game_math.h"

#include <cmath>

namespace {

constexpr double twoOverPi = 0x1.45f306dc9c883p-1;
// Pi / 2 in three parts: the first two short enough that a multiple of them
// by a whole number below 2^20 is exact, the third the rest.
constexpr double halfPi1 = 0x1.921fb548p+0;
constexpr double halfPi2 = -0x1.de973dc8p-31;
constexpr double halfPi3 = -0x1.9d9cceba3f91fp-62;
constexpr double halfPi = 0x1.921fb54442d18p+0;
// The arctangents of 0, 1/8, 2/8 ... 1, the nearest doubles.
constexpr double eighthsArctangent[9] = {0,
                                         0x1.fd5ba9aac2f6ep-4,
                                         0x1.f5b75f92c80ddp-3,
                                         0x1.6f61941e4def1p-2,
                                         0x1.dac670561bb4fp-2,
                                         0x1.1e00babdefeb4p-1,
                                         0x1.4978fa3269ee1p-1,
                                         0x1.700a7c5784634p-1,
                                         0x1.921fb54442d18p-1};

// The coefficients of a Taylor series, highest power first: sin's of r^15
// down to r^3, cos's of r^16 down to r^2, the arctangent's of u^15 down to
// u^3. Factorials up to 16! are whole numbers a double holds exactly.
template <int count>
struct Coefficients {
    double c[count];
};

template <int count>
constexpr Coefficients<count> taylor(int highest, bool factorials) {
    Coefficients<count> out{};
    for (int i = 0, n = highest; i < count; ++i, n -= 2) {
        double divisor = 1;
        for (int k = 2; factorials && k <= n; ++k) {
            divisor *= k;
        }
        divisor = factorials ? divisor : n;
        out.c[i] = (((n - (n % 2)) / 2) % 2 == 0 ? 1.0 : -1.0) / divisor;
    }
    return out;
}

constexpr Coefficients<7> sineTerms = taylor<7>(15, true);
constexpr Coefficients<8> cosineTerms = taylor<8>(16, true);
constexpr Coefficients<7> arctangent = taylor<7>(15, false);

// The series' sum after its first term, by Horner's rule in the square.
template <int count>
double tail(const Coefficients<count>& series, double square) {
    double sum = series.c[0];
    for (int i = 1; i < count; ++i) {
        sum = series.c[i] + square * sum;
    }
    return sum;
}

// sin r and cos r for |r| <= pi / 4, whose next terms are below a tenth of
// the last bit.
double sineSeries(double r) { return r + r * (r * r) * tail(sineTerms, r * r); }
double cosineSeries(double r) { return 1 + (r * r) * tail(cosineTerms, r * r); }

// x less the whole number of quarter turns nearest it, and that number
// modulo 4 (the quadrant).
double reduce(double x, int& quadrant) {
    if (!(std::fabs(x) < 0x1p19)) {
        // Far out (or no number): a whole number of turns off first, exactly.
        x = std::fmod(x, 4 * halfPi);
    }
    const double k = std::floor(x * twoOverPi + 0.5);
    quadrant = static_cast<int>(k - 4 * std::floor(k / 4)); // 0..3, for negative k too
    return ((x - k * halfPi1) - k * halfPi2) - k * halfPi3;
}

// The arctangent of |u| <= 1/16, whose next term is below 1e-21.
double arctangentSeries(double u) { return u + u * (u * u) * tail(arctangent, u * u); }

} // namespace

double gameSin(double x) {
    if (!std::isfinite(x)) {
        return x - x; // none for none, and for an infinity
    }
    int quadrant = 0;
    const double r = reduce(x, quadrant);
    switch (quadrant) {
    case 0: return sineSeries(r);
    case 1: return cosineSeries(r);
    case 2: return -sineSeries(r);
    default: return -cosineSeries(r);
    }
}

double gameCos(double x) {
    if (!std::isfinite(x)) {
        return x - x;
    }
    int quadrant = 0;
    const double r = reduce(x, quadrant);
    switch (quadrant) {
    case 0: return cosineSeries(r);
    case 1: return -sineSeries(r);
    case 2: return -cosineSeries(r);
    default: return sineSeries(r);
    }
}

void gameSinCos(double x, double& sine, double& cosine) {
    if (!std::isfinite(x)) {
        sine = cosine = x - x;
        return;
    }
    int quadrant = 0;
    const double r = reduce(x, quadrant);
    const double s = sineSeries(r), c = cosineSeries(r);
    sine = quadrant == 0 ? s : quadrant == 1 ? c : quadrant == 2 ? -s : -c;
    cosine = quadrant == 0 ? c : quadrant == 1 ? -s : quadrant == 2 ? -c : s;
}

double gameAtan(double x) {
    if (x != x || x == 0) {
        return x; // none, or a level ground's nought
    }
    double t = std::fabs(x);
    const bool reflected = t > 1; // atan t = pi/2 - atan(1/t)
    t = reflected ? 1 / t : t;
    // atan t = atan b + atan((t - b) / (1 + t b)) for the eighth b nearest t,
    // which leaves less than a sixteenth for the series.
    const int eighth = static_cast<int>(std::floor(t * 8 + 0.5));
    const double b = eighth / 8.0;
    double angle = eighth == 0 ? arctangentSeries(t) : eighthsArctangent[eighth] + arctangentSeries((t - b) / (1 + t * b));
    angle = reflected ? halfPi - angle : angle;
    return x < 0 ? -angle : angle;
}

double gameAtan2(double y, double x) {
    if (x != x || y != y) {
        return x + y;
    }
    if (x == 0 && y == 0) {
        return 0;
    }
    if (std::fabs(y) <= std::fabs(x)) {
        const double angle = gameAtan(y / x);
        return x > 0 ? angle : (y < 0 ? angle - 2 * halfPi : angle + 2 * halfPi);
    }
    return (y > 0 ? halfPi : -halfPi) - gameAtan(x / y);
}

double gameHypot(double x, double y) { return std::sqrt(x * x + y * y); }

double gameRemainder(double x, double y) { return std::remainder(x, y); }
