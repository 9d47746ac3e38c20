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
    // Far above the ground: no traction and no slope, only the keys' own effect.
    void stepInTheAir(uint32_t rate = 50) {
        v.frontOnGround = v.rearOnGround = false;
        for (float& h : v.wheelHeight) {
            h = 20;
        }
        stepVehicle(v, rate);
    }
    static void hold(char key, bool down = true) { input.keys[letterKey(key)] = down ? 1 : 0; }
    static Vehicle v;
};

Vehicle VehicleTest::v;

TEST_F(VehicleTest, WorkedStepAtFiftyFramesASecond) {
    hold('W');
    stepVehicle(v, 50);
    EXPECT_NEAR(v.driveSpeed, 0.36f, 1e-6f); // 0.6 from the key, less 0.24 of traction
    EXPECT_NEAR(v.speed, 0.218182f, 1e-6f);  // +0.436364 from the front, -0.218182 to the rear
    EXPECT_NEAR(v.rearWheelSpeed, 0.24f, 1e-6f);
    EXPECT_NEAR(v.position[2], -0.0043636f, 1e-7f); // heading 0 drives toward -z
    EXPECT_EQ(v.position[0], 0.0f);
    EXPECT_EQ(v.pitch, 0.0f);
    // Standing still on the flat changes nothing, however long.
    freshVehicle(v);
    resetSmoke();
    hold('W', false);
    for (int i = 0; i < 200; ++i) {
        stepVehicle(v, 60);
    }
    EXPECT_EQ(v.position[2], 0.0f);
    EXPECT_EQ(v.speed, 0.0f);
    EXPECT_EQ(liveSmoke(), 0);
}

TEST_F(VehicleTest, PedalsTopSpeedReverseAndBrake) {
    hold('W');
    for (int i = 0; i < 100; ++i) {
        const float before = v.driveSpeed;
        stepInTheAir();
        // 30 a second at 50 frames a second, until 125 km/h is passed.
        ASSERT_NEAR(v.driveSpeed - before, before < v.topSpeed ? 0.6f : 0.0f, 1e-4f);
    }
    EXPECT_NEAR(v.driveSpeed * 3.6f, 125.0f, 0.6f * 3.6f);
    // On the ground traction takes the vehicle itself up to about 125 km/h.
    freshVehicle(v);
    for (int i = 0; i < 3000; ++i) {
        stepVehicle(v, 50);
        v.position[2] = 0; // stay on the flat
    }
    EXPECT_NEAR(v.speed * 3.6f, 125.0f, 3.0f);
    // Reverse stops lowering the drive speed at -35 km/h.
    hold('W', false);
    hold('Z');
    freshVehicle(v);
    for (int i = 0; i < 100; ++i) {
        stepInTheAir();
    }
    EXPECT_NEAR(v.driveSpeed * 3.6f, -35.0f, 0.6f * 3.6f);
    // The brake acts only when neither pedal does: half its 65 on the drive,
    // all of it on the rear wheels.
    hold('Z', false);
    hold('S');
    v.driveSpeed = v.rearWheelSpeed = 10;
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 10 - 0.65f, 1e-5f);
    EXPECT_NEAR(v.rearWheelSpeed, 10 - 1.3f, 1e-5f);
    hold('W');
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 10 - 0.65f + 0.6f, 1e-5f);
    EXPECT_NEAR(v.rearWheelSpeed, 10 - 1.3f, 1e-5f);
}

TEST_F(VehicleTest, DeadBandsStopSlowWheelsButNotTheVehicle) {
    v.driveSpeed = 0.09f; // below the drag of 5 / 50
    v.rearWheelSpeed = -0.05f;
    stepInTheAir();
    EXPECT_EQ(v.driveSpeed, 0.0f);
    EXPECT_EQ(v.rearWheelSpeed, 0.0f);
    v.driveSpeed = 0.11f;
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 0.11f, 1e-7f);
    v.speed = 0.35f; // in the air the drag acts twice, and speed is never snapped
    stepInTheAir();
    EXPECT_NEAR(v.speed, 0.15f, 1e-6f);
}

