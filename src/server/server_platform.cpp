// server_platform.cpp -- the platform's part the server needs beyond files:
// a message goes to standard error, as there is no one to see a box.
#include <cstdio>

#include "platform/platform.h"

void platformShowMessage(const char* text, const char* caption, MessageIcon) {
    std::fprintf(stderr, "mudlark-server: %s: %s\n", caption, text);
}
