// vehicle.h -- the three vehicles: record, set-up, physics step, simulation tick, drawing.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "core/gamepads.h"

// A vehicle's five controls for one tick, as whoever drives it gives them: its
// keys and pad, a computer driver, a replay. The step reads nothing else.
struct VehicleControls {
    bool accelerate;
    bool reverse;
    bool left;
    bool right;
    bool brake;
};

struct Vehicle {
    int32_t keyReverse;     // virtual-key codes of the five controls
    int32_t keyLeft;
    int32_t keyBrake;
    int32_t keyRight;
    int32_t keyAccelerate;
    int32_t driver;         // 0..2: whose pad controls join the keys
    VehicleControls controls; // this tick's, filled before the step
    int32_t frontSmokeTimer; // steps before the front wheels may smoke again; 0 = may
    int32_t rearSmokeTimer;
    VehicleModel model;
    float colour[3];
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

constexpr int vehicleCount = 3;
static_assert(vehicleCount == padVehicles, "a pad slot and a name for every vehicle");
extern Vehicle vehicles[vehicleCount];

// Loads the model from "Models/Model01.obj" with the texture filter (sharing the
// pictures earlier vehicles loaded, and adding its own), then resets
// the driving state (resetVehicle). Keys, colour and start x are the caller's.
void initVehicle(Vehicle& vehicle, int32_t filter, ModelPictures& pictures);

// Every speed, angle and wheel state to zero, both axles on the ground, and
// the nine driving parameters.
void resetVehicle(Vehicle& vehicle);

// The point between the axles, on the ground plane: (x, z). The rear axle's
// centre lies half a wheelbase behind it along the heading.
void vehicleCentre(const Vehicle& vehicle, float (&centre)[2]);

// Puts a vehicle at rest with its centre at (x, z), facing heading: every speed,
// angle and timer back to its start (resetVehicle), its wheels settled on the
// terrain under them. The model, keys, colour and driver stay.
void placeVehicleAtRest(Vehicle& vehicle, float x, float z, float heading);

// True when the model's wheelbase, track and wheel radius are finite and of a
// size the physics can divide by. A vehicle without one is left out of the
// physics and stands where it was put.
bool hasUsableWheelLayout(const VehicleModel& model);

// True while the key with this virtual-key code is held; codes outside 0..255
// are never held.
bool keyHeld(int32_t code);

// The controls of a vehicle's own keys and of its pad, as held now: each one
// its key or its pad's matching control.
VehicleControls keyAndPadControls(const Vehicle& vehicle);

// One frame of driving for one vehicle at frameRate frames per second, by its
// controls record: speeds, steering, yaw, drift, motion inside the square,
// wheels on the terrain, attitude, and tyre smoke.
void stepVehicle(Vehicle& vehicle, uint32_t frameRate);

// The vehicles' part of one tick: the smoke moves and ages, then each vehicle
// takes its controls and steps, 0 to 2, at frameRate. The simulation is this:
// a pure function of the records, the controls and the frame rate.
void stepVehicles(Vehicle (&field)[vehicleCount], const VehicleControls (&controls)[vehicleCount],
                  uint32_t frameRate);

// The wheel half of the step, in its order: rolling and steering angles,
// contact points, ground heights, suspension, on-ground flags, attitude.
void updateWheelAngles(Vehicle& vehicle, uint32_t frameRate);
void updateWheelSteer(Vehicle& vehicle); // the front wheels' angles from steerAngle alone
void updateWheelContacts(Vehicle& vehicle);
void updateGroundHeights(Vehicle& vehicle);
void updateSuspension(Vehicle& vehicle, uint32_t frameRate);
void updateGroundFlags(Vehicle& vehicle);
void updateAttitude(Vehicle& vehicle);

// Smoke from the wheel pairs that spin, lock or slide, with the step's
// displacement (dx, dz) and climb.
void emitVehicleSmoke(Vehicle& vehicle, uint32_t frameRate, double dx, double dz);

// How hard the tyres scrub, 0 .. 1: above 0 exactly when the vehicle slides or
// brakes hard enough to smoke (the accelerator's own smoke aside), rising with
// the slide.
float tyreScrub(const Vehicle& vehicle, uint32_t frameRate);

// Moves the current matrix to the vehicle: its rear axle on its position, turned
// by its heading, pitch and roll, the body raised by the wheel radius.
void placeVehicle(const Vehicle& vehicle);

// Draws a vehicle placed by the caller, the plain way: the body in the current
// colour and four white wheels, steered and spun, a part at a time.
void drawVehicle(const Vehicle& vehicle);

// Draws the vehicles together, a picture at a time: each run of body faces and
// each wheel part for every vehicle before the next picture is bound, each
// vehicle's own faces in their order. Bodies and wheels wholly outside the
// view are not sent.
void drawVehicles(const Vehicle* drawn, int count);
