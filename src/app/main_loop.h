// main_loop.h -- the game from start-up to exit.
#pragma once

#include "sim/world.h"

struct Game;

// Reads the settings, opens the window, sets up the timer, the system
// information, the font and the scene, then polls messages and draws a frame on
// every idle poll while the window is active (while it is minimised, it sleeps
// until the next message instead), until the window is closed or Escape is held. Returns the process exit code: 0 after the window was closed
// (or could not be opened), otherwise the wParam of the last message handled.
// With arguments: a replay file to play at once, or "--check-replay FILE" to
// play one without a window and print its result (0, or 1 for a bad file).
// The game and its world are the caller's: the game sets the world up and
// steps it.
int runGame(Game& game, World& world, int argc = 0, char** argv = nullptr);

// runGame in three parts, for a host that calls the loop itself (a
// browser's animation frames): startGame returns the exit code when the game
// ends before its loop, else -1; each pass handles one message, draws one
// frame or waits; endGame shuts down and returns the exit code.
enum class GamePass { message, frame, waited, ended };
int startGame(Game& game, World& world, int argc, char** argv);
GamePass runGamePass(Game& game, World& world);
int endGame(Game& game, World& world);
