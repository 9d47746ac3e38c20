// vehicle_fixture.h -- a buggy-shaped vehicle on flat ground of the test's making.
#pragma once

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#include "replay/replay.h"
#include "sim/world.h"
#include "terrain/terrain.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"

// Wheels at x = -0.72 and 0.72, front axle at z = -1.2, rear at 1.2, radius 0.45.
constexpr WheelLayout buggyLayout{{-0.72f, 0.72f}, {-1.2f, 1.2f}, 0.28f, 0.45f};

// Standing at the origin, nothing held.
inline Vehicle& freshVehicle(Vehicle& v) {
    std::memset(&v, 0, sizeof v);
    v.layout = buggyLayout;
    resetVehicle(v);
    return v;
}

// The controls of these letters, as the red vehicle's keys have them: W
// accelerate, Z reverse, A left, D right, S brake, E rescue.
inline VehicleControls controlsOf(const char* keys) {
    const auto has = [&](char c) { return std::strchr(keys, c) != nullptr; };
    return VehicleControls{has('W'), has('Z'), has('A'), has('D'), has('S'), has('E'), false};
}

inline int liveSmoke(const SmokeSystem& smoke) {
    return static_cast<int>(std::count_if(std::begin(smoke.particles), std::end(smoke.particles),
                                          [](const SmokeParticle& p) { return p.life > 0; }));
}

// A world of flat ground at height 0 with three buggies at their start places
// and no course (heap: a world is large).
inline std::unique_ptr<World> flatWorld() {
    auto world = std::make_unique<World>();
    initWorld(*world, buggyLayout);
    return world;
}

// Whether two worlds' vehicles are the same bit for bit in all a step carries on.
inline bool sameVehicles(const World& a, const World& b) {
    for (int v = 0; v < vehicleCount; ++v) {
        VehicleSnapshot x, y;
        takeSnapshot(a.vehicles[v], x);
        takeSnapshot(b.vehicles[v], y);
        if (!sameSnapshot(x, y)) {
            return false;
        }
    }
    return true;
}
