// fuzz_world.h -- a world for the fuzz targets to play what they read in: hills
// and trees and a course of four gates made here (a fuzz target reads no data
// set), with the game's wheel layout, so that a replay, a ghost or a host's
// snapshot is stepped over ground, trunks and gates as the game steps it.
#pragma once

#include <cmath>
#include <memory>

#include "sim/world.h"

// The same world every time it is asked for: what one input did to it is
// gone before the next, so that a fault found is found again.
inline World& fuzzWorld() {
    static const std::unique_ptr<World> pristine = [] {
        auto made = std::make_unique<World>();
        initWorld(*made, WheelLayout{{-0.86f, 0.86f}, {1.3f, -1.3f}, 0.3f, 0.4f});
        for (int z = 0; z < terrainSamples; ++z) {
            for (int x = 0; x < terrainSamples; ++x) {
                made->ground.heights[z * terrainSamples + x] =
                    static_cast<uint8_t>(100 + 60 * std::sin(x * 0.05) * std::cos(z * 0.04));
            }
        }
        for (int cell = 0; cell < growthCells * growthCells; cell += 7) {
            made->ground.growth[cell] = cell % 2 == 0 ? growthTree : 64; // a tree or a bush every seventh cell
        }
        const Gate gates[] = {{0, -40, 0, 20}, {-40, -80, 90, 20}, {-80, -40, 180, 20}, {-40, 0, 270, 20}};
        for (const Gate& gate : gates) {
            made->course.gates[made->course.count++] = gate;
        }
        made->track = 1;
        return made;
    }();
    static const std::unique_ptr<World> world = std::make_unique<World>();
    *world = *pristine;
    return *world;
}
