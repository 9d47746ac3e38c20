// vehicle_physics.cpp -- one step of driving: three speeds pulled together by
// traction, steering into yaw, a course that trails the heading, slopes, the
// square world's edge.
#include <cmath>

#include "common/game_limits.h"
#include "common/angles.h"
#include "vehicle/smoke.h"
#include "vehicle/step_rate.h"
#include "vehicle/vehicle.h"
#include "vehicle/vehicle_math.h"

namespace {

// Moves value toward zero by step, with no clamp: a value smaller than the step
// crosses zero.
template <typename T>
void pullTowardZero(T& value, double step) {
    if (value > 0) {
        value = static_cast<T>(value - step);
    } else if (value < 0) {
        value = static_cast<T>(value + step);
    }
}

// Moves value toward target by step, with no clamp at the target. The step is
// a float like the value, so that a value one step from zero compares equal
// to the step and is not mistaken for a smaller one.
void stepToward(float& value, double target, float step) {
    if (value < target) {
        value += step;
    } else if (value > target) {
        value -= step;
    }
}

// A wheel speed that the drag would carry past zero stops instead.
void snapInsideDeadBand(float& value, double band) {
    if ((-band < value && value < 0) || (0 < value && value < band)) {
        value = 0;
    }
}

} // namespace

void stepVehicles(Vehicle (&field)[vehicleCount], const VehicleControls (&controls)[vehicleCount],
                  const TerrainMap& ground, SmokeSystem& smoke, uint32_t frameRate,
                  const bool (&parked)[vehicleCount]) {
    // Puffs emitted by this step's vehicles first move in the next step.
    updateSmoke(smoke, frameRate);
    for (int i = 0; i < vehicleCount; ++i) {
        field[i].controls = controls[i];
        if (!parked[i]) {
            stepVehicle(field[i], ground, smoke, frameRate);
        }
    }
}

