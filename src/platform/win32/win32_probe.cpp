// win32_probe.cpp -- a console helper for the Windows tests: prints the
// system-information line the game shows, from the same backend and formatter.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

#include "platform/platform.h"
#include "render/overlays.h"

int main() {
    OsVersion version{};
    platformOsVersion(version);
    char text[81];
    formatOsText(version, text);
    std::printf("%s\n", text);
    return 0;
}
