// driver.cpp -- the computer driver's eye, hands and feet.
//
// It looks at where it is, where it points and how fast it goes; from the last
// step it remembers where it was and where it pointed, so it also sees where it
// is really going (a sliding buggy goes elsewhere than it points) and how fast
// it turns. It aims that way of going at a point on its next gate's line,
// leaning toward the gate after; it lets the steering go early enough for the
// turn it is in to die away on the line it wants, since a buggy keeps turning
// a while after the wheels straighten; it steers round a vehicle or a trunk
// that stands on that line; and it slows before gates where the course turns
// sharply. Stuck (no nearer its gate for three seconds: nose in the square's
// edge, say) it backs off turning; no nearer after that, it asks to be set
// back on the course.
#include "race/driver.h"

#include <algorithm>
#include <cmath>

#include "common/angles.h"
#include "common/game_math.h"
#include "vehicle/step_rate.h"

namespace {

constexpr float stuckSeconds = 3.0f;
constexpr float backOffSeconds = 1.6f;
constexpr double cruiseSpeed = 12.0; // once home: an easy lap, out of the others' way
constexpr double cruiseReach = 8.0;  // once home, this near its gate it drives for the next
// The share of the distance a turn would need at full speed that each skill
// allows itself: how fast it dares to take a turn.
constexpr double dares[maxSkill] = {0.45, 0.57, 0.74};

// How fast the buggy's turning can grow or die away, degrees a second each
// second: the yaw moves 0.3 x grip / 60 degrees a step toward what the wheels
// ask, 60 steps a second. A driver knows its car.
constexpr double yawGrowth = 3.6 * stepsPerSecond;

double bearing(double dx, double dz) { return degrees(gameAtan2(-dx, -dz)); }
double wrap(double angle) { return gameRemainder(angle, 360.0); }

// The point on the line of gate `next` to drive for.
void aimPoint(const Course& course, int32_t next, const float (&centre)[2], float (&aim)[2]) {
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
    const double length = gameHypot(toAfterX, toAfterZ);
    const double side = length > 0 ? (toAfterX * right[0] + toAfterZ * right[1]) / length : 0;
    const double lean = std::clamp(side, -1.0, 1.0) * gate.width / 6;
    aim[0] = static_cast<float>(gate.x + lean * right[0]);
    aim[1] = static_cast<float>(gate.z + lean * right[1]);
}

// How sharply the course turns at gate `next`: degrees between the way from
// here to it and the way from it to the gate after.
double turnAtGate(const Course& course, int32_t next, const float (&centre)[2]) {
    const Gate& gate = course.gates[next];
    const Gate& after = course.gates[(next + 1) % course.count];
    const double in = bearing(static_cast<double>(gate.x) - centre[0], static_cast<double>(gate.z) - centre[1]);
    const double out = bearing(static_cast<double>(after.x) - gate.x, static_cast<double>(after.z) - gate.z);
    return std::fabs(wrap(out - in));
}

// The point to drive for instead of the aim, where something stands on the
// way there: beside the nearest such body, on its far side from the line
// unless another body stands there.
bool aimRound(const float (&centre)[2], const float (&aim)[2], const Obstacles& obstacles, float (&detour)[2]) {
    constexpr double room = 1.6; // half a buggy's width and some air
    const double toX = static_cast<double>(aim[0]) - centre[0], toZ = static_cast<double>(aim[1]) - centre[1];
    const double length = gameHypot(toX, toZ);
    const int32_t count = std::clamp(obstacles.count, 0, maxObstacles);
    if (length < 1e-3) {
        return false;
    }
    const double dir[2] = {toX / length, toZ / length}, across[2] = {-dir[1], dir[0]};
    double nearest = std::min(length, static_cast<double>(obstacleSight));
    int32_t blocking = -1;
    double blockingAside = 0;
    for (int32_t o = 0; o < count; ++o) {
        const double rx = static_cast<double>(obstacles.at[o][0]) - centre[0];
        const double rz = static_cast<double>(obstacles.at[o][1]) - centre[1];
        const double ahead = rx * dir[0] + rz * dir[1], aside = rx * across[0] + rz * across[1];
        if (ahead > 0 && ahead < nearest && std::fabs(aside) < room + obstacles.radius[o]) {
            nearest = ahead;
            blocking = o;
            blockingAside = aside;
        }
    }
    if (blocking < 0) {
        return false;
    }
    const double clear = room + obstacles.radius[blocking];
    const auto pointBeside = [&](double side, float (&point)[2]) {
        point[0] = static_cast<float>(obstacles.at[blocking][0] + side * across[0]);
        point[1] = static_cast<float>(obstacles.at[blocking][1] + side * across[1]);
        for (int32_t o = 0; o < count; ++o) {
            const double gap = gameHypot(static_cast<double>(obstacles.at[o][0]) - point[0],
                                          static_cast<double>(obstacles.at[o][1]) - point[1]);
            if (o != blocking && gap < room + obstacles.radius[o]) {
                return false; // another stands there
            }
        }
        return true;
    };
    const double away = blockingAside > 0 ? -clear : clear;
    if (!pointBeside(away, detour)) {
        pointBeside(-away, detour);
    }
    return true;
}

// The fastest it may go not to run into a slower body close ahead on its way.
double followingSpeed(const Vehicle& vehicle, const float (&centre)[2], const Obstacles& obstacles) {
    constexpr double lane = 2.2, close = 9.0;
    const double h = radians(vehicle.heading);
    double sine, cosine;
    gameSinCos(h, sine, cosine);
    const double forward[2] = {-sine, -cosine};
    double limit = vehicle.topSpeed;
    for (int32_t o = 0; o < std::clamp(obstacles.count, 0, maxObstacles); ++o) {
        const double rx = static_cast<double>(obstacles.at[o][0]) - centre[0];
        const double rz = static_cast<double>(obstacles.at[o][1]) - centre[1];
        const double ahead = rx * forward[0] + rz * forward[1], aside = rx * forward[1] - rz * forward[0];
        if (ahead > 0 && ahead < close && std::fabs(aside) < lane + obstacles.radius[o]) {
            const double theirs = obstacles.velocity[o][0] * forward[0] + obstacles.velocity[o][1] * forward[1];
            limit = std::min(limit, std::max(theirs, 0.0) + 1.5 * std::max(ahead - 3.5, 0.0) + 1.0);
        }
    }
    return limit;
}

} // namespace

