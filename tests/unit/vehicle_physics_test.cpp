// vehicle_physics_test.cpp -- the driving model step by step: keys, traction,
// steering, yaw, drift, the square's edge and coasting.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/win_messages.h"
#include "support/vehicle_fixture.h"

namespace {

class PhysicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        freshVehicle(v);
    }
    // Both axles in the air and far above the ground: no traction, no slope,
    // the keys' own effect alone (the wheels are put back up after each step).
    void stepInTheAir(uint32_t rate = 50) {
        v.frontOnGround = false;
        v.rearOnGround = false;
        for (float& h : v.wheelHeight) {
            h = 20;
        }
        stepVehicle(v, rate);
    }
    static Vehicle v;
};

Vehicle PhysicsTest::v;

TEST_F(PhysicsTest, WorkedStepAtFiftyFramesASecond) {
    input.keys[letterKey('W')] = 1;
    stepVehicle(v, 50);
    EXPECT_NEAR(v.driveSpeed, 0.36f, 1e-6f);      // 0.6 from the key, less 0.24 of traction
    EXPECT_NEAR(v.speed, 0.218182f, 1e-6f);       // +0.436364 from the front, -0.218182 to the rear
    EXPECT_NEAR(v.rearWheelSpeed, 0.24f, 1e-6f);
    EXPECT_EQ(v.course, v.heading);
    EXPECT_EQ(v.heading, 0.0f);
    EXPECT_EQ(v.steerAngle, 0.0f);
    EXPECT_EQ(v.yawRate, 0.0f);
    EXPECT_NEAR(v.position[2], -0.0043636f, 1e-7f);
    EXPECT_EQ(v.position[0], 0.0f);
    EXPECT_EQ(v.position[1], 0.0f);
    EXPECT_TRUE(v.frontOnGround);
    EXPECT_TRUE(v.rearOnGround);
    EXPECT_EQ(v.pitch, 0.0f);
    EXPECT_EQ(v.roll, 0.0f);
}

TEST_F(PhysicsTest, StandingStillOnFlatGroundChangesNothing) {
    v.position[0] = 12.0f;
    for (int i = 0; i < 200; ++i) {
        stepVehicle(v, 60);
    }
    EXPECT_EQ(v.position[0], 12.0f);
    EXPECT_EQ(v.position[1], 0.0f);
    EXPECT_EQ(v.position[2], 0.0f);
    EXPECT_EQ(v.speed, 0.0f);
    EXPECT_EQ(v.driveSpeed, 0.0f);
    EXPECT_EQ(v.rearWheelSpeed, 0.0f);
    EXPECT_EQ(v.heading, 0.0f);
    EXPECT_EQ(v.course, 0.0f);
    EXPECT_EQ(v.wheelSpin[0], 0.0f);
    EXPECT_EQ(liveSmoke(), 0);
}

TEST_F(PhysicsTest, AcceleratorRaisesDriveSpeedUpToTopSpeed) {
    input.keys[letterKey('W')] = 1;
    float highest = 0;
    for (int i = 0; i < 3000; ++i) {
        const float before = v.driveSpeed;
        stepInTheAir();
        highest = std::max(highest, v.driveSpeed);
        // In the air the key's 30 / R is the whole change, until top speed.
        if (before < v.topSpeed) {
            ASSERT_NEAR(v.driveSpeed - before, 0.6f, 1e-4f);
        } else {
            ASSERT_EQ(v.driveSpeed, before);
        }
    }
    EXPECT_GE(highest, v.topSpeed);
    EXPECT_LT(highest, v.topSpeed + 0.6f);
    // On the ground it takes the vehicle up to about 125 km/h.
    freshVehicle(v);
    for (int i = 0; i < 3000; ++i) {
        stepVehicle(v, 50);
        v.position[2] = 0; // stay on the flat start
    }
    EXPECT_NEAR(v.speed * 3.6f, 125.0f, 3.0f);
}

