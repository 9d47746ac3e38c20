// vehicle_test.cpp -- one vehicle step by step: keys, traction, steering, the
// square's edge; wheels, suspension and attitude; the smoke pool and its rule;
// the world tick. The scripted drive in determinism_test.cpp pins the rest.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/fake/fake_platform.h"
#include "platform/win_messages.h"
#include "scene/scene.h"
#include "support/temp_dir.h"
#include "support/vehicle_fixture.h"

namespace {

class VehicleTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        freshVehicle(v);
    }
    // Steps far above the ground: no traction and no slope, only the keys' own effect.
    void stepInTheAir(int steps = 1) {
        for (int i = 0; i < steps; ++i) {
            v.frontOnGround = v.rearOnGround = false;
            std::fill(std::begin(v.wheelHeight), std::end(v.wheelHeight), 20.0f);
            stepVehicle(v, 50);
        }
    }
    static void hold(std::initializer_list<char> keys, bool down = true) {
        for (char key : keys) {
            input.keys[letterKey(key)] = down ? 1 : 0;
        }
    }
    static void fresh(Vehicle& vehicle) {
        freshVehicle(vehicle);
        resetSmoke();
    }
    static inline Vehicle v;
};

TEST_F(VehicleTest, WorkedStepAtFiftyFramesASecond) {
    hold({'W'});
    stepVehicle(v, 50);
    EXPECT_NEAR(v.driveSpeed, 0.36f, 1e-6f); // 0.6 from the key, less 0.24 of traction
    EXPECT_NEAR(v.speed, 0.218182f, 1e-6f);  // +0.436364 from the front, -0.218182 to the rear
    EXPECT_NEAR(v.rearWheelSpeed, 0.24f, 1e-6f);
    EXPECT_NEAR(v.position[2], -0.0043636f, 1e-7f); // heading 0 drives toward -z
    EXPECT_EQ(v.position[0], 0.0f);
    fresh(v); // standing still on the flat changes nothing, however long
    hold({'W'}, false);
    for (int i = 0; i < 200; ++i) {
        stepVehicle(v, 60);
    }
    EXPECT_EQ(v.position[2] + v.speed + liveSmoke(), 0.0f);
}

TEST_F(VehicleTest, PedalsTopSpeedReverseAndBrake) {
    hold({'W'});
    stepInTheAir(100); // 30 a second until 125 km/h is passed
    EXPECT_NEAR(v.driveSpeed * 3.6f, 125.0f, 0.6f * 3.6f);
    hold({'W'}, false);
    hold({'Z'});
    fresh(v);
    stepInTheAir(100); // reverse stops at -35 km/h
    EXPECT_NEAR(v.driveSpeed * 3.6f, -35.0f, 0.6f * 3.6f);
    // The brake acts only when neither pedal does: half its 65 on the drive,
    // all of it on the rear wheels.
    hold({'Z'}, false);
    hold({'S'});
    v.driveSpeed = v.rearWheelSpeed = 10;
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 9.35f, 1e-5f);
    EXPECT_NEAR(v.rearWheelSpeed, 8.7f, 1e-5f);
    hold({'W'});
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 9.95f, 1e-5f);
    EXPECT_NEAR(v.rearWheelSpeed, 8.7f, 1e-5f);
    // Dead bands: wheels slower than the drag of 5 / 50 stop; the vehicle never snaps.
    hold({'W', 'S'}, false);
    v.driveSpeed = 0.09f;
    v.rearWheelSpeed = -0.05f;
    v.speed = 0.35f; // in the air the drag acts twice
    stepInTheAir();
    EXPECT_EQ(v.driveSpeed + v.rearWheelSpeed, 0.0f);
    EXPECT_NEAR(v.speed, 0.15f, 1e-6f);
}

TEST_F(VehicleTest, SteeringShrinksWithSpeedCentresAndTheBrakeSlowsTheCourse) {
    hold({'D'});
    stepInTheAir(100);
    EXPECT_NEAR(v.steerAngle, 25.0f, 1.2f + 1e-4f); // the limit at rest
    for (int i = 0; i < 100; ++i) {
        v.speed = 30; // 25 / (30 / 6 + 0.0123): about 4.99 degrees
        stepInTheAir();
    }
    EXPECT_NEAR(v.steerAngle, 4.99f, 1.8f);
    hold({'D'}, false);
    v.steerAngle = 3.0f;
    v.speed = 0;
    stepInTheAir(); // back at 90 degrees a second, then snapped to the centre
    EXPECT_NEAR(v.steerAngle, 1.2f, 1e-5f);
    stepInTheAir();
    EXPECT_EQ(v.steerAngle, 0.0f);
    // Under the brake the course follows the heading at three tenths of the pace.
    v.speed = 20;
    v.heading = 30;
    v.course = 0;
    const Vehicle start = v;
    stepInTheAir();
    const float normal = v.course;
    v = start;
    hold({'S'});
    stepInTheAir();
    EXPECT_GT(normal, 1.0f);
    EXPECT_NEAR(v.course, 0.3f * normal, 1e-4f);
}

