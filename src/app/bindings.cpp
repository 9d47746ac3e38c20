// bindings.cpp -- the vehicles' keys, and the controls a player's hands give a step.
#include "app/bindings.h"

#include <algorithm>
#include <cstdio>

#include "core/key_names.h"
#include "platform/win_messages.h"

namespace {

// A keys line's order (accelerate, reverse, left, right, brake, rescue) as the record keeps them.
constexpr VehicleKeys keysOf(const uint8_t* k) {
    return VehicleKeys{k[keyReverse], k[keyLeft], k[keyBrake], k[keyRight], k[keyAccelerate], k[keyRescue]};
}

constexpr VehicleKeys defaultKeys[vehicleCount] = {keysOf(startingKeys[0]), keysOf(startingKeys[1]), keysOf(startingKeys[2])};

constexpr const char* slotNames[keySlotCount] = {"accelerate", "reverse", "left", "right", "brake", "rescue"};

// Who else holds this key, in words ("red's accelerate", "starting a race");
// empty when nobody does (and for no key at all).
std::string holderOf(int32_t code, int32_t vehicle, int32_t slot, const VehicleKeys (&keys)[vehicleCount]) {
    if (code == 0) {
        return "";
    }
    if (const char* action = gameKeyAction(static_cast<uint8_t>(code))) {
        return action;
    }
    for (int32_t v = 0; v < vehicleCount; ++v) {
        int32_t slots[keySlotCount];
        keysInSlots(keys[v], slots);
        for (int32_t s = 0; s < keySlotCount; ++s) {
            if (slots[s] == code && (v != vehicle || s != slot)) {
                return std::string(v == vehicle ? "its own " : std::string(vehicleNames[v]) + "'s ") + slotNames[s];
            }
        }
    }
    return "";
}

} // namespace

void keysInSlots(const VehicleKeys& keys, int32_t (&slots)[keySlotCount]) {
    const int32_t inOrder[keySlotCount] = {keys.accelerate, keys.reverse, keys.left, keys.right, keys.brake, keys.rescue};
    std::copy(inOrder, inOrder + keySlotCount, slots);
}

Bindings defaultBindings() { return Bindings{{defaultKeys[0], defaultKeys[1], defaultKeys[2]}}; }

VehicleControls playerControls(const Bindings& bindings, const InputState& input, const Gamepads& gamepads,
                               int32_t vehicle) {
    const VehicleKeys& keys = bindings.keys[vehicle];
    const auto held = [&](int32_t key, PadControl control) {
        return input.heldForStep(key) || padHeld(gamepads, vehicle, control);
    };
    return VehicleControls{held(keys.accelerate, padAccelerate), held(keys.reverse, padReverse),
                           held(keys.left, padLeft),         held(keys.right, padRight),
                           held(keys.brake, padBrake),       held(keys.rescue, padRescue),
                           false};
}

std::string applyKeySettings(Bindings& bindings, const Settings& read) {
    std::string said = read.keyFaults;
    VehicleKeys keys[vehicleCount];
    bool own[vehicleCount]; // keeps its own (default) keys
    for (int32_t v = 0; v < vehicleCount; ++v) {
        const uint8_t* k = read.vehicleKeys[v];
        own[v] = read.vehicleKeysLine[v] == 0;
        keys[v] = own[v] ? defaultKeys[v] : keysOf(k);
        keys[v].rescue = own[v] || k[keyRescue] != 0 ? keys[v].rescue : defaultKeys[v].rescue;
    }
    // A rescue the line did not name keeps its own key only where nothing else holds it.
    for (int32_t v = 0; v < vehicleCount; ++v) {
        if (!own[v] && read.vehicleKeys[v][keyRescue] == 0 && !holderOf(keys[v].rescue, v, keyRescue, keys).empty()) {
            keys[v].rescue = 0;
        }
    }
    // A refused line puts its vehicle's own keys back, which may clash with
    // another line in turn: round again until nothing changes.
    for (bool changed = true; changed;) {
        changed = false;
        for (int32_t v = 0; v < vehicleCount; ++v) {
            int32_t slots[keySlotCount];
            keysInSlots(keys[v], slots);
            for (int32_t s = 0; s < keySlotCount && !own[v]; ++s) {
                const std::string holder = holderOf(slots[s], v, s, keys);
                if (!holder.empty()) {
                    char text[192];
                    std::snprintf(text, sizeof text, "line %d: keys %s: \"%s\" is held by %s; %s keeps its own keys.\n",
                                  static_cast<int>(read.vehicleKeysLine[v]), vehicleNames[v],
                                  keyNameOfCode(static_cast<uint8_t>(slots[s])), holder.c_str(), vehicleNames[v]);
                    said += text;
                    keys[v] = defaultKeys[v];
                    own[v] = changed = true;
                }
            }
        }
    }
    std::copy(keys, keys + vehicleCount, bindings.keys);
    return said;
}