TEST_F(PhysicsTest, ReverseIsCappedAndBackingNeverDrifts) {
    input.keys[letterKey('Z')] = 1;
    input.keys[letterKey('A')] = 1; // steering left while backing
    for (int i = 0; i < 600; ++i) {
        stepVehicle(v, 50);
        ASSERT_EQ(v.course, v.heading) << i;
        v.position[0] = v.position[2] = 0;
    }
    EXPECT_LT(v.speed, -5.0f);
    EXPECT_NE(v.heading, 0.0f); // it did turn
    // The key lowers the drive speed only while it is above -9.722222.
    freshVehicle(v);
    float lowest = 0;
    for (int i = 0; i < 100; ++i) {
        const float before = v.driveSpeed;
        stepInTheAir();
        lowest = std::min(lowest, v.driveSpeed);
        if (before <= -v.topReverseSpeed) {
            ASSERT_EQ(v.driveSpeed, before);
        }
    }
    EXPECT_LE(lowest, -9.722222f);
    EXPECT_GE(lowest, -9.722222f - 0.6f);
}

TEST_F(PhysicsTest, BrakeSlowsTheWheelsOnlyWhenNeitherPedalApplies) {
    v.driveSpeed = 10;
    v.rearWheelSpeed = 10;
    input.keys[letterKey('S')] = 1;
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 10 - 32.5f / 50, 1e-5f);
    EXPECT_NEAR(v.rearWheelSpeed, 10 - 65.0f / 50, 1e-5f);
    // With the accelerator held below top speed the brake is not looked at.
    input.keys[letterKey('W')] = 1;
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 10 - 32.5f / 50 + 0.6f, 1e-5f);
    EXPECT_NEAR(v.rearWheelSpeed, 10 - 65.0f / 50, 1e-5f);
    // At top speed the accelerator case fails, and the brake acts again.
    v.driveSpeed = v.topSpeed;
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, v.topSpeed - 32.5f / 50, 1e-4f);
    // The brake crosses zero without a clamp: the dead band then stops the wheel.
    input.keys[letterKey('W')] = 0;
    v.rearWheelSpeed = 1.0f;
    stepInTheAir();
    EXPECT_NEAR(v.rearWheelSpeed, 1.0f - 1.3f, 1e-5f);
}

TEST_F(PhysicsTest, DeadBandsStopSlowWheels) {
    v.driveSpeed = 0.09f; // below 5 / 50
    v.rearWheelSpeed = -0.05f;
    stepInTheAir();
    EXPECT_EQ(v.driveSpeed, 0.0f);
    EXPECT_EQ(v.rearWheelSpeed, 0.0f);
    v.driveSpeed = 0.11f;
    stepInTheAir();
    EXPECT_NEAR(v.driveSpeed, 0.11f, 1e-7f);
    // speed itself is never snapped: in the air the drag pulls it across zero
    // and back again.
    v.speed = 0.05f;
    stepInTheAir();
    EXPECT_NEAR(v.speed, 0.05f, 1e-6f);
    v.speed = 0.35f;
    stepInTheAir();
    EXPECT_NEAR(v.speed, 0.15f, 1e-6f);
}

TEST_F(PhysicsTest, SteeringLimitShrinksWithSpeed) {
    input.keys[letterKey('D')] = 1;
    float highest = 0;
    for (int i = 0; i < 100; ++i) {
        v.speed = 0;
        stepInTheAir();
        highest = std::max(highest, v.steerAngle);
    }
    EXPECT_GE(highest, 25.0f); // the limit at rest is maxSteer
    EXPECT_LE(highest, 25.0f + 1.2f + 1e-4f);
    // At 30 units a second the limit is about 4.99 degrees: the angle hovers there.
    const double limit = 25 / std::fabs(30 / 6.0 + 0.0123);
    for (int i = 0; i < 100; ++i) {
        v.speed = 30;
        stepInTheAir();
        if (i > 30) {
            ASSERT_LE(v.steerAngle, limit + 1.2 + 1e-4);
            ASSERT_GE(v.steerAngle, limit - 1.8 - 1e-4);
        }
    }
    // Let go: the wheel returns to centre at 90 degrees a second, then snaps to 0.
    input.keys[letterKey('D')] = 0;
    v.steerAngle = 3.0f;
    v.speed = 0;
    stepInTheAir();
    EXPECT_NEAR(v.steerAngle, 1.2f, 1e-5f);
    stepInTheAir();
    EXPECT_EQ(v.steerAngle, 0.0f);
    input.keys[letterKey('A')] = 1;
    stepInTheAir();
    EXPECT_NEAR(v.steerAngle, -1.2f, 1e-5f);
}

