// replay.cpp -- recording a race and playing it back.
#include "replay/replay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "vehicle/step_rate.h"

namespace {

// The fields a snapshot keeps, named alike in the vehicle and the snapshot:
// one list for both ways.
template <typename From, typename To>
void copyKeptFields(const From& from, To& to) {
    to.frontSmokeTimer = from.frontSmokeTimer;
    to.rearSmokeTimer = from.rearSmokeTimer;
    std::copy(from.position, from.position + 3, to.position);
    to.heading = from.heading;
    to.course = from.course;
    to.steerAngle = from.steerAngle;
    to.yawRate = from.yawRate;
    to.speed = from.speed;
    to.driveSpeed = from.driveSpeed;
    to.rearWheelSpeed = from.rearWheelSpeed;
    to.climb = from.climb;
    std::copy(from.wheelSpin, from.wheelSpin + 4, to.wheelSpin);
    std::copy(from.wheelHeight, from.wheelHeight + 4, to.wheelHeight);
    std::copy(from.wheelVerticalSpeed, from.wheelVerticalSpeed + 4, to.wheelVerticalSpeed);
    to.rescueHold = from.rescueHold;
}

} // namespace

void takeSnapshot(const Vehicle& v, VehicleSnapshot& s) {
    std::memset(&s, 0, sizeof s);
    copyKeptFields(v, s);
    s.rescueHeld = v.controls.rescue ? 1 : 0;
}

void restoreSnapshot(Vehicle& v, const TerrainMap& ground, const VehicleSnapshot& s) {
    copyKeptFields(s, v);
    v.controls.rescue = s.rescueHeld != 0;
    if (!hasUsableWheelLayout(v.layout)) {
        return;
    }
    // What the end of a step works out from these: the wheels' angles, the
    // ground under them, whether they touch it, the body's attitude.
    updateWheelSteer(v);
    updateWheelContacts(v);
    updateGroundHeights(v, ground);
    updateGroundFlags(v);
    updateAttitude(v);
    v.position[1] = s.position[1];
    v.climb = s.climb;
}

bool sameSnapshot(const VehicleSnapshot& a, const VehicleSnapshot& b) {
    return std::memcmp(&a, &b, sizeof a) == 0; // no padding: all 4-byte fields
}

bool validSnapshot(const VehicleSnapshot& s) {
    const float* reals[] = {s.position, &s.heading, &s.course, &s.steerAngle, &s.yawRate, &s.speed, &s.driveSpeed,
                            &s.rearWheelSpeed, &s.climb, s.wheelSpin, s.wheelHeight, s.wheelVerticalSpeed};
    const int counts[] = {3, 1, 1, 1, 1, 1, 1, 1, 1, 4, 4, 4};
    bool sound = s.frontSmokeTimer >= 0 && s.frontSmokeTimer <= 255 && s.rearSmokeTimer >= 0 &&
                 s.rearSmokeTimer <= 255 && // a few steps' count
                 s.rescueHold >= 0 && s.rescueHold <= rescueHoldSteps && (s.rescueHeld == 0 || s.rescueHeld == 1);
    for (int field = 0; field < 12; ++field) {
        for (int i = 0; i < counts[field]; ++i) {
            // A billion is past any speed, height or angle a drive reaches (the
            // wheels' turning, unbounded, reaches a few million degrees in an hour).
            sound = sound && std::isfinite(reals[field][i]) && std::fabs(reals[field][i]) <= 1e9f;
        }
    }
    return sound;
}

static_assert(sizeof(VehicleSnapshot) == 27 * 4, "a snapshot is its fields and nothing between them");

uint8_t packVehicleControls(const VehicleControls& c) {
    return static_cast<uint8_t>((c.accelerate ? 1u : 0u) | (c.reverse ? 2u : 0u) | (c.left ? 4u : 0u) |
                                (c.right ? 8u : 0u) | (c.brake ? 16u : 0u) | (c.rescue ? 32u : 0u) |
                                (c.takeOver ? 64u : 0u));
}

VehicleControls unpackVehicleControls(uint32_t bits) {
    return VehicleControls{(bits & 1u) != 0,  (bits & 2u) != 0,  (bits & 4u) != 0, (bits & 8u) != 0,
                           (bits & 16u) != 0, (bits & 32u) != 0, (bits & 64u) != 0};
}

uint32_t packControls(const VehicleControls (&controls)[vehicleCount]) {
    uint32_t packed = 0;
    for (int v = 0; v < vehicleCount; ++v) {
        packed |= static_cast<uint32_t>(packVehicleControls(controls[v])) << (controlBits * v);
    }
    return packed;
}

void unpackControls(uint32_t packed, VehicleControls (&controls)[vehicleCount]) {
    for (int v = 0; v < vehicleCount; ++v) {
        controls[v] = unpackVehicleControls(packed >> (controlBits * v) & controlMask);
    }
}

