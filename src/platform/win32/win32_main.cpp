// win32_main.cpp -- the program's entry on Windows: a GUI program, no console.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "app/main_loop.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return runGame(); }
