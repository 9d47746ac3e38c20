// win32_main.cpp -- the program's entry on Windows: a GUI program, no console.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "app/main_loop.h"

#include <cstdlib>

// The arguments as the C runtime split them from the command line.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return runGame(__argc, __argv); }
