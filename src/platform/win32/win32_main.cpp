// win32_main.cpp -- the program's entry on Windows: a GUI program, no console
// of its own.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "app/main_loop.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Started from a console (cmd, PowerShell), what the game prints (--help,
// --check-replay, what a message box said) goes to that console; output sent
// to a file or a pipe stays where it was sent. Started from Explorer there is
// no console to join and nothing changes.
void joinParentConsole() {
    const auto missing = [](DWORD which) {
        const HANDLE handle = GetStdHandle(which);
        return handle == nullptr || handle == INVALID_HANDLE_VALUE;
    };
    const bool out = missing(STD_OUTPUT_HANDLE), err = missing(STD_ERROR_HANDLE);
    if ((!out && !err) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    if (out) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (err) {
        std::freopen("CONOUT$", "w", stderr);
    }
}

} // namespace

// The arguments as the C runtime split them from the command line.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    joinParentConsole();
    const auto world = std::make_unique<World>(); // the game's world, stepped and drawn
    return runGame(*world, __argc, __argv);
}
