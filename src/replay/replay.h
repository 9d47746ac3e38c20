// replay.h -- a race kept to be watched again. The world is a pure function of
// its start and the controls of each step, so a race is its start and the three
// vehicles' controls step by step; once a second of race time a keyframe of the
// vehicles' records lets a playback check itself (and, played on a build that
// rounds a last bit differently, set itself right). Races recorded by the first
// version stepped at the frame rate: their steps keep their own rates.
#pragma once

#include <cstdint>

#include "race/course.h"
#include "race/race.h"
#include "sim/world.h"
#include "vehicle/vehicle.h"

constexpr uint32_t maxReplayFrames = 1u << 20; // 4.8 hours of 60 steps a second
constexpr uint32_t maxReplayKeyframes = 1u << 14;

// What of a vehicle carries from one step to the next. Everything else the
// simulation keeps in the record (the ground under the wheels, the attitude,
// the front wheels' angles) follows from this and the terrain.
struct VehicleSnapshot {
    int32_t frontSmokeTimer;
    int32_t rearSmokeTimer;
    float position[3];
    float heading;
    float course;
    float steerAngle;
    float yawRate;
    float speed;
    float driveSpeed;
    float rearWheelSpeed;
    float climb;
    float wheelSpin[4];
    float wheelHeight[4];
    float wheelVerticalSpeed[4];
    int32_t rescueHold;  // since contact came (an older keyframe has neither: 0)
    int32_t rescueHeld;  // 1: the rescue's control was held in the last step (a rescue comes as it goes down)
};

struct ReplayKeyframe {
    uint32_t frame; // steps played before it
    VehicleSnapshot vehicles[vehicleCount];
};

struct Replay {
    int32_t track;
    int32_t laps;
    uint32_t simulation;  // the version that drove it: simulationVersion, or an older one's
    bool vehicleContact;  // the rules it was driven under
    bool solidTrees;
    char trackName[28];
    uint8_t computer;     // bit v: vehicle v was the computer's at the start
    bool full;            // the race outgrew the buffers: the rest was not kept
    int8_t winner;        // the vehicle that finished first; -1: nobody did, or not known (version 1)
    uint32_t frameCount;    // steps
    uint32_t keyframeCount; // keyframe 0 is the start, at "GO"
    uint32_t frameRates[maxReplayFrames]; // each step's rate: stepsPerSecond, or an old replay's frame rate
    uint32_t controls[maxReplayFrames]; // seven bits a vehicle, vehicle v from bit 7 v (packControls)
    ReplayKeyframe keyframes[maxReplayKeyframes];
};

void takeSnapshot(const Vehicle& vehicle, VehicleSnapshot& snapshot);
// The vehicle as the snapshot has it, everything that follows from it worked out
// again the way the step works it out.
void restoreSnapshot(Vehicle& vehicle, const TerrainMap& ground, const VehicleSnapshot& snapshot);
bool sameSnapshot(const VehicleSnapshot& a, const VehicleSnapshot& b); // bit for bit
// Whether a snapshot from outside (a replay's keyframe, a ghost's start, a
// LAN host's world) is one the step can take: its timers within the counts
// the step counts down, its rescue's hold within a rescue's, every number a
// finite one of a size no drive reaches past.
bool validSnapshot(const VehicleSnapshot& snapshot);

// A step's controls in a word: seven bits a vehicle, vehicle v from bit 7 v:
// accelerate, reverse, left, right, brake, rescue, and the player's taking it
// from the computer.
constexpr uint32_t controlBits = 7;
constexpr uint32_t playerControlMask = 63; // the six a player gives
constexpr uint32_t controlMask = (1u << controlBits) - 1;
constexpr uint32_t packedControlsMask = (1u << (controlBits * vehicleCount)) - 1;
uint32_t packControls(const VehicleControls (&controls)[vehicleCount]);
void unpackControls(uint32_t packed, VehicleControls (&controls)[vehicleCount]);

// One vehicle's seven bits, as a ghost (six of them) and a replay keep them, and back.
uint8_t packVehicleControls(const VehicleControls& controls);
VehicleControls unpackVehicleControls(uint32_t bits);

// Recording, from "GO" to the results: begin with the race's start, the
// world's rules and the vehicles as they stand; then each step, its rate and controls and, after
// it, a keyframe whenever the race clock passed a whole second.
void beginRecording(Replay& replay, const World& world);
void recordFrame(Replay& replay, uint32_t frameRate, const VehicleControls (&controls)[vehicleCount]);
void recordKeyframeIfDue(Replay& replay, const Race& race, const Vehicle (&field)[vehicleCount]);
// At the results: who won, for the list of replays.
void endRecording(Replay& replay, const Race& race);
// Copies the header and only the steps and keyframes the replay holds: the
// buffers are 12 MB, and a copy of all of it would make every page of the
// destination resident for good.
void copyReplay(Replay& to, const Replay& from);

// A replay being watched.
// A replay being watched, in a world of the replay's track (its ground and
// course in place): the world's race is the replay's.
struct Playback {
    uint32_t frame;        // steps played
    uint32_t keyframe;     // the next keyframe to check against
    uint32_t corrections;  // keyframes that differed and were taken as the truth
    double played;         // game time played
};

// Puts the world's vehicles where the replay starts and its race at "GO", the
// recorded controls standing for the computer's, the world stepping by the
// rules (and the version) it was driven under.
void startPlayback(Playback& playback, const Replay& replay, World& world);

// The next recorded step's controls and rate (its length, for an old
// replay); false once every step is played.
bool nextPlaybackControls(const Playback& playback, const Replay& replay, VehicleControls (&controls)[vehicleCount],
                          uint32_t& rate);

// After the world took the recorded step: the step counted and the keyframe
// due there checked (a differing vehicle is set as it has it).
void checkPlaybackStep(Playback& playback, const Replay& replay, World& world);

// Plays one recorded step: the world's step with its controls (and, for an
// old replay, its rate), then the keyframe due there checked. False once
// every step is played.
bool playFrame(Playback& playback, const Replay& replay, World& world);

// The game time the next step of the replay lasts (0 when none is left).
double nextStepSeconds(const Playback& playback, const Replay& replay);