TEST_F(PhysicsTest, YawFollowsSteeringAndCourseTrailsTheHeading) {
    // Held at 10 degrees before each step (the centring takes it to 8.2 within it).
    for (int i = 0; i < 100; ++i) {
        v.speed = v.driveSpeed = v.rearWheelSpeed = 10;
        v.steerAngle = 10;
        stepVehicle(v, 50);
    }
    // The yaw rate settles at steerAngle x speed / R degrees a step, to the right.
    EXPECT_NEAR(v.yawRate, v.steerAngle * v.speed / 50, 0.15f);
    EXPECT_GT(v.yawRate, 1.0f);
    EXPECT_LT(v.heading, -100.0f);
    // The course trails the heading by what its follow rate cannot make up.
    EXPECT_LT(v.course, v.heading + 5.0f);
    EXPECT_GT(v.course, v.heading);
}

TEST_F(PhysicsTest, BrakingMakesTheCourseFollowAtThreeTenths) {
    v.speed = 20;
    v.heading = 30;
    v.course = 0;
    v.frontOnGround = v.rearOnGround = false;
    for (float& h : v.wheelHeight) {
        h = 20;
    }
    Vehicle braking = v;
    stepVehicle(v, 50);
    input.keys[letterKey('S')] = 1;
    stepVehicle(braking, 50);
    const double speedAfterDrag = 20 - 0.2;
    const double normalStep = 30 / (speedAfterDrag / 75 + 0.0123) / 50;
    EXPECT_NEAR(v.course, normalStep, 1e-3);
    EXPECT_NEAR(braking.course, 0.3 * normalStep, 1e-3);
}

TEST_F(PhysicsTest, EdgeOfTheSquareStopsEachAxisOnItsOwn) {
    v.position[0] = 87.45f;
    v.position[2] = 10.0f;
    v.heading = v.course = -45; // toward +x and -z
    v.speed = v.driveSpeed = v.rearWheelSpeed = 20;
    input.keys[letterKey('W')] = 1;
    for (int i = 0; i < 20; ++i) {
        stepVehicle(v, 50);
        ASSERT_LT(v.position[0], 87.5f);
        ASSERT_GT(v.position[0], -87.5f);
    }
    EXPECT_LT(v.position[2], 9.0f); // it slid along the edge
    EXPECT_GT(v.speed, 15.0f);      // and the edge took no speed
    v.position[2] = -87.45f;
    v.heading = v.course = 180; // toward +z: moving away from the -z edge is fine
    stepVehicle(v, 50);
    EXPECT_GT(v.position[2], -87.45f);
}

TEST_F(PhysicsTest, CoastingEndsWithSpeedAlternatingInSign) {
    v.speed = v.driveSpeed = v.rearWheelSpeed = 10;
    float previous = 0;
    int flips = 0;
    for (int i = 0; i < 2000; ++i) {
        stepVehicle(v, 50);
        v.position[0] = v.position[2] = 0;
        if (i >= 1900) {
            flips += (previous > 0) != (v.speed > 0) ? 1 : 0;
            ASSERT_LT(std::fabs(v.speed), 1.0f);
            ASSERT_NE(v.speed, 0.0f);
        }
        previous = v.speed;
    }
    EXPECT_GT(flips, 80);
}

