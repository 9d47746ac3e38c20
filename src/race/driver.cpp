// driver.cpp -- the computer driver's eye, hands and feet.
//
// It looks at where it is, where it points and how fast it goes; from the last
// step it remembers where it was and where it pointed, so it also sees where it
// is really going (a sliding buggy goes elsewhere than it points) and how fast
// it turns. It aims that way of going at a point on its next gate's line,
// leaning toward the gate after; it lets the steering go early enough for the
// turn it is in to die away on the line it wants, since a buggy keeps turning
// a while after the wheels straighten; and it slows before gates where the
// course turns sharply. Stuck (no nearer its gate for three seconds: nose in
// the square's edge, say) it backs off turning, then tries again.
#include "race/driver.h"

#include <algorithm>
#include <cmath>

#include "common/angles.h"
#include "vehicle/step_rate.h"

namespace {

constexpr float stuckSeconds = 3.0f;
constexpr float backOffSeconds = 1.6f;
// The share of the distance a turn would need at full speed that each skill
// allows itself: how fast it dares to take a turn.
constexpr double dares[maxSkill] = {0.45, 0.57, 0.69};

// How fast the buggy's turning can grow or die away, degrees a second each
// second: the yaw moves 0.3 x grip / 60 degrees a step toward what the wheels
// ask, 60 steps a second. A driver knows its car.
constexpr double yawGrowth = 3.6 * stepsPerSecond;

double bearing(double dx, double dz) { return degrees(std::atan2(-dx, -dz)); }
double wrap(double angle) { return std::remainder(angle, 360.0); }

// The point on the next gate's line to drive for.
void aimPoint(const Course& course, const RaceEntry& entry, const float (&centre)[2], float (&aim)[2]) {
    const int32_t next = nextGate(entry, course.count);
    const Gate& gate = course.gates[next];
    const Gate& after = course.gates[(next + 1) % course.count];
    float forward[2], right[2];
    gateDirections(gate, forward, right);
    const double ahead = (static_cast<double>(centre[0]) - gate.x) * forward[0] + (static_cast<double>(centre[1]) - gate.z) * forward[1];
    if (ahead > 0.5) {
        // Beside the posts and past the line: come round to the gate's front.
        aim[0] = gate.x - 9 * forward[0];
        aim[1] = gate.z - 9 * forward[1];
        return;
    }
    // Toward the side the course goes on to, a third of the way to the post.
    const double toAfterX = static_cast<double>(after.x) - gate.x, toAfterZ = static_cast<double>(after.z) - gate.z;
    const double length = std::hypot(toAfterX, toAfterZ);
    const double side = length > 0 ? (toAfterX * right[0] + toAfterZ * right[1]) / length : 0;
    const double lean = std::clamp(side, -1.0, 1.0) * gate.width / 6;
    aim[0] = static_cast<float>(gate.x + lean * right[0]);
    aim[1] = static_cast<float>(gate.z + lean * right[1]);
}

// How sharply the course turns at the next gate: degrees between the way from
// here to it and the way from it to the gate after.
double turnAtGate(const Course& course, const RaceEntry& entry, const float (&centre)[2]) {
    const int32_t next = nextGate(entry, course.count);
    const Gate& gate = course.gates[next];
    const Gate& after = course.gates[(next + 1) % course.count];
    const double in = bearing(static_cast<double>(gate.x) - centre[0], static_cast<double>(gate.z) - centre[1]);
    const double out = bearing(static_cast<double>(after.x) - gate.x, static_cast<double>(after.z) - gate.z);
    return std::fabs(wrap(out - in));
}

} // namespace

VehicleControls driveComputer(const Vehicle& vehicle, const Course& course, const RaceEntry& entry,
                              ComputerDriver& driver, int32_t skill) {
    if (course.count < minGates) {
        return VehicleControls{};
    }
    if (entry.finished) {
        return VehicleControls{false, false, false, false, true}; // home: it pulls up
    }
    constexpr double rate = stepsPerSecond, step = 1 / rate;
    float centre[2];
    vehicleCentre(vehicle, centre);
    if (!driver.seen) {
        driver = ComputerDriver{true, {centre[0], centre[1]}, vehicle.heading, -1, 0, 0, 0};
    }
    // What it sees: where it goes, and how fast it turns (degrees a second, to the left).
    const double movedX = static_cast<double>(centre[0]) - driver.lastCentre[0];
    const double movedZ = static_cast<double>(centre[1]) - driver.lastCentre[1];
    const bool moving = std::hypot(movedX, movedZ) * rate > 1.0;
    const double going = moving ? bearing(movedX, movedZ) : vehicle.heading;
    const double turning = wrap(static_cast<double>(vehicle.heading) - driver.lastHeading) * rate;
    driver.lastCentre[0] = centre[0];
    driver.lastCentre[1] = centre[1];
    driver.lastHeading = vehicle.heading;

    // Getting any nearer the gate? Three seconds without: back off and turn.
    const int32_t next = nextGate(entry, course.count);
    const Gate& gate = course.gates[next];
    const float distance = static_cast<float>(std::hypot(static_cast<double>(gate.x) - centre[0], static_cast<double>(gate.z) - centre[1]));
    if (next != driver.gate || distance < driver.closest - 0.5f) {
        driver.gate = next;
        driver.closest = distance;
        driver.sinceCloser = 0;
    } else {
        driver.sinceCloser += static_cast<float>(step);
    }
    float aim[2];
    aimPoint(course, entry, centre, aim);
    const double wanted = bearing(static_cast<double>(aim[0]) - centre[0], static_cast<double>(aim[1]) - centre[1]);
    VehicleControls controls{};
    if (driver.sinceCloser > stuckSeconds) {
        driver.backingOff = backOffSeconds;
        driver.sinceCloser = 0;
        driver.closest = distance;
    }
    if (driver.backingOff > 0) {
        // Reversing, the steering turns the nose the other way: toward the aim.
        driver.backingOff -= static_cast<float>(step);
        const double error = wrap(wanted - vehicle.heading);
        controls.reverse = true;
        controls.right = error > 0;
        controls.left = error <= 0;
        return controls;
    }

    // Steering: the turn still to come once the wheels straighten is taken off
    // the turn wanted, so it lets go in time.
    const double error = wrap(wanted - going);
    const double windDown = turning * std::fabs(turning) / (2 * yawGrowth);
    const double need = error - windDown;
    controls.left = need > 2;
    controls.right = need < -2;

    // Speed: a turn of a given size takes the same time at any speed (the
    // buggy's yaw grows only so fast), so the distance it takes grows with the
    // speed: slow enough that the turn wanted now fits before the gate, and
    // that the turn at the gate fits in the leg after it.
    const double dare = dares[std::clamp(skill, minSkill, maxSkill) - 1];
    const auto turnTime = [&](double turn) { return 2 * std::sqrt(std::max(turn, 1.0) / yawGrowth); };
    double limit = vehicle.topSpeed;
    limit = std::min(limit, dare * std::max(static_cast<double>(distance), 6.0) / turnTime(std::fabs(error)));
    limit = std::min(limit, dare * (14.0 + distance) / turnTime(turnAtGate(course, entry, centre)));
    limit = std::max(limit, 5.0);
    controls.accelerate = vehicle.speed < limit;
    controls.brake = vehicle.speed > limit + 4;
    return controls;
}
