// posix_files.cpp -- file names and the environment where the system takes
// UTF-8 as it is: the SDL backend's and the test backend's.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

std::FILE* platformOpenFile(const char* path, const char* mode) {
    return path != nullptr ? std::fopen(path, mode) : nullptr;
}

std::string platformEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

uint32_t platformProcessId() { return static_cast<uint32_t>(getpid()); }
