// step_rate.h -- inside the vehicle folder: the frame rate a step divides by.
#pragma once

#include <cstdint>

// Frames per second as a divisor. The frame timer never gives less than 5; a
// zero from elsewhere counts as one frame a second rather than a division by zero.
inline double stepRate(uint32_t frameRate) { return frameRate != 0 ? frameRate : 1; }