TEST_F(VehicleTest, SteeringLimitShrinksWithSpeedAndTheWheelCentres) {
    hold('D');
    for (int i = 0; i < 100; ++i) {
        v.speed = 0;
        stepInTheAir();
    }
    EXPECT_NEAR(v.steerAngle, 25.0f, 1.2f + 1e-4f); // the limit at rest
    for (int i = 0; i < 100; ++i) {
        v.speed = 30; // 25 / (30 / 6 + 0.0123): about 4.99 degrees
        stepInTheAir();
    }
    EXPECT_NEAR(v.steerAngle, 4.99f, 1.8f);
    // Let go: back at 90 degrees a second, then snapped to the centre.
    hold('D', false);
    v.steerAngle = 3.0f;
    v.speed = 0;
    stepInTheAir();
    EXPECT_NEAR(v.steerAngle, 1.2f, 1e-5f);
    stepInTheAir();
    EXPECT_EQ(v.steerAngle, 0.0f);
}

TEST_F(VehicleTest, UnderTheBrakeTheCourseFollowsAtThreeTenths) {
    v.speed = 20;
    v.heading = 30;
    Vehicle braking = v;
    stepInTheAir();
    const float normal = v.course;
    v = braking;
    hold('S');
    stepInTheAir();
    EXPECT_GT(normal, 1.0f);
    EXPECT_NEAR(v.course, 0.3f * normal, 1e-4f);
}

TEST_F(VehicleTest, EdgeOfTheSquareStopsEachAxisOnItsOwn) {
    v.position[0] = 87.45f;
    v.position[2] = 10.0f;
    v.heading = v.course = -45; // toward +x and -z
    v.speed = v.driveSpeed = v.rearWheelSpeed = 20;
    hold('W');
    for (int i = 0; i < 20; ++i) {
        stepVehicle(v, 50);
        ASSERT_LT(v.position[0], 87.5f);
    }
    EXPECT_LT(v.position[2], 9.0f); // it slid along the edge
    EXPECT_GT(v.speed, 15.0f);      // and the edge took no speed
}

TEST_F(VehicleTest, WithoutUsableWheelsTheVehicleStaysPut) {
    const auto breakings = {+[](VehicleModel& m) { m.wheelZ[0] = m.wheelZ[1] = 0; },
                            +[](VehicleModel& m) { m.wheelX[0] = m.wheelX[1] = 0.5f; },
                            +[](VehicleModel& m) { m.wheelRadius = 0; },
                            +[](VehicleModel& m) { m.wheelRadius = NAN; },
                            +[](VehicleModel& m) { m.wheelX[0] = 101; }};
    hold('W');
    hold('D');
    for (auto breakModel : breakings) {
        freshVehicle(v);
        breakModel(v.model);
        for (int i = 0; i < 50; ++i) {
            stepVehicle(v, 50);
        }
        EXPECT_EQ(v.position[2], 0.0f);
        EXPECT_EQ(v.speed, 0.0f);
        EXPECT_FALSE(std::isnan(v.pitch));
    }
    EXPECT_EQ(liveSmoke(), 0);
}

TEST_F(VehicleTest, KeyCodesAtTheEdgeOfTheKeyArray) {
    std::memset(input.keys, 1, sizeof input.keys);
    EXPECT_TRUE(keyHeld(0));
    EXPECT_TRUE(keyHeld(255));
    EXPECT_FALSE(keyHeld(256));
    EXPECT_FALSE(keyHeld(-1));
    v.keyAccelerate = 256;
    v.keyLeft = v.keyRight = v.keyReverse = v.keyBrake = -1;
    stepVehicle(v, 50);
    EXPECT_EQ(v.driveSpeed, 0.0f);
    EXPECT_EQ(v.steerAngle, 0.0f);
}

TEST(VehicleSetUp, ModelWithoutWheelsSaysSoAndAMissingOneOnlyThat) {
    resetWorld();
    resetFakePlatform();
    TempDir dir;
    WorkingDirectory here(dir.path());
    static Vehicle v;
    dir.write("Models/Model01.obj", "vertex: 0 1 2 3\n"); // read, but no wheel record
    initVehicle(v, 2);
    EXPECT_EQ(fake.captions(), "Error -1");
    EXPECT_EQ(fake.messageBoxes[0].text, "Vehicle model has no usable wheels!");
    resetFakePlatform();
    std::memset(&v, 0, sizeof v);
    std::remove("Models/Model01.obj");
    initVehicle(v, 2);
    EXPECT_EQ(fake.captions(), "Error -1");
    EXPECT_EQ(fake.messageBoxes[0].text, "Unable to load vehModel!");
}

