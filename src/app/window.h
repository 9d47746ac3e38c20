// window.h -- the game's window and GL context, and its window procedure.
#pragma once

#include <cstdint>

struct Game;

// Opens the window the game's settings describe with its GL context current,
// its messages going to the game, then sets up the projection and the GL
// state. On failure it has shown its message and released what it made, and
// returns false.
bool openWindow(Game& game);

// Releases the context, the window and the class, reporting each step that fails.
void closeWindow(const Game& game);

// Keeps the game's input record, active flag and window size up to date, and
// turns the close request into the quit message. The context is the Game.
intptr_t windowProcedure(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam);
