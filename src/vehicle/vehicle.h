// vehicle.h -- a vehicle as the simulation keeps it: its record, set-up and physics step.
// No GL, no keys, no globals: everything it reads comes in by argument.
#pragma once

#include <cstdint>

#include "common/vehicles.h"

// A vehicle's controls for one step, as whoever drives it gives them: its
// keys and pad, a computer driver, a replay. The step reads nothing else.
struct VehicleControls {
    bool accelerate;
    bool reverse;
    bool left;
    bool right;
    bool brake;
    bool rescue; // set back on the course at rest: on the step it goes down
    // The vehicle's player takes it from the computer at this step. The step
    // sets it where a player's touch hands a vehicle over, so that a recording
    // keeps the moment; a replay's controls carry it back.
    bool takeOver;
};

// Whether any of the six a player gives is on (a hand-over is none of them).
inline bool anyControl(const VehicleControls& c) {
    return c.accelerate || c.reverse || c.left || c.right || c.brake || c.rescue;
}

// Steps a rescued vehicle's controls are held dead, standing where it was set.
constexpr int32_t rescueHoldSteps = 60;

// Where a vehicle's wheels stand on its body (the model's layout): all the
// physics needs of the model. Wheels 0 and 2 at wheelX[0], 1 and 3 at wheelX[1].
struct WheelLayout {
    float wheelX[2];  // [0] wheels drawn unturned, [1] wheels turned by 180 degrees
    float wheelZ[2];  // [0] front (steered) axle, [1] rear axle
    float wheelWidth;
    float wheelRadius; // also the height by which the body is drawn
};

// One vehicle as the simulation keeps it: what it drives by, where it is, how
// it moves. What it looks like and whose keys drive it live elsewhere.
struct Vehicle {
    VehicleControls controls; // this step's, filled before the step
    int32_t frontSmokeTimer; // steps before the front wheels may smoke again; 0 = may
    int32_t rearSmokeTimer;
    int32_t rescueHold;      // steps its controls stay dead after a rescue; 0 = live
    bool ownMath;            // its step takes the game's own sine, cosine and arctangent (an older simulation's: the C library's)
    WheelLayout layout;
    float position[3];      // centre of the rear axle on the ground; y is the body height
    float pitch;            // degrees, positive nose up
    float heading;          // degrees, unbounded; 0 faces -z, rising turns left
    float roll;             // degrees, positive when the wheelX[1] side is higher
    float steerAngle;       // degrees: negative steers left
    float wheelSteer[2];    // Ackermann angles of the front wheels, degrees
    float wheelSpin[4];     // rolling angles, degrees, unbounded
    float speed;            // ground speed along course, units per second
    float driveSpeed;       // driven front wheels, units per second
    float rearWheelSpeed;   // free rear wheels, units per second
    float yawRate;          // turn of heading per step, degrees
    float climb;            // change of position y in the last step
    float course;           // direction of travel, degrees; trails heading
    float wheelHeight[4];   // height of each wheel's contact (the suspension state)
    float wheelVerticalSpeed[4];
    bool rearOnGround;
    bool frontOnGround;
    float wheelContact[4][3]; // world point under each wheel: its x, z and the ground height
    float topSpeed;
    float topReverseSpeed;
    float maxSteer;
    float acceleration;
    float brakeDeceleration;
    float steerRate;
    float rollingDrag;
    float grip;
    float mass;
};

struct TerrainMap;
struct SmokeSystem;

// Every speed, angle and wheel state to zero, both axles on the ground, and
// the nine driving parameters.
void resetVehicle(Vehicle& vehicle);

// The point between the axles, on the ground plane: (x, z). The rear axle's
// centre lies half a wheelbase behind it along the heading.
void vehicleCentre(const Vehicle& vehicle, float (&centre)[2]);

// Puts a vehicle at rest with its centre at (x, z), facing heading: every speed,
// angle and timer back to its start (resetVehicle), its wheels settled on the
// terrain under them. The wheel layout stays.
void placeVehicleAtRest(Vehicle& vehicle, const TerrainMap& ground, float x, float z, float heading);

// True when the wheelbase, track and wheel radius are finite and of a size the
// physics can divide by. A vehicle without one is left out of the physics and
// stands where it was put.
bool hasUsableWheelLayout(const WheelLayout& layout);

// One step of driving for one vehicle, 1 / frameRate seconds long (the game
// always steps at stepsPerSecond), by its controls record: speeds, steering,
// yaw, drift, motion inside the square, wheels on the ground, attitude, and
// tyre smoke into the pool.
void stepVehicle(Vehicle& vehicle, const TerrainMap& ground, SmokeSystem& smoke, uint32_t frameRate);

// The vehicles' part of one step: the smoke moves and ages, then each vehicle
// takes its controls and steps, 0 to 2 (a parked one stands where it is). A pure function of the records, the
// ground, the controls and the step's length.
void stepVehicles(Vehicle (&field)[vehicleCount], const VehicleControls (&controls)[vehicleCount],
                  const TerrainMap& ground, SmokeSystem& smoke, uint32_t frameRate,
                  const bool (&parked)[vehicleCount]);

// The wheel half of the step, in its order: rolling and steering angles,
// contact points, ground heights, suspension, on-ground flags, attitude.
void updateWheelAngles(Vehicle& vehicle, uint32_t frameRate);
void updateWheelSteer(Vehicle& vehicle); // the front wheels' angles from steerAngle alone
void updateWheelContacts(Vehicle& vehicle);
void updateGroundHeights(Vehicle& vehicle, const TerrainMap& ground);
void updateSuspension(Vehicle& vehicle, uint32_t frameRate);
void updateGroundFlags(Vehicle& vehicle);
void updateAttitude(Vehicle& vehicle);

// Smoke from the wheel pairs that spin, lock or slide, with the step's
// displacement (dx, dz) and climb.
void emitVehicleSmoke(Vehicle& vehicle, SmokeSystem& smoke, uint32_t frameRate, double dx, double dz);

// How hard the tyres scrub, 0 .. 1: above 0 exactly when the vehicle slides or
// brakes hard enough to smoke (the accelerator's own smoke aside), rising with
// the slide.
float tyreScrub(const Vehicle& vehicle, uint32_t frameRate);