TEST_F(VehicleTest, WheelsStandWhereTheHeadingPutsThem) {
    v.position[0] = 10;
    v.position[2] = 20;
    v.heading = 90; // facing -x: the front axle 2.4 toward -x, wheelX[1] toward -z
    updateWheelContacts(v);
    EXPECT_NEAR(v.wheelContact[0][0], 7.6f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[0][2], 20.72f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[1][2], 19.28f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[2][0], 10, 1e-5f);
    // Turning right, the inner (right) front wheel turns further; rolling, the
    // outer wheels spin further than the inner ones.
    v.steerAngle = 20;
    v.driveSpeed = v.rearWheelSpeed = 10;
    updateWheelAngles(v, 50);
    EXPECT_GT(v.wheelSteer[1], v.wheelSteer[0]);
    EXPECT_GT(v.wheelSpin[0], v.wheelSpin[1]);
    EXPECT_GT(v.wheelSpin[2], v.wheelSpin[3]);
    // Straight ahead a wheel of radius 0.45 turns 360 / (0.9 pi) degrees a unit.
    freshVehicle(v);
    v.driveSpeed = 10;
    updateWheelAngles(v, 50);
    EXPECT_NEAR(v.wheelSpin[0], 25.465f, 0.01f);
}

TEST_F(VehicleTest, WheelsFallAtFiftyLandExactlyAndAreThrownUpByARise) {
    for (float& h : v.wheelHeight) {
        h = 1.0f;
    }
    updateGroundHeights(v);
    int steps = 0;
    while (v.wheelHeight[0] > 0 && steps < 100) {
        updateSuspension(v, 50);
        ++steps;
    }
    EXPECT_EQ(steps, 10); // 1 unit at 50 units/s^2: 0.2 s
    EXPECT_EQ(v.wheelHeight[0], 0.0f);
    updateSuspension(v, 50);
    EXPECT_EQ(v.wheelVerticalSpeed[0], 0.0f);
    // One wheel up keeps its axle on the ground; both do not.
    v.wheelHeight[0] = 1.0f;
    updateGroundFlags(v);
    EXPECT_TRUE(v.frontOnGround);
    v.wheelHeight[1] = 0.5f;
    updateGroundFlags(v);
    EXPECT_FALSE(v.frontOnGround);
    // Ground 0.5 higher lifts the wheel at once, at the speed that did it.
    freshVehicle(v);
    v.wheelContact[0][1] = 0.5f;
    updateSuspension(v, 50);
    EXPECT_FLOAT_EQ(v.wheelHeight[0], 0.5f);
    EXPECT_NEAR(v.wheelVerticalSpeed[0], 25.0f, 1e-4f);
    // And a wheel flying past 25 units is turned back down.
    v.wheelHeight[0] = 24.9f;
    v.wheelVerticalSpeed[0] = 30;
    updateSuspension(v, 50);
    EXPECT_EQ(v.wheelVerticalSpeed[0], -1.0f);
}

TEST_F(VehicleTest, AttitudeFromTheWheelHeights) {
    v.wheelHeight[0] = v.wheelHeight[1] = 1.0f; // front 1 up over a 2.4 wheelbase
    updateAttitude(v);
    EXPECT_NEAR(v.pitch, 22.62f, 1e-2f);
    EXPECT_EQ(v.roll, 0.0f);
    v.wheelHeight[0] = v.wheelHeight[2] = 0;
    v.wheelHeight[1] = v.wheelHeight[3] = 1.44f; // the right side up over a 1.44 track
    updateAttitude(v);
    EXPECT_NEAR(v.roll, 45.0f, 1e-3f);
    EXPECT_NEAR(v.position[1], 0.72f, 1e-5f);
    // On level ground 2 units up every wheel sits at 2 after one step.
    freshVehicle(v);
    flattenTerrain(40);
    stepVehicle(v, 50);
    EXPECT_FLOAT_EQ(v.position[1], 2.0f);
    EXPECT_FLOAT_EQ(v.wheelContact[3][1], 2.0f);
}

