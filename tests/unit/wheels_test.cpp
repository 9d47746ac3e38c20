// wheels_test.cpp -- Ackermann angles, contact points, the sprung wheels and the attitude.
#include <gtest/gtest.h>

#include <cmath>

#include "support/vehicle_fixture.h"

namespace {

constexpr double pi = 3.141592654;

class WheelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetWorld();
        freshVehicle(v);
    }
    static Vehicle v;
};

Vehicle WheelsTest::v;

TEST_F(WheelsTest, SteeringAnglesStraightRightAndLeft) {
    updateWheelAngles(v, 50);
    // Straight: about atan(b / 4658) in degrees.
    const double straight = std::atan(2.4 / 4658.0) * 180 / pi;
    EXPECT_NEAR(v.wheelSteer[0], straight, 1e-3);
    EXPECT_NEAR(v.wheelSteer[1], straight, 1e-3);
    EXPECT_GT(v.wheelSteer[0], 0.0f);
    v.steerAngle = 20;
    updateWheelAngles(v, 50);
    EXPECT_GT(v.wheelSteer[0], 1.0f);
    EXPECT_LT(v.wheelSteer[0], 90.0f);
    // The inner wheel (the right one, wheelX[1], turning right) turns further.
    EXPECT_GT(v.wheelSteer[1], v.wheelSteer[0]);
    v.steerAngle = -20;
    updateWheelAngles(v, 50);
    EXPECT_GT(v.wheelSteer[0], 270.0f);
    EXPECT_LT(v.wheelSteer[0], 360.0f);
    EXPECT_LT(v.wheelSteer[0], v.wheelSteer[1]); // the left wheel is now the inner one
}

TEST_F(WheelsTest, WheelsRollWithTheirOwnSpeeds) {
    v.driveSpeed = 10;
    v.rearWheelSpeed = 5;
    updateWheelAngles(v, 50);
    // Straight ahead a wheel of radius 0.45 turns 360 / (0.45 x 2 pi) degrees a unit.
    const double perUnit = 360 / (0.45 * 6.283185307);
    EXPECT_NEAR(v.wheelSpin[0], perUnit * 10 / 50, 0.01);
    EXPECT_NEAR(v.wheelSpin[2], perUnit * 5 / 50, 0.01);
    // Turning, the outer wheels turn further than the inner ones.
    v.steerAngle = 20;
    const float before[4] = {v.wheelSpin[0], v.wheelSpin[1], v.wheelSpin[2], v.wheelSpin[3]};
    updateWheelAngles(v, 50);
    EXPECT_GT(v.wheelSpin[0] - before[0], v.wheelSpin[1] - before[1]);
    EXPECT_GT(v.wheelSpin[2] - before[2], v.wheelSpin[3] - before[3]);
}

TEST_F(WheelsTest, ContactPointsFollowTheHeading) {
    v.position[0] = 10;
    v.position[2] = 20;
    updateWheelContacts(v);
    // Heading 0 faces -z: the front axle is 2.4 toward -z, wheelX along x.
    EXPECT_NEAR(v.wheelContact[0][0], 10 - 0.72f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[0][2], 20 - 2.4f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[1][0], 10 + 0.72f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[3][0], 10 + 0.72f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[3][2], 20, 1e-5f);
    // Heading 90 faces -x: the front axle is toward -x, wheelX[1] toward -z.
    v.heading = 90;
    updateWheelContacts(v);
    EXPECT_NEAR(v.wheelContact[0][0], 10 - 2.4f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[0][2], 20 + 0.72f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[1][2], 20 - 0.72f, 1e-5f);
    EXPECT_NEAR(v.wheelContact[2][0], 10, 1e-5f);
}

TEST_F(WheelsTest, LandingOnLevelGround) {
    flattenTerrain(40); // 2 units high everywhere
    stepVehicle(v, 50);
    for (int wheel = 0; wheel < 4; ++wheel) {
        EXPECT_FLOAT_EQ(v.wheelHeight[wheel], 2.0f);
        EXPECT_FLOAT_EQ(v.wheelContact[wheel][1], 2.0f);
    }
    EXPECT_EQ(v.pitch, 0.0f);
    EXPECT_EQ(v.roll, 0.0f);
    EXPECT_FLOAT_EQ(v.position[1], 2.0f);
    EXPECT_FLOAT_EQ(v.climb, 2.0f);
    EXPECT_TRUE(v.frontOnGround);
    EXPECT_TRUE(v.rearOnGround);
}

