// vehicle.cpp -- a vehicle record's set-up: reset, placed at rest, its wheel layout judged.
#include "vehicle/vehicle.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "common/angles.h"
#include "terrain/terrain.h"
#include "vehicle/vehicle_math.h"

void resetVehicle(Vehicle& v) {
    v.frontSmokeTimer = 0;
    v.rearSmokeTimer = 0;
    v.rescueHold = 0;
    std::memset(v.position, 0, sizeof v.position);
    v.pitch = 0;
    v.heading = 0;
    v.roll = 0;
    v.steerAngle = 0;
    std::memset(v.wheelSteer, 0, sizeof v.wheelSteer);
    std::memset(v.wheelSpin, 0, sizeof v.wheelSpin);
    v.speed = 0;
    v.driveSpeed = 0;
    v.rearWheelSpeed = 0;
    v.course = 0;
    std::memset(v.wheelHeight, 0, sizeof v.wheelHeight);
    std::memset(v.wheelVerticalSpeed, 0, sizeof v.wheelVerticalSpeed);
    // A new vehicle counts as standing on the ground.
    v.rearOnGround = true;
    v.frontOnGround = true;
    v.yawRate = 0;
    v.climb = 0;
    v.topSpeed = 34.72222f;        // 125 km/h
    v.topReverseSpeed = 9.722222f; // 35 km/h
    v.maxSteer = 25;
    v.acceleration = 30;
    v.brakeDeceleration = 65;
    v.steerRate = 60;
    v.rollingDrag = 5;
    v.grip = 12;
    v.mass = 1.1f;
}

namespace {

// Half the wheelbase: from the rear axle's centre to the vehicle's centre.
double halfWheelbase(const Vehicle& v) { return (static_cast<double>(v.layout.wheelZ[1]) - v.layout.wheelZ[0]) / 2; }

} // namespace

void vehicleCentre(const Vehicle& v, float (&centre)[2]) {
    const double h = radians(v.heading);
    double sine, cosine;
    vehicleSinCos(v, h, sine, cosine);
    centre[0] = static_cast<float>(v.position[0] - sine * halfWheelbase(v));
    centre[1] = static_cast<float>(v.position[2] - cosine * halfWheelbase(v));
}

void placeVehicleAtRest(Vehicle& v, const TerrainMap& ground, float x, float z, float heading) {
    resetVehicle(v);
    v.controls = VehicleControls{};
    v.heading = heading;
    v.course = heading;
    const double h = radians(heading);
    double sine, cosine;
    vehicleSinCos(v, h, sine, cosine);
    v.position[0] = static_cast<float>(x + sine * halfWheelbase(v));
    v.position[2] = static_cast<float>(z + cosine * halfWheelbase(v));
    if (!hasUsableWheelLayout(v.layout)) {
        return;
    }
    // Every wheel on the ground under it, the body on the wheels, nothing moving.
    updateWheelContacts(v);
    updateGroundHeights(v, ground);
    for (int wheel = 0; wheel < 4; ++wheel) {
        v.wheelHeight[wheel] = v.wheelContact[wheel][1];
    }
    updateAttitude(v);
    v.climb = 0;
}

bool hasUsableWheelLayout(const WheelLayout& model) {
    // Wheelbase and track are divisors of the attitude, the radius of the wheel
    // spin; anything smaller than a few centimetres or larger than the map is no
    // vehicle the physics can carry.
    const double values[3] = {static_cast<double>(model.wheelZ[1]) - model.wheelZ[0],
                              static_cast<double>(model.wheelX[1]) - model.wheelX[0],
                              model.wheelRadius};
    for (double value : values) {
        const double size = std::fabs(value);
        if (!std::isfinite(value) || size < 0.01 || size > 100.0) {
            return false;
        }
    }
    for (float anchor : {model.wheelX[0], model.wheelX[1], model.wheelZ[0], model.wheelZ[1]}) {
        if (!std::isfinite(anchor) || std::fabs(anchor) > 100.0f) {
            return false;
        }
    }
    return true;
}
