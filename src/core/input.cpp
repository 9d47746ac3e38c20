// input.cpp -- the input record's own operations.
#include "core/input.h"

#include <cstring>

void InputState::clearMouseDeltas() {
    deltaX = 0;
    deltaY = 0;
}

void InputState::clearKeyPresses() { std::memset(pressed, 0, sizeof pressed); }
