// render.h -- everything the game draws goes through these calls: textures,
// meshes made once and drawn often, vertices sent a frame at a time, the two
// matrix stacks, the light, and the few states the pictures switch. Two
// backends answer them: OpenGL 1.1 (display lists, the fixed pipeline: the
// pictures Mudlark has always drawn) and OpenGL ES 2 (buffers and a few fixed
// shaders: WebGL in a browser, and any desktop that asks for it). One of them
// is open at a time, chosen when the window's context is made.
#pragma once

#include <cstdint>

enum class RendererKind : uint8_t { gl11, gles2 };

enum class MatrixKind : uint8_t { projection, modelview };

enum class Feature : uint8_t { texture, lighting, blend, alphaTest, depthTest };

enum class Blend : uint8_t { zero, one, sourceAlpha, oneMinusSourceAlpha, destinationAlpha, destinationColour };

// What the alpha test lets through: alpha above zero, or alpha not zero.
enum class AlphaPass : uint8_t { aboveZero, notZero };

// Quads are drawn as two triangles each where the backend has no quads.
enum class Primitive : uint8_t { triangles, quads, lines };

// The calls themselves, said once for the game and for each backend.
#include "render/render_calls.inc"
