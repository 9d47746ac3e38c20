// bindings.h -- who drives each vehicle by hand: its five keys and its pad.
// The simulation never sees a key: the controls are taken here, once a step.
#pragma once

#include <cstdint>
#include <string>

#include "core/gamepads.h"
#include "core/input.h"
#include "core/settings.h"
#include "vehicle/vehicle.h"

// Virtual-key codes of a vehicle's six controls; 0: no key.
struct VehicleKeys {
    int32_t reverse;
    int32_t left;
    int32_t brake;
    int32_t right;
    int32_t accelerate;
    int32_t rescue;
};

// Each vehicle's keys, as the game's player chose them.
struct Bindings {
    VehicleKeys keys[vehicleCount];
};

// The keys a game starts with: blue on the numeric keypad (8 4 5 6 2,
// rescue 9), red on W A S D Z (E), green on I J K L M (O).
Bindings defaultBindings();

// Each vehicle's keys as the settings name them, the others' as they were at
// start. A vehicle whose line gives a key that another vehicle's keys or one
// of the game's own keys (Escape, F5, the layouts...) already hold keeps its
// own keys. A line of five keeps the vehicle's own rescue key, unless another
// key of the line or of another vehicle holds it: then it has none. Returns
// what was refused and why, a sentence a line, with what the settings reader
// refused before it ("" when all was well).
std::string applyKeySettings(Bindings& bindings, const Settings& read);

// The controls a vehicle's player gives the coming step: each one its key
// (held now, or tapped since the last step) or its pad's matching control.
VehicleControls playerControls(const Bindings& bindings, const InputState& input, const Gamepads& gamepads,
                               int32_t vehicle);

// The keys in a keys line's order (accelerate, reverse, left, right, brake, rescue).
void keysInSlots(const VehicleKeys& keys, int32_t (&slots)[keySlotCount]);
