// byte_buffer.cpp -- the one place that turns an allocation failure into false.
#include "common/byte_buffer.h"

#include <new>
#include <stdexcept>

bool resizeBytes(std::vector<uint8_t>& bytes, std::size_t size) {
    try {
        bytes.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    std::vector<uint8_t>().swap(bytes);
    return false;
}
