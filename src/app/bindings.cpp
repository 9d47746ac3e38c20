// bindings.cpp -- the vehicles' keys, and the controls a player's hands give a step.
#include "app/bindings.h"

#include "core/app_state.h"
#include "platform/win_messages.h"

namespace {

constexpr VehicleKeys defaultKeys[vehicleCount] = {
    {VK_NUMPAD0 + 2, VK_NUMPAD0 + 4, VK_NUMPAD0 + 5, VK_NUMPAD0 + 6, VK_NUMPAD0 + 8},
    {'Z', 'A', 'S', 'D', 'W'},
    {'M', 'J', 'K', 'L', 'I'},
};

} // namespace

VehicleKeys vehicleKeys[vehicleCount] = {defaultKeys[0], defaultKeys[1], defaultKeys[2]};

void defaultVehicleKeys() {
    for (int32_t v = 0; v < vehicleCount; ++v) {
        vehicleKeys[v] = defaultKeys[v];
    }
}

VehicleControls playerControls(int32_t vehicle) {
    const VehicleKeys& keys = vehicleKeys[vehicle];
    const auto held = [&](int32_t key, PadControl control) {
        return input.heldForStep(key) || padHeld(gamepads, vehicle, control);
    };
    return VehicleControls{held(keys.accelerate, padAccelerate), held(keys.reverse, padReverse),
                           held(keys.left, padLeft), held(keys.right, padRight), held(keys.brake, padBrake)};
}

bool anyControl(const VehicleControls& c) { return c.accelerate || c.reverse || c.left || c.right || c.brake; }