TEST_F(VehicleTest, EdgesOfTheSquareTheKeyArrayAndTheWheelLayout) {
    v.position[0] = 87.45f;
    v.position[2] = 10.0f;
    v.heading = v.course = -45; // toward +x and -z
    v.speed = v.driveSpeed = v.rearWheelSpeed = 20;
    hold({'W'});
    for (int i = 0; i < 20; ++i) {
        stepVehicle(v, 50);
        ASSERT_LT(v.position[0], 87.5f);
    }
    EXPECT_LT(v.position[2], 9.0f); // it slid along the edge
    EXPECT_GT(v.speed, 15.0f);      // and the edge took no speed
    std::memset(input.keys, 1, sizeof input.keys);
    EXPECT_TRUE(keyHeld(0) && keyHeld(255));
    EXPECT_FALSE(keyHeld(256) || keyHeld(-1));
    // Without usable wheels a vehicle stays where it stands, whatever is held.
    for (auto breakModel : {+[](VehicleModel& m) { m.wheelZ[0] = m.wheelZ[1] = 0; },
                            +[](VehicleModel& m) { m.wheelX[0] = m.wheelX[1] = 0.5f; },
                            +[](VehicleModel& m) { m.wheelRadius = NAN; },
                            +[](VehicleModel& m) { m.wheelX[0] = 101; }}) {
        fresh(v);
        breakModel(v.model);
        for (int i = 0; i < 50; ++i) {
            stepVehicle(v, 50);
        }
        EXPECT_EQ(v.position[2] + v.speed, 0.0f);
        EXPECT_FALSE(std::isnan(v.pitch));
    }
    EXPECT_EQ(liveSmoke(), 0);
}

TEST(VehicleSetUp, ModelWithoutWheelsSaysSoAndAMissingOneOnlyThat) {
    resetWorld();
    TempDir dir;
    WorkingDirectory here(dir.path());
    static Vehicle v;
    for (const char* text : {"vertex: 0 1 2 3\n", static_cast<const char*>(nullptr)}) {
        resetFakePlatform();
        std::memset(&v, 0, sizeof v);
        text != nullptr ? (void)dir.write("Models/Model01.obj", text) : (void)std::remove("Models/Model01.obj");
        initVehicle(v, 2);
        EXPECT_EQ(fake.captions(), "Error -1");
        EXPECT_EQ(fake.messageBoxes[0].text, text ? "Vehicle model has no usable wheels!" : "Unable to load vehModel!");
    }
}

TEST_F(VehicleTest, WheelsStandSteerAndSpinWhereTheyShould) {
    v.position[0] = 10;
    v.position[2] = 20;
    v.heading = 90; // facing -x: the front axle 2.4 toward -x, wheelX[1] toward -z
    updateWheelContacts(v);
    EXPECT_NEAR(v.wheelContact[0][0], 7.6f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[0][2], 20.72f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[1][2], 19.28f, 1e-5f);
    // Turning right the inner front wheel turns further and the outer wheels spin further.
    v.steerAngle = 20;
    v.driveSpeed = v.rearWheelSpeed = 10;
    updateWheelAngles(v, 50);
    EXPECT_GT(v.wheelSteer[1], v.wheelSteer[0]);
    EXPECT_GT(v.wheelSpin[2], v.wheelSpin[3]);
    fresh(v); // straight ahead, radius 0.45: 360 / (0.9 pi) degrees a unit
    v.driveSpeed = 10;
    updateWheelAngles(v, 50);
    EXPECT_NEAR(v.wheelSpin[0], 25.465f, 0.01f);
}

