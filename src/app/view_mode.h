// view_mode.h -- the keys that choose the screen layout and the followed vehicle.
#pragma once

#include <cstdint>

#include "core/gamepads.h"
#include "core/input.h"
#include "scene/scene.h"

// What the window shows: the layout and whose view, the world camera's aim
// and where the light is.
struct ViewState {
    bool worldView;           // the world-view layout; takes priority over splitLayout
    uint32_t splitLayout = 1; // 1, 2 or 3 driver views
    uint32_t followedVehicle; // 0..2: the one-driver view and the world camera's target
    WorldCamera camera;       // turned toward the followed vehicle each frame
    float light[4] = {startLightPosition[0], startLightPosition[1], startLightPosition[2], startLightPosition[3]};
};

// Insert: one driver view; Home: two driver views and the world view; Delete:
// three driver views and the world view; End: the world view alone. The first
// key down this frame in that order wins; with none the layout stays.
void readLayoutKeys(const InputState& input, bool& worldView, uint32_t& splitLayout);

// Whether any of the layout keys is down (or was tapped) this frame.
bool anyLayoutKeyDown(const InputState& input);

// Numpad 7, Q, U follow vehicle 0, 1, 2; the first key down in that order wins.
void readFollowKeys(const InputState& input, uint32_t& followedVehicle);

// The pads' view buttons of this frame, after the keys: Back follows that pad's
// vehicle; each Start steps one driver -> two drivers -> three drivers -> world
// -> one driver.
void applyPadViewButtons(const Gamepads& pads, bool& worldView, uint32_t& splitLayout, uint32_t& followedVehicle);

// A rectangle of the window as GL counts it: x and y from the bottom left.
struct Viewport {
    uint32_t x, y, width, height;
};

// Where a vehicle's driver view is in the layout: the whole window for the
// followed vehicle in the one-driver layout; in the split layouts vehicle 0 in
// the bottom-right quarter, 1 in the top left, 2 in the top right (three
// drivers only). Quarters are integer halves, so with odd sizes the last
// column or row stays clear. False when the layout shows no view of it.
bool driverViewport(uint32_t vehicle, bool worldView, uint32_t splitLayout, uint32_t followedVehicle,
                    uint32_t width, uint32_t height, Viewport& viewport);
