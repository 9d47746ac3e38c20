// render_backends.h -- the two backends' halves of the render calls, each in
// a namespace of its own; render.cpp hands every call to the open one.
#pragma once

#include "render/render.h"

namespace gles2 {
#include "render/render_calls.inc"
} // namespace gles2

#if defined(MUDLARK_NO_GL11)
namespace gl11 = gles2; // a browser has no OpenGL 1.1: every call is the other's
#else
namespace gl11 {
#include "render/render_calls.inc"
} // namespace gl11
#endif
