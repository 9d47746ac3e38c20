// sdl_main.cpp -- the program's entry on SDL: runs the game and returns its exit code.
#define SDL_MAIN_HANDLED
#include <SDL2/SDL.h>

#include <memory>

#include "app/game.h"
#include "app/main_loop.h"

int main(int argc, char** argv) {
    SDL_SetMainReady();
    const auto game = std::make_unique<Game>();   // the game above it: its parts and the frame's clock
    const auto world = std::make_unique<World>(); // the game's world, stepped and drawn
    const int exitCode = runGame(*game, *world, argc, argv);
    SDL_Quit();
    return exitCode;
}