const float origin[3] = {1, 2, 3};
const float drift[3] = {0.1f, 0.2f, -0.3f};

TEST_F(VehicleTest, SmokePoolLowestFreeSlotFullPoolAndLifetime) {
    for (int i = 0; i < 3; ++i) {
        emitSmoke(origin, drift);
    }
    smoke.particles[1].life = 0;
    emitSmoke(drift, origin);
    EXPECT_EQ(smoke.particles[1].x, drift[0]);
    EXPECT_EQ(smoke.particles[3].life, 0.0f);
    for (int i = 0; i < smokeCapacity; ++i) {
        emitSmoke(origin, drift);
    }
    const SmokeSystem full = smoke;
    emitSmoke(drift, drift); // dropped
    EXPECT_EQ(std::memcmp(&full, &smoke, sizeof smoke), 0);
    // A puff drifts by its velocity each update and lives one second, at any rate.
    for (const uint32_t rate : {50u, 5u}) {
        resetSmoke();
        emitSmoke(origin, drift);
        uint32_t updates = 0;
        while (smoke.particles[0].life > 0 && updates < 100) {
            updateSmoke(rate);
            ++updates;
        }
        EXPECT_EQ(updates, rate);
        EXPECT_NEAR(smoke.particles[0].x, 1 + 0.1f * rate, 1e-5f);
    }
    EXPECT_FLOAT_EQ(smokeAlpha(100), 0.0f);
    EXPECT_FLOAT_EQ(smokeAlpha(75), 0.5f);
    EXPECT_FLOAT_EQ(smokeAlpha(50), 1.0f);
    EXPECT_FLOAT_EQ(smokeAlpha(0), 0.0f);
}

TEST_F(VehicleTest, SmokeFromAcceleratorBrakeAndSlide) {
    // The accelerator: a front pair with the vehicle's drift, then a pause of
    // rate / 20 frames (none below 20 frames a second).
    hold('W');
    const struct {
        uint32_t rate;
        int32_t timer;
    } pauses[] = {{19, 0}, {20, 1}, {40, 2}, {60, 3}};
    for (const auto& c : pauses) {
        freshVehicle(v);
        resetSmoke();
        v.climb = 0.4f;
        emitVehicleSmoke(v, c.rate, 0.18, -0.36);
        EXPECT_EQ(v.frontSmokeTimer, c.timer) << c.rate;
        EXPECT_EQ(liveSmoke(), 2) << c.rate;
    }
    EXPECT_FLOAT_EQ(smoke.particles[0].vx, -0.1f);
    EXPECT_FLOAT_EQ(smoke.particles[0].vy, 0.2f);
    EXPECT_EQ(smoke.particles[0].x, v.wheelContact[0][0]);
    v.frontSmokeTimer = 0;
    v.frontOnGround = false; // none from wheels in the air
    emitVehicleSmoke(v, 60, 0, 0);
    EXPECT_EQ(liveSmoke(), 2);
    // The brake: a rear pair once the vehicle moves beyond the dead band.
    hold('W', false);
    hold('S');
    freshVehicle(v);
    resetSmoke();
    v.speed = 0.05f;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(liveSmoke(), 0);
    v.speed = -0.2f;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(liveSmoke(), 2);
    EXPECT_EQ(smoke.particles[0].x, v.wheelContact[2][0]);
    // Sliding: the front above 5 degrees, both pairs above 10, front first.
    hold('S', false);
    freshVehicle(v);
    resetSmoke();
    v.heading = 7;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(liveSmoke(), 2);
    freshVehicle(v);
    resetSmoke();
    v.course = 11;
    emitVehicleSmoke(v, 50, 0, 0);
    EXPECT_EQ(liveSmoke(), 4);
    EXPECT_EQ(smoke.particles[2].x, v.wheelContact[2][0]);
}

TEST_F(VehicleTest, TickAgesTheSmokeBeforeTheVehiclesEmitAndDragsTheLight) {
    for (Vehicle& vehicle : vehicles) {
        freshVehicle(vehicle);
    }
    hold('W');
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
