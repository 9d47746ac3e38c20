// xinput_pads.cpp -- XInput's slots as pad readings.
#include "platform/win32/xinput_pads.h"

#include <algorithm>

namespace {

// XINPUT_GAMEPAD_* button bits.
constexpr uint16_t dpadUp = 0x0001, dpadDown = 0x0002, dpadLeft = 0x0004, dpadRight = 0x0008;
constexpr uint16_t start = 0x0010, back = 0x0020, rightThumb = 0x0080, leftShoulder = 0x0100, rightShoulder = 0x0200;
constexpr uint16_t buttonA = 0x1000, buttonB = 0x2000, buttonX = 0x4000, buttonY = 0x8000;

} // namespace

int readXInputPads(XInputGetStateFunction getState, PadReading* readings, int capacity) {
    int count = 0;
    for (uint32_t slot = 0; getState != nullptr && slot < xinputSlots && count < capacity; ++slot) {
        XInputPadState state{};
        if (getState(slot, &state) != 0) {
            continue;
        }
        const struct {
            uint16_t xinput;
            uint32_t pad;
        } buttons[] = {{buttonA, padSouth}, {buttonB, padEast},       {buttonX, padWest},        {back, padBack},
                       {start, padStart},   {dpadLeft, padDpadLeft}, {dpadRight, padDpadRight},
                       {buttonY, padNorth}, {rightShoulder, padRightShoulder}, {dpadUp, padDpadUp},
                       {dpadDown, padDpadDown}, {leftShoulder, padLeftShoulder}, {rightThumb, padRightStick}};
        PadReading& r = readings[count++];
        r = PadReading{slot + 1, slot + 1, std::max(-1.0f, state.thumbLX / 32767.0f), state.leftTrigger / 255.0f,
                       state.rightTrigger / 255.0f, 0};
        for (const auto& b : buttons) {
            r.buttons |= (state.buttons & b.xinput) != 0 ? b.pad : 0;
        }
    }
    return count;
}
