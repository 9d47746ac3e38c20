// vehicle_math.h -- the sine, cosine and arctangent a vehicle's step takes:
// the game's own (the same bits on every build) since the vehicles touch, the
// C library's for a vehicle of the simulation before, so that its replays
// and ghosts play as they were driven.
#pragma once

#include <cmath>

#include "common/game_math.h"
#include "vehicle/vehicle.h"

inline double vehicleSin(const Vehicle& v, double x) { return v.ownMath ? gameSin(x) : std::sin(x); }
inline double vehicleCos(const Vehicle& v, double x) { return v.ownMath ? gameCos(x) : std::cos(x); }
inline void vehicleSinCos(const Vehicle& v, double x, double& sine, double& cosine) {
    if (v.ownMath) {
        gameSinCos(x, sine, cosine);
    } else {
        sine = std::sin(x);
        cosine = std::cos(x);
    }
}
inline double vehicleAtan(const Vehicle& v, double x) { return v.ownMath ? gameAtan(x) : std::atan(x); }
