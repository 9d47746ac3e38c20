// headless_messages.cpp -- the platform's part a program without a window
// needs beyond files (the race server, the hashing tool's browser build): a
// message goes to standard error, as there is no one to see a box.
#include <cstdio>

#include "platform/platform.h"

void platformShowMessage(const char* text, const char* caption, MessageIcon) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
}
