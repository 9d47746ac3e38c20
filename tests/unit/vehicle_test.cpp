// vehicle_test.cpp -- what the scripted drive in determinism_test.cpp does not
// reach: a hand-worked step, reverse and the brake, the square's edge, the key
// array's ends, broken wheel layouts, the smoke pool and its rule at every
// rate, and the order of the world's step.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <string>

#include "platform/win_messages.h"
#include "render/render.h"
#include "scene/scene.h"
#include "support/vehicle_fixture.h"

namespace {

class VehicleTest : public ::testing::Test {
protected:
    void SetUp() override {
        held.clear();
        fresh();
    }
    static void fresh() {
        freshVehicle(v);
        v.controls = controlsOf(held.c_str());
        resetSmoke(smoke);
    }
    static void stepVehicle(Vehicle& vehicle, uint32_t rate) { ::stepVehicle(vehicle, ground, smoke, rate); }
    static void emitVehicleSmoke(Vehicle& vehicle, uint32_t rate, double dx, double dz) {
        ::emitVehicleSmoke(vehicle, smoke, rate, dx, dz);
    }
    static int liveSmoke() { return ::liveSmoke(smoke); }
    // Steps far above the ground: no traction and no slope, only the keys' own effect.
    static void stepInTheAir(int steps = 1) {
        for (int i = 0; i < steps; ++i) {
            v.frontOnGround = v.rearOnGround = false;
            std::fill(std::begin(v.wheelHeight), std::end(v.wheelHeight), 20.0f);
            stepVehicle(v, 50);
        }
    }
    // Holds or lets go of keys of the test's vehicle: its controls for the next step.
    static void hold(const char* keys, bool down = true) {
        for (; *keys != '\0'; ++keys) {
            const size_t at = held.find(*keys);
            if (down && at == std::string::npos) {
                held += *keys;
            } else if (!down && at != std::string::npos) {
                held.erase(at, 1);
            }
        }
        v.controls = controlsOf(held.c_str());
    }
    static inline Vehicle v;
    static inline std::string held;
    static inline TerrainMap ground{}; // flat at height 0
    static inline SmokeSystem smoke{};
};

TEST_F(VehicleTest, WorkedStepAtFiftyFramesASecondAndStandingStill) {
    hold("W");
    stepVehicle(v, 50);
    EXPECT_NEAR(v.driveSpeed, 0.36f, 1e-6f); // 0.6 from the key, less 0.24 of traction
    EXPECT_NEAR(v.speed, 0.218182f, 1e-6f);  // +0.436364 from the front, -0.218182 to the rear
    EXPECT_NEAR(v.rearWheelSpeed, 0.24f, 1e-6f);
    EXPECT_EQ(v.position[0], 0.0f); // heading 0 drives toward -z, and only along it
    EXPECT_NEAR(v.position[2], -0.0043636f, 1e-7f);
    fresh(); // standing still on the flat changes nothing, however long
    hold("W", false);
    for (int i = 0; i < 200; ++i) {
        stepVehicle(v, 60);
    }
    EXPECT_EQ(std::vector<float>({v.position[0], v.position[2], v.speed, v.heading}), std::vector<float>(4, 0.0f));
    EXPECT_EQ(liveSmoke(), 0);
}

// Reversing, the course is the heading however it steers: no slide, no smoke.
// Forward in a turn the outer front wheel runs a longer circle and spins faster.
TEST_F(VehicleTest, ReversingWhileSteeringNeverSlidesAndTheOuterWheelSpinsFaster) {
    hold("ZA");
    for (int i = 0; i < 150; ++i) {
        stepVehicle(v, 50);
        ASSERT_EQ(v.course, v.heading) << i;
    }
    EXPECT_LT(v.speed, -5.0f);
    EXPECT_GT(std::fabs(v.heading), 20.0f); // it did turn
    EXPECT_EQ(liveSmoke(), 0);
    for (const float steer : {-20.0f, 20.0f}) { // left: the right wheel (1) is outside
        fresh();
        v.steerAngle = steer;
        v.driveSpeed = 10;
        updateWheelAngles(v, 50);
        const float outer = v.wheelSpin[steer < 0 ? 1 : 0], inner = v.wheelSpin[steer < 0 ? 0 : 1];
        EXPECT_GT(inner, 0.0f) << steer;
        EXPECT_GT(outer, inner * 1.2f) << steer;
    }
}

TEST_F(VehicleTest, PedalsTopSpeedReverseAndBrake) {
    hold("W");
    stepInTheAir(100); // 30 a second until 125 km/h is passed
    EXPECT_NEAR(v.driveSpeed * 3.6f, 125.0f, 0.6f * 3.6f);
    hold("W", false);
    hold("Z");
    fresh();
    stepInTheAir(100); // reverse stops at -35 km/h
    EXPECT_NEAR(v.driveSpeed * 3.6f, -35.0f, 0.6f * 3.6f);
    // The brake acts only when neither pedal does: half its 65 on the drive,
    // all of it on the rear wheels.
    hold("Z", false);
    hold("S");
    v.driveSpeed = v.rearWheelSpeed = 10;
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 9.35f, 1e-5f);
    EXPECT_NEAR(v.rearWheelSpeed, 8.7f, 1e-5f);
    hold("W");
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 9.95f, 1e-5f);
    EXPECT_NEAR(v.rearWheelSpeed, 8.7f, 1e-5f);
}