void beginRecording(Replay& replay, const World& world) {
    const Race& race = world.race;
    replay.track = world.track;
    replay.laps = race.laps;
    replay.simulation = world.simulation;
    replay.vehicleContact = world.vehicleContact;
    replay.solidTrees = world.solidTrees;
    // The name as far as the file's field holds it, always ended.
    std::memset(replay.trackName, 0, sizeof replay.trackName);
    std::memcpy(replay.trackName, world.course.name, strnlen(world.course.name, sizeof replay.trackName - 1));
    replay.computer = 0;
    for (int v = 0; v < vehicleCount; ++v) {
        replay.computer = static_cast<uint8_t>(replay.computer | (race.computer[v] ? 1u << v : 0u));
    }
    replay.full = false;
    replay.winner = -1;
    replay.frameCount = 0;
    replay.keyframeCount = 1;
    replay.keyframes[0].frame = 0;
    for (int v = 0; v < vehicleCount; ++v) {
        takeSnapshot(world.vehicles[v], replay.keyframes[0].vehicles[v]);
    }
}

void copyReplay(Replay& to, const Replay& from) {
    to.track = from.track;
    to.laps = from.laps;
    to.simulation = from.simulation;
    to.vehicleContact = from.vehicleContact;
    to.solidTrees = from.solidTrees;
    std::memcpy(to.trackName, from.trackName, sizeof to.trackName);
    to.computer = from.computer;
    to.full = from.full;
    to.winner = from.winner;
    to.frameCount = from.frameCount;
    to.keyframeCount = from.keyframeCount;
    std::copy_n(from.frameRates, from.frameCount, to.frameRates);
    std::copy_n(from.controls, from.frameCount, to.controls);
    std::copy_n(from.keyframes, from.keyframeCount, to.keyframes);
}

void recordFrame(Replay& replay, uint32_t frameRate, const VehicleControls (&controls)[vehicleCount]) {
    if (replay.frameCount == maxReplayFrames) {
        replay.full = true;
        return;
    }
    replay.frameRates[replay.frameCount] = frameRate;
    replay.controls[replay.frameCount] = packControls(controls);
    ++replay.frameCount;
}

void recordKeyframeIfDue(Replay& replay, const Race& race, const Vehicle (&field)[vehicleCount]) {
    if (replay.full || replay.keyframeCount == maxReplayKeyframes || race.clock < replay.keyframeCount) {
        return;
    }
    ReplayKeyframe& keyframe = replay.keyframes[replay.keyframeCount++];
    keyframe.frame = replay.frameCount;
    for (int v = 0; v < vehicleCount; ++v) {
        takeSnapshot(field[v], keyframe.vehicles[v]);
    }
}

void endRecording(Replay& replay, const Race& race) {
    const RaceEntry& first = race.entries[race.places[0]];
    replay.winner = static_cast<int8_t>(first.finished ? race.places[0] : -1);
}

void startPlayback(Playback& playback, const Replay& replay, World& world) {
    playback = Playback{};
    playback.keyframe = 1;
    setWorldRules(world, replay.simulation, replay.vehicleContact, replay.solidTrees);
    for (int v = 0; v < vehicleCount; ++v) {
        world.vehicles[v].controls = VehicleControls{};
        restoreSnapshot(world.vehicles[v], world.ground, replay.keyframes[0].vehicles[v]);
    }
    resetSmoke(world.smoke);
    world.computersDrive = false;
    // The race as it stood at "GO": everyone behind the line, the clock at zero.
    Race& race = world.race;
    race = Race{};
    race.phase = world.course.count >= minGates ? RacePhase::racing : RacePhase::off;
    race.laps = replay.laps;
    race.countdown = countdownSeconds;
    race.firstFinish = -1;
    for (int v = 0; v < vehicleCount; ++v) {
        race.entries[v].lastLap = race.entries[v].bestLap = -1;
        race.computer[v] = (replay.computer >> v & 1u) != 0;
        vehicleCentre(world.vehicles[v], race.entries[v].centre);
        race.places[v] = v;
    }
}

bool nextPlaybackControls(const Playback& playback, const Replay& replay, VehicleControls (&controls)[vehicleCount],
                          uint32_t& rate) {
    if (playback.frame >= replay.frameCount) {
        return false;
    }
    rate = replay.frameRates[playback.frame];
    unpackControls(replay.controls[playback.frame], controls);
    return true;
}

bool playFrame(Playback& playback, const Replay& replay, World& world) {
    VehicleControls controls[vehicleCount];
    uint32_t rate = stepsPerSecond;
    if (!nextPlaybackControls(playback, replay, controls, rate)) {
        return false;
    }
    stepWorldAtRate(world, controls, rate);
    checkPlaybackStep(playback, replay, world);
    return true;
}

void checkPlaybackStep(Playback& playback, const Replay& replay, World& world) {
    playback.played += 1.0 / stepRate(replay.frameRates[playback.frame]);
    ++playback.frame;
    // The keyframe of this step: where the recording's vehicles were.
    if (playback.keyframe < replay.keyframeCount && replay.keyframes[playback.keyframe].frame == playback.frame) {
        const ReplayKeyframe& keyframe = replay.keyframes[playback.keyframe++];
        bool differs = false;
        for (int v = 0; v < vehicleCount; ++v) {
            VehicleSnapshot now;
            takeSnapshot(world.vehicles[v], now);
            if (!sameSnapshot(now, keyframe.vehicles[v])) {
                differs = true;
                restoreSnapshot(world.vehicles[v], world.ground, keyframe.vehicles[v]);
            }
        }
        playback.corrections += differs ? 1 : 0;
    }
}

double nextStepSeconds(const Playback& playback, const Replay& replay) {
    return playback.frame < replay.frameCount ? 1.0 / stepRate(replay.frameRates[playback.frame]) : 0.0;
}

