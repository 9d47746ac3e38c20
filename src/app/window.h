// window.h -- the game's window and GL context, and its window procedure.
#pragma once

#include <cstdint>

// Opens the window described by the settings with its GL context current, then
// sets up the projection and the GL state. On failure it has shown its message
// and released what it made, and returns false.
bool openWindow();

// Releases the context, the window and the class, reporting each step that fails.
void closeWindow();

// Keeps the input record, the active flag and the client size up to date, and
// turns the close request into the quit message.
intptr_t windowProcedure(uint32_t message, uintptr_t wParam, intptr_t lParam);
