// vehicle_fixture.h -- a buggy-shaped vehicle on a terrain of the test's making.
#pragma once

#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/app_state.h"
#include "terrain/terrain.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"

// Wheels at x = -0.72 and 0.72, front axle at z = -1.2, rear at 1.2, radius 0.45,
// keys of vehicle 1 (W A S D Z), standing at the origin of flat ground at height 0.
inline Vehicle& freshVehicle(Vehicle& v) {
    std::memset(&v, 0, sizeof v);
    v.model.wheelX[0] = -0.72f;
    v.model.wheelX[1] = 0.72f;
    v.model.wheelZ[0] = -1.2f;
    v.model.wheelZ[1] = 1.2f;
    v.model.wheelRadius = 0.45f;
    v.model.wheelWidth = 0.28f;
    resetVehicle(v);
    v.keyReverse = 'Z';
    v.keyLeft = 'A';
    v.keyBrake = 'S';
    v.keyRight = 'D';
    v.keyAccelerate = 'W';
    return v;
}

inline void resetWorld() {
    resetAppState();
    std::memset(terrain.heights, 0, sizeof terrain.heights); // flat ground at height 0
    resetSmoke();
}

inline int liveSmoke() {
    return static_cast<int>(std::count_if(std::begin(smoke.particles), std::end(smoke.particles),
                                          [](const SmokeParticle& p) { return p.life > 0; }));
}