TEST_F(PhysicsTest, ClimbPushesTowardPlusXAndPlusZ) {
    v.climb = 0.5f;
    v.frontOnGround = v.rearOnGround = false;
    for (float& h : v.wheelHeight) {
        h = 20;
    }
    stepVehicle(v, 50);
    EXPECT_NEAR(v.position[0], 0.5f / 50, 1e-6f);
    EXPECT_NEAR(v.position[2], 0.5f / 50, 1e-6f);
}

TEST_F(PhysicsTest, SlopeTermUsesTheHeightDifferenceOfTheAxles) {
    // Rear ground 1 unit higher than the front: speed gains 20 x atan(1) / R.
    v.wheelContact[2][1] = v.wheelContact[3][1] = 1.0f;
    const double before = v.speed;
    v.rearOnGround = false;
    v.frontOnGround = true;
    v.driveSpeed = 0;
    stepVehicle(v, 50);
    // Then the drag and the front traction act on it.
    const double afterSlope = before + 20 * std::atan(1.0) / 50 - 0.1;
    EXPECT_NEAR(v.speed, afterSlope - 2 * 12 / 1.1 / 50, 1e-5);
}

TEST_F(PhysicsTest, VehicleWithoutUsableWheelsStaysPut) {
    for (int broken = 0; broken < 4; ++broken) {
        freshVehicle(v);
        v.position[0] = 2;
        if (broken == 0) {
            v.model.wheelZ[0] = v.model.wheelZ[1] = 0; // no wheelbase
        } else if (broken == 1) {
            v.model.wheelX[0] = v.model.wheelX[1] = 0.5f; // no track
        } else if (broken == 2) {
            v.model.wheelRadius = 0; // no wheels at all
        } else {
            v.model.wheelRadius = NAN;
        }
        input.keys[letterKey('W')] = 1;
        input.keys[letterKey('D')] = 1;
        for (int i = 0; i < 50; ++i) {
            stepVehicle(v, 50);
        }
        EXPECT_EQ(v.position[0], 2.0f) << broken;
        EXPECT_EQ(v.position[1], 0.0f) << broken;
        EXPECT_EQ(v.speed, 0.0f) << broken;
        EXPECT_FALSE(std::isnan(v.pitch));
    }
    EXPECT_EQ(liveSmoke(), 0);
}

TEST_F(PhysicsTest, KeyCodesOutsideTheKeyArrayAreNeverHeld) {
    v.keyAccelerate = 300;
    v.keyRight = -5;
    std::memset(input.keys, 1, sizeof input.keys);
    EXPECT_FALSE(keyHeld(300));
    EXPECT_FALSE(keyHeld(-1));
    EXPECT_TRUE(keyHeld(255));
    v.keyReverse = v.keyLeft = v.keyBrake = 1000;
    stepVehicle(v, 50);
    EXPECT_EQ(v.driveSpeed, 0.0f);
    EXPECT_EQ(v.steerAngle, 0.0f);
}

} // namespace

#include "platform/fake/fake_platform.h"
#include "support/temp_dir.h"

namespace {

TEST(VehicleSetUp, ModelWithoutWheelsSaysSoAndTheVehicleStays) {
    resetWorld();
    resetFakePlatform();
    TempDir dir;
    WorkingDirectory here(dir.path());
    static Vehicle v;
    std::memset(&v, 0, sizeof v);
    dir.write("Models/Model01.obj", "vertex: 0 1 2 3\n"); // read, but no wheel record
    initVehicle(v, 2);
    EXPECT_EQ(fake.captions(), "Error -1");
    EXPECT_EQ(fake.messageBoxes[0].text, "Vehicle model has no usable wheels!");
    EXPECT_FALSE(hasUsableWheelLayout(v.model));
    EXPECT_EQ(v.topSpeed, 34.72222f); // still set up
    // A missing file has its own message, and only that one.
    resetFakePlatform();
    std::memset(&v, 0, sizeof v);
    std::remove("Models/Model01.obj");
    initVehicle(v, 2);
    EXPECT_EQ(fake.captions(), "Error -1");
    EXPECT_EQ(fake.messageBoxes[0].text, "Unable to load vehModel!");
}

} // namespace
