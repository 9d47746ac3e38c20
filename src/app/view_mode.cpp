// view_mode.cpp -- polling the layout and followed-vehicle keys.
#include "app/view_mode.h"

#include <algorithm>
#include <iterator>

#include "core/key_names.h"
#include "platform/win_messages.h"

void readLayoutKeys(const InputState& input, bool& worldView, uint32_t& splitLayout) {
    for (const LayoutKey& key : layoutKeys) {
        if (input.isDown(key.code)) {
            worldView = key.worldView;
            splitLayout = key.worldView ? splitLayout : key.splitLayout;
            return;
        }
    }
}

bool anyLayoutKeyDown(const InputState& input) {
    return std::any_of(std::begin(layoutKeys), std::end(layoutKeys),
                       [&input](const LayoutKey& key) { return input.isDown(key.code); });
}

void readFollowKeys(const InputState& input, uint32_t& followedVehicle) {
    if (input.isDown(VK_NUMPAD0 + 7)) {
        followedVehicle = 0;
    } else if (input.isDown(letterKey('Q'))) {
        followedVehicle = 1;
    } else if (input.isDown(letterKey('U'))) {
        followedVehicle = 2;
    }
}

void applyPadViewButtons(const Gamepads& pads, bool& worldView, uint32_t& splitLayout, uint32_t& followedVehicle) {
    if (pads.followRequest >= 0 && pads.followRequest < padVehicles) {
        followedVehicle = static_cast<uint32_t>(pads.followRequest);
    }
    for (uint32_t step = 0; step < pads.layoutSteps; ++step) {
        if (worldView) {
            worldView = false;
            splitLayout = 1;
        } else if (splitLayout >= 3) {
            worldView = true;
        } else {
            ++splitLayout;
        }
    }
}

bool driverViewport(uint32_t vehicle, bool worldView, uint32_t splitLayout, uint32_t followedVehicle,
                    uint32_t width, uint32_t height, Viewport& viewport) {
    if (worldView) {
        return false;
    }
    if (splitLayout <= 1) {
        viewport = Viewport{0, 0, width, height};
        return vehicle == followedVehicle;
    }
    if (vehicle > 2 || (vehicle == 2 && splitLayout < 3)) {
        return false;
    }
    const uint32_t halfW = width / 2, halfH = height / 2;
    viewport = Viewport{vehicle == 1 ? 0 : halfW, vehicle == 0 ? 0 : halfH, halfW, halfH};
    return true;
}
