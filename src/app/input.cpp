// input.cpp -- the input record's own operation.
#include "app/input.h"

void InputState::clearMouseDeltas() {
    deltaX = 0;
    deltaY = 0;
}