TEST_F(VehicleTest, WheelsFallLandThrowUpAndTiltTheBody) {
    std::fill(std::begin(v.wheelHeight), std::end(v.wheelHeight), 1.0f);
    updateGroundHeights(v);
    int steps = 0;
    for (; v.wheelHeight[0] > 0 && steps < 100; ++steps) {
        updateSuspension(v, 50);
    }
    EXPECT_EQ(steps, 10); // 1 unit at 50 units/s^2: 0.2 s, landing exactly on the ground
    EXPECT_EQ(v.wheelHeight[0], 0.0f);
    v.wheelHeight[0] = 1.0f; // one wheel up keeps its axle on the ground; both do not
    updateGroundFlags(v);
    EXPECT_TRUE(v.frontOnGround);
    v.wheelHeight[1] = 0.5f;
    updateGroundFlags(v);
    EXPECT_FALSE(v.frontOnGround);
    fresh(v); // ground 0.5 higher lifts a wheel at once, at the speed that did it
    v.wheelContact[0][1] = 0.5f;
    updateSuspension(v, 50);
    EXPECT_NEAR(v.wheelVerticalSpeed[0], 25.0f, 1e-4f);
    v.wheelHeight[0] = 24.9f; // and past 25 units it is turned back down
    v.wheelVerticalSpeed[0] = 30;
    updateSuspension(v, 50);
    EXPECT_EQ(v.wheelVerticalSpeed[0], -1.0f);
    fresh(v);
    v.wheelHeight[0] = v.wheelHeight[1] = 1.0f; // front 1 up over a 2.4 wheelbase
    updateAttitude(v);
    EXPECT_NEAR(v.pitch, 22.62f, 1e-2f);
    v.wheelHeight[0] = v.wheelHeight[2] = 0;
    v.wheelHeight[1] = v.wheelHeight[3] = 1.44f; // the right side up over a 1.44 track
    updateAttitude(v);
    EXPECT_NEAR(v.roll, 45.0f, 1e-3f);
    EXPECT_NEAR(v.position[1], 0.72f, 1e-5f);
}

TEST_F(VehicleTest, SmokePoolLowestFreeSlotFullPoolAndLifetime) {
    const float origin[3] = {1, 2, 3}, drift[3] = {0.1f, 0.2f, -0.3f};
    for (int i = 0; i < 3; ++i) {
        emitSmoke(origin, drift);
    }
    smoke.particles[1].life = 0;
    emitSmoke(drift, origin);
    EXPECT_EQ(smoke.particles[1].x, drift[0]);
    for (int i = 0; i < smokeCapacity; ++i) {
        emitSmoke(origin, drift);
    }
    const SmokeSystem full = smoke;
    emitSmoke(drift, drift); // dropped
    EXPECT_EQ(std::memcmp(&full, &smoke, sizeof smoke), 0);
    for (const uint32_t rate : {50u, 5u}) { // one second of drift, at any rate
        resetSmoke();
        emitSmoke(origin, drift);
        uint32_t updates = 0;
        for (; smoke.particles[0].life > 0 && updates < 100; ++updates) {
            updateSmoke(rate);
        }
        EXPECT_EQ(updates, rate);
        EXPECT_NEAR(smoke.particles[0].x, 1 + 0.1f * rate, 1e-5f);
    }
    EXPECT_FLOAT_EQ(smokeAlpha(75), 0.5f); // in over the first half of its life, out over the second
    EXPECT_FLOAT_EQ(smokeAlpha(50), 1.0f);
    EXPECT_FLOAT_EQ(smokeAlpha(0), 0.0f);
}

TEST_F(VehicleTest, SmokeFromAcceleratorBrakeAndSlide) {
    hold({'W'}); // a front pair with the vehicle's drift, then a pause of rate / 20 frames
    for (auto [rate, pause] : {std::pair{19u, 0}, {20u, 1}, {40u, 2}, {60u, 3}}) {
        fresh(v);
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
    hold({'W'}, false);
    hold({'S'}); // the brake: a rear pair once the vehicle moves beyond the dead band
    fresh(v);
    v.speed = 0.05f;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(liveSmoke(), 0);
    v.speed = -0.2f;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(smoke.particles[0].x, v.wheelContact[2][0]);
    hold({'S'}, false); // sliding: the front above 5 degrees, both pairs above 10
    for (auto [slide, puffs] : {std::pair{7.0f, 2}, {11.0f, 4}}) {
        fresh(v);
        v.course = slide;
        emitVehicleSmoke(v, 50, 0, 0);
        EXPECT_EQ(liveSmoke(), puffs);
    }
}

TEST_F(VehicleTest, TickAgesTheSmokeBeforeTheVehiclesEmitAndDragsTheLight) {
    for (Vehicle& vehicle : vehicles) {
        freshVehicle(vehicle);
    }
    hold({'W'});
    advanceSimulation(50);
    EXPECT_EQ(liveSmoke(), 6);
    EXPECT_EQ(smoke.particles[0].life, 100.0f); // emitted this tick, not yet aged
    advanceSimulation(50);
    EXPECT_EQ(smoke.particles[0].life, 98.0f);
    lightPosition[0] = lightPosition[2] = 0;
    input.deltaX = 10;
    input.deltaY = -4;
    advanceSimulation(50);
    EXPECT_EQ(lightPosition[0], 0.0f); // no button, no light
    input.leftButton = 1;
    advanceSimulation(50);
    EXPECT_EQ(lightPosition[0], 10.0f);
    EXPECT_EQ(lightPosition[2], -4.0f);
}

} // namespace