void stepVehicle(Vehicle& v, const TerrainMap& ground, SmokeSystem& smoke, uint32_t frameRate) {
    if (!hasUsableWheelLayout(v.layout)) {
        return; // no wheels to stand on: the vehicle stays where it was put
    }
    const double R = stepRate(frameRate);

    // Smoke timers count down one step.
    if (v.frontSmokeTimer != 0) {
        --v.frontSmokeTimer;
    }
    if (v.rearSmokeTimer != 0) {
        --v.rearSmokeTimer;
    }

    // Pedals: the first case that applies.
    const VehicleControls& held = v.controls;
    if (held.accelerate && v.driveSpeed < v.topSpeed) {
        v.driveSpeed = static_cast<float>(v.driveSpeed + v.acceleration / R);
    } else if (held.reverse && v.driveSpeed > -v.topReverseSpeed) {
        v.driveSpeed = static_cast<float>(v.driveSpeed - v.acceleration / R);
    } else if (held.brake) {
        pullTowardZero(v.driveSpeed, 0.5 * v.brakeDeceleration / R);
        pullTowardZero(v.rearWheelSpeed, v.brakeDeceleration / R);
    }

    const double drag = v.rollingDrag / R;
    snapInsideDeadBand(v.driveSpeed, drag);
    snapInsideDeadBand(v.rearWheelSpeed, drag);

    // Slope and rolling drag. The slope term takes the plain height difference
    // of the axles' ground points; in the air the drag acts twice.
    const bool onGround = v.frontOnGround || v.rearOnGround;
    if (onGround) {
        const double rear = (static_cast<double>(v.wheelContact[2][1]) + v.wheelContact[3][1]) / 2;
        const double front = (static_cast<double>(v.wheelContact[0][1]) + v.wheelContact[1][1]) / 2;
        v.speed = static_cast<float>(v.speed + 20 * vehicleAtan(v, rear - front) / R);
    } else {
        pullTowardZero(v.speed, drag);
    }
    pullTowardZero(v.speed, drag);

    // Traction: the driven front wheels pull twice as hard as the free rear ones.
    if (v.frontOnGround) {
        if (v.speed < v.driveSpeed) {
            v.speed = static_cast<float>(v.speed + 2 * v.grip / v.mass / R);
            v.driveSpeed = static_cast<float>(v.driveSpeed - v.grip / R);
        } else if (v.speed > v.driveSpeed) {
            v.speed = static_cast<float>(v.speed - 2 * v.grip / v.mass / R);
            v.driveSpeed = static_cast<float>(v.driveSpeed + v.grip / R);
        }
    }
    if (v.rearOnGround) {
        if (v.speed < v.rearWheelSpeed) {
            v.speed = static_cast<float>(v.speed + v.grip / v.mass / R);
            v.rearWheelSpeed = static_cast<float>(v.rearWheelSpeed - v.grip / R);
        } else if (v.speed > v.rearWheelSpeed) {
            v.speed = static_cast<float>(v.speed - v.grip / v.mass / R);
            v.rearWheelSpeed = static_cast<float>(v.rearWheelSpeed + v.grip / R);
        }
    }

    // Steering: the limit shrinks above walking pace.
    const double limit = v.maxSteer / std::fabs(v.speed / 6.0 + 0.0123);
    if (held.left && v.steerAngle > -limit && v.steerAngle > -v.maxSteer) {
        v.steerAngle = static_cast<float>(v.steerAngle - v.steerRate / R);
    } else if (held.right && v.steerAngle < limit && v.steerAngle < v.maxSteer) {
        v.steerAngle = static_cast<float>(v.steerAngle + v.steerRate / R);
    } else {
        const double centring = 1.5 * v.steerRate / R;
        if ((-centring < v.steerAngle && v.steerAngle < 0) ||
            (0 < v.steerAngle && v.steerAngle < centring)) {
            v.steerAngle = 0;
        } else {
            pullTowardZero(v.steerAngle, centring);
        }
    }

    // Yaw: only the front wheels on the ground change it; in the air it keeps turning.
    const float yawStep = static_cast<float>(0.3 * v.grip / R);
    if (v.frontOnGround) {
        stepToward(v.yawRate, static_cast<double>(v.steerAngle) * v.speed / R, yawStep);
    }
    if (0 < std::fabs(v.yawRate) && std::fabs(v.yawRate) < yawStep) {
        v.yawRate = 0;
    }
    v.heading -= v.yawRate;

    // Course: it follows the heading, slower at speed, much slower under the brake.
    const double follow = held.brake ? 0.3 : 1.0;
    if (v.speed < 1) {
        v.course = v.heading;
    } else {
        stepToward(v.course, v.heading,
                   static_cast<float>(follow * (30 / (v.speed / 75.0 + 0.0123)) / R));
    }

    // Scrub: sliding sideways costs speed.
    if (onGround) {
        v.speed = static_cast<float>(v.speed - 0.4 * std::fabs(v.course - v.heading) / R);
    }

    // Motion along the course. A rising or sinking body also drifts toward +x
    // and +z by its climb. Each axis stops at the edge of the square on its own.
    const double climb = std::fabs(v.climb);
    double sine, cosine;
    vehicleSinCos(v, radians(v.course), sine, cosine);
    const double dx = (v.speed * sine - climb) / R;
    const double dz = (v.speed * cosine - climb) / R;
    const double x = v.position[0] - dx;
    if (-mapEdge < x && x < mapEdge) {
        v.position[0] = static_cast<float>(x);
    }
    const double z = v.position[2] - dz;
    if (-mapEdge < z && z < mapEdge) {
        v.position[2] = static_cast<float>(z);
    }

    updateWheelAngles(v, frameRate);
    updateWheelContacts(v);
    updateGroundHeights(v, ground);
    updateSuspension(v, frameRate);
    updateGroundFlags(v);
    updateAttitude(v);

    emitVehicleSmoke(v, smoke, frameRate, dx, dz);
}