TEST_F(VehicleTest, EdgesOfTheSquareTheKeyArrayAndTheWheelLayout) {
    v.position[0] = 87.45f;
    v.position[2] = 10.0f;
    v.heading = v.course = -45; // toward +x and -z
    v.speed = v.driveSpeed = v.rearWheelSpeed = 20;
    hold("W");
    for (int i = 0; i < 20; ++i) {
        stepVehicle(v, 50);
        ASSERT_LT(v.position[0], 87.5f);
    }
    EXPECT_LT(v.position[2], 9.0f); // it slid along the edge
    EXPECT_GT(v.speed, 15.0f);      // and the edge took no speed
    InputState input{};
    std::memset(input.keys, 1, sizeof input.keys);
    EXPECT_TRUE(input.heldForStep(0) && input.heldForStep(255));
    EXPECT_FALSE(input.heldForStep(256) || input.heldForStep(-1));
    // Without usable wheels a vehicle stays where it stands, whatever is held.
    for (auto breakModel : {+[](WheelLayout& m) { m.wheelZ[0] = m.wheelZ[1] = 0; },
                            +[](WheelLayout& m) { m.wheelX[0] = m.wheelX[1] = 0.5f; },
                            +[](WheelLayout& m) { m.wheelRadius = NAN; },
                            +[](WheelLayout& m) { m.wheelX[0] = 101; }}) {
        fresh();
        breakModel(v.layout);
        for (int i = 0; i < 50; ++i) {
            stepVehicle(v, 50);
        }
        EXPECT_EQ(std::vector<float>({v.position[0], v.position[2], v.speed}), std::vector<float>(3, 0.0f));
        EXPECT_FALSE(std::isnan(v.pitch));
    }
    EXPECT_EQ(liveSmoke(), 0);
}

TEST_F(VehicleTest, SmokePoolFullPoolAndLifetimeAtAnyRate) {
    const float origin[3] = {1, 2, 3}, drift[3] = {0.1f, 0.2f, -0.3f};
    for (int i = 0; i <= smokeCapacity; ++i) { // the last one finds no room and is dropped
        emitSmoke(smoke, i == 1 ? drift : origin, drift);
    }
    EXPECT_EQ(liveSmoke(), smokeCapacity);
    EXPECT_EQ(smoke.particles[1].x, drift[0]);
    for (const uint32_t rate : {50u, 5u}) { // one second of drift
        resetSmoke(smoke);
        emitSmoke(smoke, origin, drift);
        uint32_t updates = 0;
        for (; smoke.particles[0].life > 0 && updates < 100; ++updates) {
            updateSmoke(smoke, rate);
        }
        EXPECT_EQ(updates, rate);
        EXPECT_NEAR(smoke.particles[0].x, 1 + 0.1f * rate, 1e-5f);
    }
    // In over the first half of its life, out over the second.
    EXPECT_EQ(std::vector<float>({smokeAlpha(75), smokeAlpha(50), smokeAlpha(0)}), std::vector<float>({0.5f, 1, 0}));
}

TEST_F(VehicleTest, SmokeFromAcceleratorBrakeAndSlide) {
    hold("W"); // a front pair with the vehicle's drift, then a pause of rate / 20 frames
    for (auto [rate, pause] : {std::pair{19u, 0}, {20u, 1}, {40u, 2}, {60u, 3}}) {
        fresh();
        v.climb = 0.4f;
        emitVehicleSmoke(v, rate, 0.18, -0.36);
        EXPECT_EQ(v.frontSmokeTimer, pause) << rate;
        EXPECT_EQ(liveSmoke(), 2) << rate;
    }
    EXPECT_FLOAT_EQ(smoke.particles[0].vx, -0.1f);
    EXPECT_FLOAT_EQ(smoke.particles[0].vy, 0.2f);
    v.frontSmokeTimer = 0;
    v.frontOnGround = false; // none from wheels in the air
    emitVehicleSmoke(v, 60, 0, 0);
    EXPECT_EQ(liveSmoke(), 2);
    hold("W", false);
    hold("S"); // the brake: a rear pair once the vehicle moves beyond the dead band
    fresh();
    v.speed = 0.05f;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(liveSmoke(), 0);
    v.speed = -0.2f;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(smoke.particles[0].x, v.wheelContact[2][0]);
    hold("S", false); // sliding: the front above 5 degrees, both pairs above 10
    for (auto [slide, puffs] : {std::pair{7.0f, 2}, {11.0f, 4}}) {
        fresh();
        v.course = slide;
        emitVehicleSmoke(v, 50, 0, 0);
        EXPECT_EQ(liveSmoke(), puffs);
    }
}

TEST_F(VehicleTest, AStepAgesTheSmokeBeforeTheVehiclesEmitTheLightAndHAreTheFrames) {
    const auto world = flatWorld();
    const VehicleControls go[vehicleCount] = {controlsOf("W"), controlsOf("W"), controlsOf("W")};
    stepWorld(*world, go);
    EXPECT_EQ(::liveSmoke(world->smoke), 6);
    EXPECT_EQ(world->smoke.particles[0].life, 100.0f); // emitted this step, not yet aged
    stepWorld(*world, go);
    EXPECT_FLOAT_EQ(world->smoke.particles[0].life, 100.0f - 100.0f / 60);
    float light[4] = {0, 40, 0, 1};
    InputState input{};
    input.deltaX = 10;
    input.deltaY = -4;
    input.rightButton = input.middleButton = 1;
    moveLight(light, input);
    EXPECT_EQ(std::pair(light[0], light[2]), std::pair(0.0f, 0.0f)); // only the left button drags
    input.leftButton = 1;
    moveLight(light, input);
    EXPECT_EQ(std::pair(light[0], light[2]), std::pair(10.0f, -4.0f)); // 10 across, -4 along
    // H burns milliseconds of processor time a frame (process time: a busy
    // machine does not change it).
    const std::clock_t start = std::clock();
    burnSlowDownTime();
    EXPECT_GT(std::clock() - start, CLOCKS_PER_SEC / 1000);
}

} // namespace
