// input.cpp -- the input record's own operations.
#include "core/input.h"

#include <cstring>

void InputState::clearMouseDeltas() {
    deltaX = 0;
    deltaY = 0;
}

void InputState::clearKeyPresses() {
    std::memset(pressed, 0, sizeof pressed);
    typedCount = 0;
}

void InputState::clearStepPresses() { std::memset(stepPressed, 0, sizeof stepPressed); }

void InputState::pressKey(uintptr_t code) {
    if (code < static_cast<uintptr_t>(keyCount)) {
        keys[code] = 1;
        pressed[code] = 1;
        stepPressed[code] = 1;
        if (typedCount < typedCapacity) {
            typed[typedCount++] = static_cast<uint8_t>(code);
        }
    }
}

void InputState::releaseKey(uintptr_t code) {
    if (code < static_cast<uintptr_t>(keyCount)) {
        keys[code] = 0;
    }
}
