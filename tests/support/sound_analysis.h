// sound_analysis.h -- what a listener hears in 48 kHz samples: the strength of
// one frequency (Goertzel), and the strongest one in a band.
#pragma once

#include <cmath>
#include <vector>

inline double strength(const std::vector<float>& x, double frequency) {
    const double c = 2 * std::cos(2 * 3.14159265358979 * frequency / 48000);
    double s1 = 0, s2 = 0;
    for (float v : x) {
        const double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// The strongest frequency between from and to: to the nearest hertz, then to a tenth.
inline double strongest(const std::vector<float>& x, double from, double to) {
    double best = from;
    for (double step : {1.0, 0.1}) {
        const double low = step < 1 ? best - 1 : from, high = step < 1 ? best + 1 : to;
        for (double f = low; f <= high; f += step) {
            best = strength(x, f) > strength(x, best) ? f : best;
        }
    }
    return best;
}
