// determinism_test.cpp -- a scripted drive over the generated track ends the same
// way every time, and where it ended when the physics was last checked by eye:
// before contact as it always did, and with the vehicles and trunks solid.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "scene/scene.h"
#include "support/scripted_drive.h"
#include "support/vehicle_fixture.h"

namespace {

// Fifty seconds of steps by this simulation or an older one: every vehicle's
// record and the live puffs.
std::pair<std::vector<Vehicle>, int> drive(uint32_t simulation) {
    const auto world = std::make_unique<World>();
    EXPECT_TRUE(setUpScriptedWorld(*world, MUDLARK_RUN_DIR));
    setWorldRules(*world, simulation, true, true);
    for (uint32_t step = 0; step < 3000; ++step) {
        VehicleControls controls[vehicleCount];
        scriptedControls(step, controls);
        stepWorld(*world, controls);
    }
    return {std::vector<Vehicle>(world->vehicles, world->vehicles + vehicleCount), liveSmoke(world->smoke)};
}

TEST(Determinism, SameScriptSameEndingWhereItEndedBefore) {
    // Vehicle 0 weaves into the (-x, -z) corner, vehicle 1 circles near the
    // start, vehicle 2 slides its way up the far slope. With contact the
    // weave and the slides meet trees, and end elsewhere.
    const std::pair<uint32_t, std::array<std::array<float, 3>, 3>> cases[] = {
        {contactlessVersion, {{{-87.4988f, 10.9755f, -87.3772f}, {10.2707f, 0.0000f, 1.2959f}, {-27.3264f, 11.9915f, 72.7648f}}}},
        {simulationVersion, {{{43.7695f, 2.9320f, 10.7775f}, {10.2707f, 0.0000f, 1.2959f}, {-61.3006f, 6.6626f, -3.3959f}}}},
    };
    for (const auto& [simulation, expected] : cases) {
        const auto [ending, smoke] = drive(simulation);
        const auto [again, smokeAgain] = drive(simulation);
        EXPECT_EQ(std::memcmp(ending.data(), again.data(), sizeof(Vehicle) * vehicleCount), 0);
        EXPECT_EQ(smoke, smokeAgain);
        EXPECT_GT(smoke, 0);
        for (int i = 0; i < vehicleCount; ++i) {
            for (int axis = 0; axis < 3; ++axis) {
                EXPECT_NEAR(ending[i].position[axis], expected[i][axis], 0.01f)
                    << "simulation " << simulation << " vehicle " << i << " axis " << axis;
            }
        }
    }
}

} // namespace