VehicleControls driveComputer(const Vehicle& vehicle, int32_t vehicleNumber, const Course& course,
                              const RaceEntry& entry, ComputerDriver& driver, int32_t skill, const Obstacles& obstacles) {
    if (course.count < minGates) {
        return VehicleControls{};
    }
    constexpr double rate = stepsPerSecond, step = 1 / rate;
    float centre[2];
    vehicleCentre(vehicle, centre);
    if (!driver.seen) {
        driver = ComputerDriver{true, {centre[0], centre[1]}, vehicle.heading, -1, 0, 0, 0, 0, 0};
    }
    // What it sees: where it goes, and how fast it turns (degrees a second, to the left).
    const double movedX = static_cast<double>(centre[0]) - driver.lastCentre[0];
    const double movedZ = static_cast<double>(centre[1]) - driver.lastCentre[1];
    const bool moving = gameHypot(movedX, movedZ) * rate > 1.0;
    const double going = moving ? bearing(movedX, movedZ) : vehicle.heading;
    const double turning = wrap(static_cast<double>(vehicle.heading) - driver.lastHeading) * rate;
    driver.lastCentre[0] = centre[0];
    driver.lastCentre[1] = centre[1];
    driver.lastHeading = vehicle.heading;

    // The gate it drives for: the race's next, or once home (where gates no
    // longer count) the ones after, each in turn as it comes near, so that it
    // drives on round the course at an easy pace instead of stopping on the line.
    int32_t next = nextGate(entry, course.count);
    if (entry.finished && driver.gate >= 0 && driver.gate < course.count) {
        const Gate& heading = course.gates[driver.gate];
        const bool reached = gameHypot(static_cast<double>(heading.x) - centre[0],
                                        static_cast<double>(heading.z) - centre[1]) < cruiseReach;
        next = reached ? (driver.gate + 1) % course.count : driver.gate;
    }
    const Gate& gate = course.gates[next];
    const float distance = static_cast<float>(gameHypot(static_cast<double>(gate.x) - centre[0], static_cast<double>(gate.z) - centre[1]));
    // Getting any nearer the gate? Three seconds without: back off and turn;
    // four without ever coming nearer than it already was, backing off done: a rescue.
    if (next != driver.gate) {
        driver.gate = next;
        driver.closest = driver.nearestYet = distance;
        driver.sinceCloser = driver.sinceProgress = 0;
    } else {
        const bool closer = distance < driver.closest - 0.5f, nearer = distance < driver.nearestYet - 0.5f;
        driver.closest = closer ? distance : driver.closest;
        driver.sinceCloser = closer ? 0 : driver.sinceCloser + static_cast<float>(step);
        driver.nearestYet = nearer ? distance : driver.nearestYet;
        driver.sinceProgress = nearer ? 0 : driver.sinceProgress + static_cast<float>(step);
    }
    VehicleControls controls{};
    if (driver.sinceProgress > rescueAfterSeconds && driver.backingOff <= 0 && !entry.finished) {
        driver.sinceProgress = 0;
        controls.rescue = true; // backing out did not free it
        return controls;
    }
    float aim[2], detour[2];
    aimPoint(course, next, centre, aim);
    if (entry.gatesPassed < 2 && !entry.finished && next < 2) {
        // From the grid through the first gate after the line, each holds the
        // lane it started in, rather than all three making for one point.
        float forward[2], right[2];
        gateDirections(course.gates[next], forward, right);
        const float lane = gridLanes[std::clamp(vehicleNumber, 0, vehicleCount - 1)];
        aim[0] += lane * right[0];
        aim[1] += lane * right[1];
    }
    if (aimRound(centre, aim, obstacles, detour)) {
        aim[0] = detour[0];
        aim[1] = detour[1];
    }
    const double wanted = bearing(static_cast<double>(aim[0]) - centre[0], static_cast<double>(aim[1]) - centre[1]);
    // Each of the three backs off a different while: tangled together, they
    // do not all come back at once.
    if (driver.sinceCloser > stuckSeconds) {
        driver.backingOff = backOffSeconds + 0.3f * static_cast<float>(std::clamp(vehicleNumber, 0, vehicleCount - 1));
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
    // Each of the three a shade more careful than the one before: a field of
    // one skill spreads out rather than running as one, nose to tail.
    const double character = 1 - 0.02 * std::clamp(vehicleNumber, 0, vehicleCount - 1);
    const double dare = dares[std::clamp(skill, minSkill, maxSkill) - 1] * character;
    const auto turnTime = [&](double turn) { return 2 * std::sqrt(std::max(turn, 1.0) / yawGrowth); };
    double limit = vehicle.topSpeed;
    limit = std::min(limit, dare * std::max(static_cast<double>(distance), 6.0) / turnTime(std::fabs(error)));
    limit = std::min(limit, dare * (14.0 + distance) / turnTime(turnAtGate(course, next, centre)));
    limit = std::max(limit, 5.0);
    limit = std::min(limit, followingSpeed(vehicle, centre, obstacles));
    limit = entry.finished ? std::min(limit, cruiseSpeed) : limit;
    controls.accelerate = vehicle.speed < limit;
    controls.brake = vehicle.speed > limit + 4;
    return controls;
}
