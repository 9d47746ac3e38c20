// gamepads.h -- game controllers beside the keys: which pad drives which
// vehicle, what its sticks and buttons mean, and the short notices when a pad
// comes or goes. The backends only read the pads; everything else is here.
#pragma once

#include <cstdint>

#include "common/vehicles.h"
#include "platform/platform.h"

enum PadControl { padAccelerate, padReverse, padBrake, padLeft, padRight, padRescue, padControlCount };

constexpr int padCapacity = 8;     // pads followed at once; more wait unread
constexpr int padVehicles = vehicleCount; // slots: blue, red, green
constexpr int padNoticeCapacity = 6;
constexpr float padNoticeSeconds = 2.0f;
constexpr float padTriggerThreshold = 0.25f;
constexpr float padStickOn = 0.35f;  // the stick steers beyond this much of its travel...
constexpr float padStickOff = 0.30f; // ...and lets go below this, so it does not chatter

struct Gamepads {
    struct Pad {
        bool present;
        uint32_t handle;
        uint64_t identity;
        int32_t number;   // 1.. as shown in the notices, the lowest free when it came
        int32_t slot;     // vehicle 0..2, or -1 while it waits for a free one
        float restX;      // where the stick rested when the pad came
        int32_t steering; // -1 left, 0, +1 right, with hysteresis
        uint32_t buttons; // last frame's, for presses
    };
    struct Notice {
        char text[24];
        int32_t vehicle;  // whose view shows it; -1 for a pad without a vehicle
        float secondsLeft;
    };
    Pad pads[padCapacity];
    uint64_t lastIdentity[padVehicles]; // the pad that last drove each vehicle
    uint8_t held[padVehicles][padControlCount];
    int32_t followRequest; // a vehicle whose pad pressed Back this frame, else -1
    uint32_t layoutSteps;  // Start presses this frame
    uint32_t raceStarts;   // Y / Triangle presses this frame
    uint32_t trackChanges; // RB / R1 presses this frame
    uint32_t menuPresses;  // PadButton bits any pad pressed this frame: the menu's keys (LB opens it)
    Notice notices[padNoticeCapacity];
};

void resetGamepads(Gamepads& pads);

// One frame: the pads connected now (as read by the backend) against those of
// the last frame. A pad gone releases all it held at once and frees its
// vehicle; a new pad takes its old vehicle if free, else the lowest free one.
// Readings with axes out of range count as a pad at rest. Notices age by
// frameSeconds.
void updateGamepads(Gamepads& pads, const PadReading* readings, int count, float frameSeconds);

// Whether a pad holds this control of vehicle 0..2.
bool padHeld(const Gamepads& pads, int32_t vehicle, PadControl control);
