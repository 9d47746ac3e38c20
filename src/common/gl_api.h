// gl_api.h -- the one place that pulls in OpenGL 1.1 and GLU.
#pragma once

#if defined(_WIN32) && !defined(APIENTRY)
// The Windows GL headers expect these three from <windows.h>; defining them here
// keeps the operating system's headers out of the portable code.
#define APIENTRY __stdcall
#define WINGDIAPI __declspec(dllimport)
#define CALLBACK __stdcall
#endif

#include <GL/gl.h>
#include <GL/glu.h>
