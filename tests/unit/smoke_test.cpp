// smoke_test.cpp -- the puff pool, the emission rule and the simulation tick.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "platform/win_messages.h"
#include "scene/scene.h"
#include "support/vehicle_fixture.h"

namespace {

class SmokeTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        freshVehicle(v);
    }
    static Vehicle v;
};

Vehicle SmokeTest::v;

const float origin[3] = {1, 2, 3};
const float drift[3] = {0.1f, 0.2f, -0.3f};

TEST_F(SmokeTest, EmissionTakesTheLowestFreeSlot) {
    emitSmoke(origin, drift);
    emitSmoke(origin, drift);
    emitSmoke(origin, drift);
    smoke.particles[1].life = 0;
    emitSmoke(drift, origin);
    EXPECT_EQ(smoke.particles[1].x, drift[0]);
    EXPECT_EQ(smoke.particles[1].vz, origin[2]);
    EXPECT_EQ(smoke.particles[1].life, 100.0f);
    EXPECT_EQ(smoke.particles[3].life, 0.0f);
    resetSmoke();
    EXPECT_EQ(liveSmoke(), 0);
    EXPECT_EQ(smoke.particles[0].x, 0.0f);
}

TEST_F(SmokeTest, FullPoolDropsThePuff) {
    for (int i = 0; i < smokeCapacity; ++i) {
        emitSmoke(origin, drift);
    }
    const SmokeSystem before = smoke;
    emitSmoke(drift, drift);
    EXPECT_EQ(std::memcmp(&before, &smoke, sizeof smoke), 0);
    EXPECT_EQ(liveSmoke(), smokeCapacity);
}

TEST_F(SmokeTest, PuffsDriftPerFrameAndAgeWithTheFrameRate) {
    emitSmoke(origin, drift);
    updateSmoke(50);
    EXPECT_FLOAT_EQ(smoke.particles[0].x, 1.1f);
    EXPECT_FLOAT_EQ(smoke.particles[0].z, 2.7f);
    EXPECT_FLOAT_EQ(smoke.particles[0].life, 98.0f);
    // At a steady 50 frames a second it is freed by its 50th update.
    int updates = 1;
    while (smoke.particles[0].life > 0 && updates < 100) {
        updateSmoke(50);
        ++updates;
    }
    EXPECT_EQ(updates, 50);
    // A freed slot keeps its position and velocity.
    EXPECT_NE(smoke.particles[0].x, 0.0f);
    // At 5 frames a second a puff lives five updates.
    emitSmoke(origin, drift);
    for (int i = 0; i < 4; ++i) {
        updateSmoke(5);
    }
    EXPECT_GT(smoke.particles[0].life, 0.0f);
    updateSmoke(5);
    EXPECT_EQ(smoke.particles[0].life, 0.0f);
}

TEST_F(SmokeTest, AlphaFadesInAndOut) {
    EXPECT_FLOAT_EQ(smokeAlpha(100), 0.0f);
    EXPECT_FLOAT_EQ(smokeAlpha(75), 0.5f);
    EXPECT_FLOAT_EQ(smokeAlpha(50), 1.0f);
    EXPECT_FLOAT_EQ(smokeAlpha(25), 0.5f);
    EXPECT_FLOAT_EQ(smokeAlpha(0), 0.0f);
}

TEST_F(SmokeTest, TimersFollowTheFrameRate) {
    input.keys[letterKey('W')] = 1;
    const struct {
        uint32_t rate;
        int32_t timer;
    } cases[] = {{10, 0}, {19, 0}, {40, 2}, {60, 3}};
    for (const auto& c : cases) {
        freshVehicle(v);
        resetSmoke();
        emitVehicleSmoke(v, c.rate, 0, 0);
        EXPECT_EQ(v.frontSmokeTimer, c.timer) << c.rate;
        EXPECT_EQ(liveSmoke(), 2) << c.rate;
    }
    // Below 20 frames a second a pair smokes on every frame its rule holds.
    freshVehicle(v);
    resetSmoke();
    for (int i = 0; i < 5; ++i) {
        stepVehicle(v, 19);
    }
    EXPECT_EQ(liveSmoke(), 10);
}

