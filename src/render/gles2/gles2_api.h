// gles2_api.h -- the OpenGL ES 2 calls and numbers the second backend uses,
// fetched by name from whichever context the platform made (an ES 2 context,
// a desktop context of version 2 or later, or WebGL). No system GL header is
// needed: the same declarations serve every build.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define MUDLARK_GL_CALL __stdcall
#else
#define MUDLARK_GL_CALL
#endif

namespace es {

using Enum = uint32_t;

constexpr Enum zero = 0, one = 1;
constexpr Enum lines = 0x0001, triangles = 0x0004;
constexpr Enum depthBufferBit = 0x0100, colourBufferBit = 0x4000;
constexpr Enum lequal = 0x0203;
constexpr Enum sourceAlpha = 0x0302, oneMinusSourceAlpha = 0x0303, destinationAlpha = 0x0304, destinationColour = 0x0306;
constexpr Enum blend = 0x0BE2, depthTest = 0x0B71;
constexpr Enum unpackAlignment = 0x0CF5;
constexpr Enum texture2D = 0x0DE1, textureMagFilter = 0x2800, textureMinFilter = 0x2801, textureWrapS = 0x2802,
               textureWrapT = 0x2803;
constexpr Enum nearest = 0x2600, linear = 0x2601, linearMipmapNearest = 0x2701, clampToEdge = 0x812F;
constexpr Enum unsignedByte = 0x1401, floatType = 0x1406;
constexpr Enum rgb = 0x1907, rgba = 0x1908;
constexpr Enum vendor = 0x1F00, renderer = 0x1F01, version = 0x1F02;
constexpr Enum arrayBuffer = 0x8892, staticDraw = 0x88E4, streamDraw = 0x88E0;
constexpr Enum fragmentShader = 0x8B30, vertexShader = 0x8B31, compileStatus = 0x8B81, linkStatus = 0x8B82;

// Each call the backend makes; null until openFunctions found it.
struct Functions {
    void(MUDLARK_GL_CALL* AttachShader)(uint32_t, uint32_t);
    void(MUDLARK_GL_CALL* BindAttribLocation)(uint32_t, uint32_t, const char*);
    void(MUDLARK_GL_CALL* BindBuffer)(Enum, uint32_t);
    void(MUDLARK_GL_CALL* BindTexture)(Enum, uint32_t);
    void(MUDLARK_GL_CALL* BlendFunc)(Enum, Enum);
    void(MUDLARK_GL_CALL* BufferData)(Enum, ptrdiff_t, const void*, Enum);
    void(MUDLARK_GL_CALL* Clear)(uint32_t);
    void(MUDLARK_GL_CALL* ClearColor)(float, float, float, float);
    void(MUDLARK_GL_CALL* CompileShader)(uint32_t);
    uint32_t(MUDLARK_GL_CALL* CreateProgram)();
    uint32_t(MUDLARK_GL_CALL* CreateShader)(Enum);
    void(MUDLARK_GL_CALL* DeleteBuffers)(int32_t, const uint32_t*);
    void(MUDLARK_GL_CALL* DeleteTextures)(int32_t, const uint32_t*);
    void(MUDLARK_GL_CALL* DepthFunc)(Enum);
    void(MUDLARK_GL_CALL* DepthMask)(uint8_t);
    void(MUDLARK_GL_CALL* Disable)(Enum);
    void(MUDLARK_GL_CALL* DisableVertexAttribArray)(uint32_t);
    void(MUDLARK_GL_CALL* DrawArrays)(Enum, int32_t, int32_t);
    void(MUDLARK_GL_CALL* Enable)(Enum);
    void(MUDLARK_GL_CALL* EnableVertexAttribArray)(uint32_t);
    void(MUDLARK_GL_CALL* Flush)();
    void(MUDLARK_GL_CALL* GenBuffers)(int32_t, uint32_t*);
    void(MUDLARK_GL_CALL* GenTextures)(int32_t, uint32_t*);
    void(MUDLARK_GL_CALL* GenerateMipmap)(Enum);
    void(MUDLARK_GL_CALL* GetProgramiv)(uint32_t, Enum, int32_t*);
    void(MUDLARK_GL_CALL* GetShaderiv)(uint32_t, Enum, int32_t*);
    void(MUDLARK_GL_CALL* GetShaderInfoLog)(uint32_t, int32_t, int32_t*, char*);
    const uint8_t*(MUDLARK_GL_CALL* GetString)(Enum);
    int32_t(MUDLARK_GL_CALL* GetUniformLocation)(uint32_t, const char*);
    void(MUDLARK_GL_CALL* LineWidth)(float);
    void(MUDLARK_GL_CALL* LinkProgram)(uint32_t);
    void(MUDLARK_GL_CALL* PixelStorei)(Enum, int32_t);
    void(MUDLARK_GL_CALL* ShaderSource)(uint32_t, int32_t, const char* const*, const int32_t*);
    void(MUDLARK_GL_CALL* TexImage2D)(Enum, int32_t, int32_t, int32_t, int32_t, int32_t, Enum, Enum, const void*);
    void(MUDLARK_GL_CALL* TexParameteri)(Enum, Enum, int32_t);
    void(MUDLARK_GL_CALL* Uniform1i)(int32_t, int32_t);
    void(MUDLARK_GL_CALL* Uniform4fv)(int32_t, int32_t, const float*);
    void(MUDLARK_GL_CALL* UniformMatrix4fv)(int32_t, int32_t, uint8_t, const float*);
    void(MUDLARK_GL_CALL* UseProgram)(uint32_t);
    void(MUDLARK_GL_CALL* VertexAttrib3f)(uint32_t, float, float, float);
    void(MUDLARK_GL_CALL* VertexAttrib4f)(uint32_t, float, float, float, float);
    void(MUDLARK_GL_CALL* VertexAttribPointer)(uint32_t, int32_t, Enum, uint8_t, int32_t, const void*);
    void(MUDLARK_GL_CALL* Viewport)(int32_t, int32_t, int32_t, int32_t);
};

// Fills the table through the platform; false if any call is missing.
bool openFunctions(Functions& gl);

} // namespace es
