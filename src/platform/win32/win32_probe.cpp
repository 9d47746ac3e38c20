// win32_probe.cpp -- a console helper for the Windows tests: prints the
// system-information line the game shows, from the same backend and formatter;
// with "keep", writes a file twice the way the game keeps the player's records
// and prints where it went and what it holds.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/places.h"
#include "core/safe_file.h"
#include "platform/platform.h"
#include "render/overlays.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "keep") == 0) {
        const std::string path = userDataFolder() + "\\probe.txt";
        std::string why;
        const bool kept = writeFileSafely(path, "first\n", why) && writeFileSafely(path, "second\n", why);
        std::FILE* file = platformOpenFile(path.c_str(), "r");
        char text[32] = "";
        if (file != nullptr) {
            std::fgets(text, sizeof text, file);
            std::fclose(file);
        }
        std::printf("%s %s %s", kept ? "kept" : why.c_str(), path.c_str(), text);
        return kept ? 0 : 1;
    }
    OsVersion version{};
    platformOsVersion(version);
    char text[81];
    formatOsText(version, text);
    std::printf("%s\n", text);
    return 0;
}