TEST_F(SmokeTest, FrontPairFromTheAcceleratorWithTheVehiclesDrift) {
    input.keys[letterKey('W')] = 1;
    v.climb = 0.4f;
    emitVehicleSmoke(v, 60, 0.18, -0.36);
    ASSERT_EQ(liveSmoke(), 2);
    EXPECT_EQ(smoke.particles[0].x, v.wheelContact[0][0]);
    EXPECT_EQ(smoke.particles[1].z, v.wheelContact[1][2]);
    EXPECT_FLOAT_EQ(smoke.particles[0].vx, -0.1f);
    EXPECT_FLOAT_EQ(smoke.particles[0].vy, 0.2f);
    EXPECT_FLOAT_EQ(smoke.particles[0].vz, 0.2f);
    // The timer holds the next pair back; in the air there is none at all.
    emitVehicleSmoke(v, 60, 0, 0);
    EXPECT_EQ(liveSmoke(), 2);
    v.frontSmokeTimer = 0;
    v.frontOnGround = false;
    emitVehicleSmoke(v, 60, 0, 0);
    EXPECT_EQ(liveSmoke(), 2);
}

TEST_F(SmokeTest, RearPairFromTheBrakeOutsideTheDeadBand) {
    input.keys[letterKey('S')] = 1;
    v.speed = 0.05f; // inside 5 / 50
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(liveSmoke(), 0);
    v.speed = -0.2f;
    emitVehicleSmoke(v, 50, 0, 0);
    ASSERT_EQ(liveSmoke(), 2);
    EXPECT_EQ(smoke.particles[0].x, v.wheelContact[2][0]);
    EXPECT_EQ(v.rearSmokeTimer, 2);
    EXPECT_EQ(v.frontSmokeTimer, 0);
}

TEST_F(SmokeTest, SlidingSmokesFromTheFrontAboveFiveDegreesAndBothAboveTen) {
    v.heading = 7;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(liveSmoke(), 2);
    EXPECT_NE(v.frontSmokeTimer, 0);
    EXPECT_EQ(v.rearSmokeTimer, 0);
    freshVehicle(v);
    resetSmoke();
    v.course = 11;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(liveSmoke(), 4);
    // Pairs go in order: front wheels first, then rear.
    EXPECT_EQ(smoke.particles[0].x, v.wheelContact[0][0]);
    EXPECT_EQ(smoke.particles[2].x, v.wheelContact[2][0]);
}

TEST_F(SmokeTest, TickMovesTheSmokeBeforeTheVehiclesEmit) {
    for (Vehicle& vehicle : vehicles) {
        freshVehicle(vehicle);
    }
    vehicles[1].keyAccelerate = 'W';
    input.keys[letterKey('W')] = 1;
    advanceSimulation(50);
    ASSERT_EQ(liveSmoke(), 6); // every vehicle has W as its accelerator here
    for (const SmokeParticle& p : smoke.particles) {
        if (p.life > 0) {
            EXPECT_EQ(p.life, 100.0f); // emitted this tick, not yet aged
        }
    }
    advanceSimulation(50);
    EXPECT_EQ(smoke.particles[0].life, 98.0f);
}

TEST_F(SmokeTest, LightMovesOnlyWhileTheLeftButtonIsHeld) {
    for (Vehicle& vehicle : vehicles) {
        freshVehicle(vehicle);
    }
    lightPosition[0] = 0;
    lightPosition[2] = 0;
    input.deltaX = 10;
    input.deltaY = -4;
    advanceSimulation(50);
    EXPECT_EQ(lightPosition[0], 0.0f);
    input.leftButton = 1;
    advanceSimulation(50);
    EXPECT_EQ(lightPosition[0], 10.0f);
    EXPECT_EQ(lightPosition[2], -4.0f);
    EXPECT_EQ(lightPosition[1], 40.0f);
}

TEST_F(SmokeTest, SlowDownKeyBurnsMeasurableTime) {
    for (Vehicle& vehicle : vehicles) {
        freshVehicle(vehicle);
    }
    using Clock = std::chrono::steady_clock;
    auto time = [] {
        const auto start = Clock::now();
        advanceSimulation(60);
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    const double plain = time();
    input.keys[letterKey('H')] = 1;
    const double slowed = time();
    // Eight million kept iterations: milliseconds on any machine, next to microseconds.
    EXPECT_GT(slowed, plain + 1.0) << plain << " ms against " << slowed << " ms";
}

} // namespace
