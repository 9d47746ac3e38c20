// win32_main.cpp -- the program's entry on Windows: a GUI program, no console
// of its own.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "app/game.h"
#include "app/main_loop.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_text.h"

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

// The arguments in UTF-8, as the game takes every name: a replay in a folder
// whose name leaves the system's code page is found by its own name.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    joinParentConsole();
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide != nullptr && i < count; ++i) {
        arguments.push_back(narrowText(wide[i]));
    }
    if (wide != nullptr) {
        LocalFree(wide);
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(&argument[0]);
    }
    argv.push_back(nullptr);
    const auto game = std::make_unique<Game>();   // the game above it: its parts and the frame's clock
    const auto world = std::make_unique<World>(); // the game's world, stepped and drawn
    return arguments.empty() ? runGame(*game, *world, __argc, __argv) // no wide command line to be had
                             : runGame(*game, *world, static_cast<int>(arguments.size()), argv.data());
}
