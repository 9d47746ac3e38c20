// byte_buffer.h -- sizing a picture's byte buffer without ending the game when
// the memory cannot be had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Makes bytes exactly size long (zeroes where it grows). False, with bytes left
// empty, when that much memory cannot be allocated: the reader then takes its
// ordinary failure path instead of the process ending on an allocation error.
bool resizeBytes(std::vector<uint8_t>& bytes, std::size_t size);