TEST_F(WheelsTest, DrivingOffADropFallsAtFiftyAndLandsExactly) {
    // Wheels 1 unit up, the ground at 0 below: they fall.
    for (int wheel = 0; wheel < 4; ++wheel) {
        v.wheelHeight[wheel] = 1.0f;
        v.wheelContact[wheel][0] = v.wheelContact[wheel][2] = 0;
    }
    updateGroundHeights(v);
    updateSuspension(v, 50);
    EXPECT_NEAR(v.wheelVerticalSpeed[0], -1.0f, 1e-5f); // 50 / 50 off in one step
    EXPECT_NEAR(v.wheelHeight[0], 1.0f - 1.0f / 50, 1e-5f);
    updateGroundFlags(v);
    EXPECT_FALSE(v.frontOnGround);
    EXPECT_FALSE(v.rearOnGround);
    updateSuspension(v, 50);
    EXPECT_NEAR(v.wheelVerticalSpeed[0], -2.0f, 1e-5f);
    int steps = 2;
    while (v.wheelHeight[0] > 0 && steps < 100) {
        updateSuspension(v, 50);
        ++steps;
    }
    EXPECT_EQ(v.wheelHeight[0], 0.0f); // exactly on the ground
    updateSuspension(v, 50);
    EXPECT_EQ(v.wheelHeight[0], 0.0f);
    EXPECT_EQ(v.wheelVerticalSpeed[0], 0.0f); // still by the following step
    EXPECT_NEAR(steps, 10, 2); // 1 unit at 50 units/s^2 takes 0.2 s
    updateGroundFlags(v);
    EXPECT_TRUE(v.frontOnGround);
}

TEST_F(WheelsTest, OneWheelOffTheGroundKeepsItsAxleOnIt) {
    v.wheelHeight[0] = 1.0f;
    updateGroundHeights(v);
    updateGroundFlags(v);
    EXPECT_TRUE(v.frontOnGround);
    v.wheelHeight[1] = 0.5f;
    updateGroundFlags(v);
    EXPECT_FALSE(v.frontOnGround);
    EXPECT_TRUE(v.rearOnGround);
}

TEST_F(WheelsTest, RiseThrowsTheWheelUp) {
    // The wheel meets ground 0.5 higher: it is lifted at once, with the speed that did it.
    v.wheelContact[0][1] = 0.5f;
    v.wheelHeight[0] = 0;
    // updateSuspension reads the contact height already found.
    updateSuspension(v, 50);
    EXPECT_FLOAT_EQ(v.wheelHeight[0], 0.5f);
    EXPECT_NEAR(v.wheelVerticalSpeed[0], 25.0f, 1e-4f);
    // Over level ground beyond the rise it keeps flying up.
    updateSuspension(v, 50);
    EXPECT_GT(v.wheelHeight[0], 0.9f);
    updateGroundFlags(v);
    EXPECT_FALSE(v.wheelHeight[0] <= v.wheelContact[0][1]);
}

TEST_F(WheelsTest, CeilingTurnsAWheelBackDown) {
    v.wheelContact[0][1] = 0;
    v.wheelHeight[0] = 24.9f;
    v.wheelVerticalSpeed[0] = 30;
    updateSuspension(v, 50);
    EXPECT_EQ(v.wheelVerticalSpeed[0], -1.0f);
}

TEST_F(WheelsTest, AttitudeSigns) {
    v.wheelHeight[0] = v.wheelHeight[1] = 1.0f; // front higher
    updateAttitude(v);
    EXPECT_GT(v.pitch, 0.0f);
    EXPECT_NEAR(v.pitch, std::atan(1.0 / 2.4) * 180 / pi, 1e-4);
    EXPECT_EQ(v.roll, 0.0f);
    v.wheelHeight[0] = v.wheelHeight[2] = 0;
    v.wheelHeight[1] = v.wheelHeight[3] = 1.44f; // the wheelX[1] side higher
    updateAttitude(v);
    EXPECT_GT(v.roll, 0.0f);
    EXPECT_NEAR(v.roll, 45.0f, 1e-3f);
    EXPECT_NEAR(v.pitch, 0.0f, 1e-5f);
    // The body height is the mean of the rear wheels for a symmetric layout.
    EXPECT_NEAR(v.position[1], 0.72f, 1e-5f);
    EXPECT_NEAR(v.climb, 0.72f, 1e-5f);
}

TEST_F(WheelsTest, FirstStepLiftsEveryWheelOntoTheStartArea) {
    // The generated start area is level at 0: the first step leaves everything at rest.
    stepVehicle(v, 60);
    for (int wheel = 0; wheel < 4; ++wheel) {
        EXPECT_EQ(v.wheelVerticalSpeed[wheel], 0.0f);
    }
    EXPECT_EQ(v.climb, 0.0f);
}

} // namespace
