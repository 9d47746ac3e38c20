// gles2_render.cpp -- the render calls on OpenGL ES 2 (and WebGL): the two
// matrix stacks kept here, vertices gathered into buffers, and one pair of
// shaders doing what the fixed pipeline does for Mudlark's pictures: the one
// light per vertex with the colour as the material, the texture modulating
// it, the alpha test.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <vector>

#include "assets/targa_image.h"
#include "platform/platform.h"
#include "render/font_atlas.h"
#include "render/gles2/gles2_api.h"
#include "render/render_backends.h"

namespace es {

bool openFunctions(Functions& gl) {
    bool all = true;
    const auto find = [&all](auto& slot, const char* name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(platformGlFunction(name));
        all = all && slot != nullptr;
    };
    find(gl.AttachShader, "glAttachShader");
    find(gl.BindAttribLocation, "glBindAttribLocation");
    find(gl.BindBuffer, "glBindBuffer");
    find(gl.BindTexture, "glBindTexture");
    find(gl.BlendFunc, "glBlendFunc");
    find(gl.BufferData, "glBufferData");
    find(gl.Clear, "glClear");
    find(gl.ClearColor, "glClearColor");
    find(gl.CompileShader, "glCompileShader");
    find(gl.CreateProgram, "glCreateProgram");
    find(gl.CreateShader, "glCreateShader");
    find(gl.DeleteBuffers, "glDeleteBuffers");
    find(gl.DeleteTextures, "glDeleteTextures");
    find(gl.DepthFunc, "glDepthFunc");
    find(gl.DepthMask, "glDepthMask");
    find(gl.Disable, "glDisable");
    find(gl.DisableVertexAttribArray, "glDisableVertexAttribArray");
    find(gl.DrawArrays, "glDrawArrays");
    find(gl.Enable, "glEnable");
    find(gl.EnableVertexAttribArray, "glEnableVertexAttribArray");
    find(gl.Flush, "glFlush");
    find(gl.GenBuffers, "glGenBuffers");
    find(gl.GenTextures, "glGenTextures");
    find(gl.GenerateMipmap, "glGenerateMipmap");
    find(gl.GetProgramiv, "glGetProgramiv");
    find(gl.GetShaderiv, "glGetShaderiv");
    find(gl.GetShaderInfoLog, "glGetShaderInfoLog");
    find(gl.GetString, "glGetString");
    find(gl.GetUniformLocation, "glGetUniformLocation");
    find(gl.LineWidth, "glLineWidth");
    find(gl.LinkProgram, "glLinkProgram");
    find(gl.PixelStorei, "glPixelStorei");
    find(gl.ShaderSource, "glShaderSource");
    find(gl.TexImage2D, "glTexImage2D");
    find(gl.TexParameteri, "glTexParameteri");
    find(gl.Uniform1i, "glUniform1i");
    find(gl.Uniform4fv, "glUniform4fv");
    find(gl.UniformMatrix4fv, "glUniformMatrix4fv");
    find(gl.UseProgram, "glUseProgram");
    find(gl.VertexAttrib3f, "glVertexAttrib3f");
    find(gl.VertexAttrib4f, "glVertexAttrib4f");
    find(gl.VertexAttribPointer, "glVertexAttribPointer");
    find(gl.Viewport, "glViewport");
    return all;
}

} // namespace es

namespace gles2 {

namespace {

// A vertex as drawn: position, normal, texture coordinate, colour.
struct Vertex {
    float position[3];
    float normal[3];
    float st[2];
    float colour[4];
};

enum Attribute : uint32_t { positionAttribute, normalAttribute, stAttribute, colourAttribute };

struct Mesh {
    uint32_t buffer = 0;
    int32_t count = 0;
    bool normals = false; // false: the mesh takes the normal current when drawn
};

// What pushState keeps.
struct State {
    uint32_t features = 1u << static_cast<int>(Feature::depthTest);
    Blend source = Blend::one, destination = Blend::zero;
    AlphaPass pass = AlphaPass::aboveZero;
    float colour[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float lineWidth = 1;
    uint32_t texture = 0;
};

struct Matrix {
    float m[16];
};

constexpr int stackDepth = 32;

struct Light {
    float position[4];
    float ambient[4];
    float diffuse[4];
};

struct Normal {
    float n[3];
};

struct Colour {
    float c[4];
};

// What the program and its attributes were last given (a value none can
// have until the first draw sends it).
struct Sent {
    Matrix modelview{{-1}};
    Matrix projection{{-1}};
    int32_t lit = -1, textured = -1, alpha = -1;
    Light light{{-1}, {-1}, {-1}};
    bool arrays[4] = {false, false, false, false};
    uint32_t pointersFor = ~0u;
    Normal normal{{-2, -2, -2}};
    Colour colour{{-1, -1, -1, -1}};
};

struct Backend {
    es::Functions gl{};
    uint32_t program = 0;
    int32_t uniforms[8] = {};
    uint32_t streamBuffer = 0;
    Sent sent;
    State state;
    State saved[8];
    int savedCount = 0;
    Matrix stacks[2][stackDepth];
    int depth[2] = {0, 0};
    MatrixKind mode = MatrixKind::modelview;
    int32_t viewport[4] = {0, 0, 1, 1};
    int32_t widest[2] = {1, 1}; // the largest viewport's right and top edges: the window
    float lightPosition[4] = {0, 0, 1, 0};
    float lightAmbient[4] = {0, 0, 0, 1};
    float lightDiffuse[4] = {1, 1, 1, 1};
    // The vertices between begin and end, and the primitive they make.
    std::vector<Vertex> batch;
    Primitive primitive = Primitive::triangles;
    float st[2] = {0, 0};
    // The mesh being made: its vertices, and the matrix its moves build.
    bool recording = false;
    bool recordedNormals = false;
    std::vector<Vertex> recorded;
    Matrix recordStack[stackDepth];
    int recordDepth = 0;
    std::vector<Mesh> meshes; // mesh n at n - 1
    uint32_t fontTexture = 0;
    int32_t fontCellWidth = 0; // the font's advance and a margin either side
};

Backend b;

enum Uniform { modelviewUniform, projectionUniform, litUniform, lightPositionUniform, ambientUniform, diffuseUniform, texturedUniform, alphaUniform };

const char* const vertexShader = R"(
uniform mat4 modelview;
uniform mat4 projection;
uniform int lit;
uniform vec4 lightPosition;
uniform vec4 ambient;
uniform vec4 diffuse;
attribute vec3 position;
attribute vec3 normal;
attribute vec2 st;
attribute vec4 colour;
varying vec4 shade;
varying vec2 texel;
void main() {
    vec4 eye = modelview * vec4(position, 1.0);
    gl_Position = projection * eye;
    texel = st;
    shade = colour;
    if (lit != 0) {
        vec3 n = (modelview * vec4(normal, 0.0)).xyz;
        vec3 toLight = normalize(lightPosition.xyz - eye.xyz * lightPosition.w);
        float facing = max(dot(n, toLight), 0.0);
        shade = vec4(min(colour.rgb * ambient.rgb + colour.rgb * diffuse.rgb * facing, 1.0), colour.a * diffuse.a);
    }
}
)";

const char* const fragmentShader = R"(
#ifdef GL_ES
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
#endif
uniform sampler2D picture;
uniform int textured;
uniform int alphaPass;
varying vec4 shade;
varying vec2 texel;
void main() {
    vec4 c = shade;
    if (textured != 0) {
        c *= texture2D(picture, texel);
    }
    if ((alphaPass == 1 && c.a <= 0.0) || (alphaPass == 2 && c.a == 0.0)) {
        discard;
    }
    gl_FragColor = c;
}
)";

bool on(Feature feature) { return (b.state.features >> static_cast<int>(feature) & 1) != 0; }

es::Enum factor(Blend blend) {
    switch (blend) {
    case Blend::zero: return es::zero;
    case Blend::one: return es::one;
    case Blend::sourceAlpha: return es::sourceAlpha;
    case Blend::oneMinusSourceAlpha: return es::oneMinusSourceAlpha;
    case Blend::destinationAlpha: return es::destinationAlpha;
    case Blend::destinationColour: break;
    }
    return es::destinationColour;
}

Matrix identity() {
    Matrix m{};
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1;
    return m;
}

// a times b, as GL multiplies the current matrix by a new one.
Matrix times(const Matrix& a, const Matrix& c) {
    Matrix r{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a.m[4 * k + row] * c.m[4 * column + k];
            }
            r.m[4 * column + row] = sum;
        }
    }
    return r;
}

Matrix& current() {
    if (b.recording) {
        return b.recordStack[b.recordDepth];
    }
    const int kind = static_cast<int>(b.mode);
    return b.stacks[kind][b.depth[kind]];
}

void multiply(const Matrix& by) { current() = times(current(), by); }

uint32_t compile(es::Enum kind, const char* source) {
    const uint32_t shader = b.gl.CreateShader(kind);
    // Desktop GL reads the shaders as its version 1.10, which has no precision.
    const char* parts[2] = {"#version 100\n", source};
    const char* desktop[2] = {"#version 110\n", source};
    const char* text = reinterpret_cast<const char*>(b.gl.GetString(es::version));
    const bool embedded = text != nullptr && (std::strncmp(text, "OpenGL ES", 9) == 0 || std::strncmp(text, "WebGL", 5) == 0);
    b.gl.ShaderSource(shader, 2, embedded ? parts : desktop, nullptr);
    b.gl.CompileShader(shader);
    int32_t compiled = 0;
    b.gl.GetShaderiv(shader, es::compileStatus, &compiled);
    if (compiled == 0) {
        char log[512] = "";
        b.gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "mudlark: a shader does not compile: %s\n", log);
        return 0;
    }
    return shader;
}

bool makeProgram() {
    const uint32_t vertex = compile(es::vertexShader, vertexShader);
    const uint32_t fragment = compile(es::fragmentShader, fragmentShader);
    if (vertex == 0 || fragment == 0) {
        return false;
    }
    b.program = b.gl.CreateProgram();
    b.gl.AttachShader(b.program, vertex);
    b.gl.AttachShader(b.program, fragment);
    const char* names[4] = {"position", "normal", "st", "colour"};
    for (uint32_t a = 0; a < 4; ++a) {
        b.gl.BindAttribLocation(b.program, a, names[a]);
    }
    b.gl.LinkProgram(b.program);
    int32_t linked = 0;
    b.gl.GetProgramiv(b.program, es::linkStatus, &linked);
    if (linked == 0) {
        std::fprintf(stderr, "mudlark: the shaders do not link\n");
        return false;
    }
    b.gl.UseProgram(b.program);
    const char* uniforms[8] = {"modelview", "projection", "lit", "lightPosition", "ambient", "diffuse", "textured", "alphaPass"};
    for (int u = 0; u < 8; ++u) {
        b.uniforms[u] = b.gl.GetUniformLocation(b.program, uniforms[u]);
    }
    b.gl.Uniform1i(b.gl.GetUniformLocation(b.program, "picture"), 0);
    return true;
}

// Sends a uniform or an attribute only when it changed since it was last
// sent: a view's draws mostly change the model-view matrix alone, and every
// call to WebGL costs.
template <typename Value, typename Send>
void sendChanged(Value& sent, const Value& now, Send send) {
    if (std::memcmp(&sent, &now, sizeof now) != 0) {
        sent = now;
        send();
    }
}

// The uniforms for the state now, then the vertices from the buffer.
void drawBuffer(uint32_t buffer, es::Enum mode, int32_t count, bool normals, bool colours) {
    if (count <= 0 || b.program == 0) {
        return;
    }
    Sent& sent = b.sent;
    const Matrix& modelview = b.stacks[1][b.depth[1]];
    const Matrix& projection = b.stacks[0][b.depth[0]];
    sendChanged(sent.modelview, modelview, [&] { b.gl.UniformMatrix4fv(b.uniforms[modelviewUniform], 1, 0, modelview.m); });
    sendChanged(sent.projection, projection, [&] { b.gl.UniformMatrix4fv(b.uniforms[projectionUniform], 1, 0, projection.m); });
    const int32_t lit = on(Feature::lighting) ? 1 : 0;
    sendChanged(sent.lit, lit, [&] { b.gl.Uniform1i(b.uniforms[litUniform], lit); });
    if (lit != 0) {
        // The scene's ambient light (0.2) and the lamp's, both taken by the colour.
        const Light light{{b.lightPosition[0], b.lightPosition[1], b.lightPosition[2], b.lightPosition[3]},
                          {0.2f + b.lightAmbient[0], 0.2f + b.lightAmbient[1], 0.2f + b.lightAmbient[2], 1},
                          {b.lightDiffuse[0], b.lightDiffuse[1], b.lightDiffuse[2], b.lightDiffuse[3]}};
        sendChanged(sent.light, light, [&] {
            b.gl.Uniform4fv(b.uniforms[lightPositionUniform], 1, light.position);
            b.gl.Uniform4fv(b.uniforms[ambientUniform], 1, light.ambient);
            b.gl.Uniform4fv(b.uniforms[diffuseUniform], 1, light.diffuse);
        });
    }
    const int32_t textured = on(Feature::texture) ? 1 : 0;
    sendChanged(sent.textured, textured, [&] { b.gl.Uniform1i(b.uniforms[texturedUniform], textured); });
    const int32_t alpha = !on(Feature::alphaTest) ? 0 : b.state.pass == AlphaPass::aboveZero ? 1 : 2;
    sendChanged(sent.alpha, alpha, [&] { b.gl.Uniform1i(b.uniforms[alphaUniform], alpha); });
    const bool arrays[4] = {true, normals, true, colours};
    for (uint32_t a = 0; a < 4; ++a) {
        sendChanged(sent.arrays[a], arrays[a], [&] { (arrays[a] ? b.gl.EnableVertexAttribArray : b.gl.DisableVertexAttribArray)(a); });
    }
    if (sent.pointersFor != buffer) {
        // A buffer's vertices are where the pointers say until another buffer is drawn.
        sent.pointersFor = buffer;
        b.gl.BindBuffer(es::arrayBuffer, buffer);
        const auto pointer = [](uint32_t attribute, int32_t size, size_t offset) {
            b.gl.VertexAttribPointer(attribute, size, es::floatType, 0, sizeof(Vertex), reinterpret_cast<const void*>(offset));
        };
        pointer(positionAttribute, 3, offsetof(Vertex, position));
        pointer(normalAttribute, 3, offsetof(Vertex, normal));
        pointer(stAttribute, 2, offsetof(Vertex, st));
        pointer(colourAttribute, 4, offsetof(Vertex, colour));
    }
    if (!normals) {
        const Normal normal{{b.state.normal[0], b.state.normal[1], b.state.normal[2]}};
        sendChanged(sent.normal, normal, [&] { b.gl.VertexAttrib3f(normalAttribute, normal.n[0], normal.n[1], normal.n[2]); });
    }
    if (!colours) {
        const Colour colour{{b.state.colour[0], b.state.colour[1], b.state.colour[2], b.state.colour[3]}};
        sendChanged(sent.colour, colour, [&] { b.gl.VertexAttrib4f(colourAttribute, colour.c[0], colour.c[1], colour.c[2], colour.c[3]); });
    }
    b.gl.DrawArrays(mode, 0, count);
}

// The batch's quads as two triangles each, in the order GL splits them.
void splitQuads(std::vector<Vertex>& vertices) {
    std::vector<Vertex> split;
    split.reserve(vertices.size() / 4 * 6);
    for (size_t q = 0; q + 3 < vertices.size(); q += 4) {
        for (const size_t k : {0, 1, 2, 0, 2, 3}) {
            split.push_back(vertices[q + k]);
        }
    }
    vertices.swap(split);
}

void loadFont() {
    std::FILE* file = platformOpenFile("Textures/Font.tga", "rb");
    TargaImage image;
    const TargaResult result = file != nullptr ? readTargaImage(file, image) : TargaResult::badHeader;
    if (file != nullptr) {
        std::fclose(file);
    }
    if (result != TargaResult::ok || image.bitsPerPixel != 32 || image.width % fontColumns != 0 ||
        image.height != fontRows * fontCellHeight || image.width / fontColumns <= 2 * fontCellMargin) {
        // The game plays on, without its lines of text.
        std::fprintf(stderr, "mudlark: Textures/Font.tga is %s: the shader renderer draws no text\n",
                     file == nullptr ? "missing" : "not a picture of the font's glyphs");
        return;
    }
    uploadTexture(&b.fontTexture, 0, 4, image.width, image.height, image.pixels.data(), true);
    b.fontCellWidth = image.width / fontColumns;
}

} // namespace

bool openRenderer(RendererKind) {
    b = Backend{};
    for (int kind = 0; kind < 2; ++kind) {
        b.stacks[kind][0] = identity();
    }
    if (!es::openFunctions(b.gl)) {
        std::fprintf(stderr, "mudlark: the GL context lacks calls the gles2 renderer needs\n");
        b.gl = es::Functions{};
        return false;
    }
    if (!makeProgram()) {
        b.program = 0;
        return false;
    }
    b.gl.GenBuffers(1, &b.streamBuffer);
    b.gl.ClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    b.gl.Enable(es::depthTest);
    b.gl.DepthFunc(es::lequal);
    b.gl.PixelStorei(es::unpackAlignment, 1);
    return true;
}

void closeRenderer() { b.program = 0; }

void rendererStrings(char (&vendor)[81], char (&version)[81], char (&renderer)[81]) {
    const auto copy = [](char (&field)[81], es::Enum name) {
        const uint8_t* value = b.gl.GetString != nullptr ? b.gl.GetString(name) : nullptr;
        std::snprintf(field, sizeof field, "%s", value != nullptr ? reinterpret_cast<const char*>(value) : "");
    };
    copy(vendor, es::vendor);
    copy(version, es::version);
    copy(renderer, es::renderer);
}

void clearFrame() {
    if (b.program != 0) {
        b.gl.Clear(es::colourBufferBit | es::depthBufferBit);
    }
    loadIdentity();
}

void flushFrame() {
    if (b.program != 0) {
        b.gl.Flush();
    }
}

void matrixMode(MatrixKind kind) { b.mode = kind; }
void loadIdentity() { current() = identity(); }
void loadMatrix(const float matrix[16]) { std::memcpy(current().m, matrix, sizeof current().m); }

void pushMatrix() {
    if (b.recording) {
        if (b.recordDepth + 1 < stackDepth) {
            b.recordStack[b.recordDepth + 1] = b.recordStack[b.recordDepth];
            ++b.recordDepth;
        }
        return;
    }
    int& depth = b.depth[static_cast<int>(b.mode)];
    if (depth + 1 < stackDepth) {
        b.stacks[static_cast<int>(b.mode)][depth + 1] = b.stacks[static_cast<int>(b.mode)][depth];
        ++depth;
    }
}

void popMatrix() {
    int& depth = b.recording ? b.recordDepth : b.depth[static_cast<int>(b.mode)];
    depth = depth > 0 ? depth - 1 : 0;
}

void translate(float x, float y, float z) {
    Matrix m = identity();
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    multiply(m);
}

void rotate(float degrees, float x, float y, float z) {
    const double length = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y + static_cast<double>(z) * z);
    if (length == 0) {
        return;
    }
    const double a = degrees * 3.14159265358979323846 / 180.0, c = std::cos(a), s = std::sin(a);
    const double u[3] = {x / length, y / length, z / length};
    Matrix m = identity();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            // Column j, row i of the rotation about u.
            double value = u[i] * u[j] * (1 - c) + (i == j ? c : 0);
            const int k = 3 - i - j;
            if (i != j) {
                const double sign = (j == (i + 1) % 3) ? -1 : 1;
                value += sign * u[k] * s;
            }
            m.m[4 * j + i] = static_cast<float>(value);
        }
    }
    multiply(m);
}

void perspective(double fovY, double aspect, double nearPlane, double farPlane) {
    const double f = 1.0 / std::tan(fovY * 3.14159265358979323846 / 360.0), depth = nearPlane - farPlane;
    Matrix m{};
    m.m[0] = static_cast<float>(f / aspect);
    m.m[5] = static_cast<float>(f);
    m.m[10] = static_cast<float>((farPlane + nearPlane) / depth);
    m.m[11] = -1;
    m.m[14] = static_cast<float>(2 * farPlane * nearPlane / depth);
    multiply(m);
}

void ortho(double left, double right, double bottom, double top, double nearPlane, double farPlane) {
    Matrix m = identity();
    m.m[0] = static_cast<float>(2 / (right - left));
    m.m[5] = static_cast<float>(2 / (top - bottom));
    m.m[10] = static_cast<float>(-2 / (farPlane - nearPlane));
    m.m[12] = static_cast<float>(-(right + left) / (right - left));
    m.m[13] = static_cast<float>(-(top + bottom) / (top - bottom));
    m.m[14] = static_cast<float>(-(farPlane + nearPlane) / (farPlane - nearPlane));
    multiply(m);
}

void currentMatrix(MatrixKind kind, float matrix[16]) {
    const int k = static_cast<int>(kind);
    std::memcpy(matrix, b.stacks[k][b.depth[k]].m, sizeof b.stacks[k][0].m);
}

void viewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    const int32_t rectangle[4] = {x, y, width, height};
    std::memcpy(b.viewport, rectangle, sizeof rectangle);
    b.widest[0] = x + width > b.widest[0] ? x + width : b.widest[0];
    b.widest[1] = y + height > b.widest[1] ? y + height : b.widest[1];
    if (b.program != 0) {
        b.gl.Viewport(x, y, width, height);
    }
}

void currentViewport(int32_t (&rectangle)[4]) { std::memcpy(rectangle, b.viewport, sizeof rectangle); }

void enable(Feature feature) {
    b.state.features |= 1u << static_cast<int>(feature);
    if (b.program != 0 && (feature == Feature::blend || feature == Feature::depthTest)) {
        b.gl.Enable(feature == Feature::blend ? es::blend : es::depthTest);
    }
}

void disable(Feature feature) {
    b.state.features &= ~(1u << static_cast<int>(feature));
    if (b.program != 0 && (feature == Feature::blend || feature == Feature::depthTest)) {
        b.gl.Disable(feature == Feature::blend ? es::blend : es::depthTest);
    }
}

void blendFunction(Blend source, Blend destination) {
    b.state.source = source;
    b.state.destination = destination;
    if (b.program != 0) {
        b.gl.BlendFunc(factor(source), factor(destination));
    }
}

void alphaTest(AlphaPass pass) { b.state.pass = pass; }

void depthWrites(bool writes) {
    if (b.program != 0) {
        b.gl.DepthMask(writes ? 1 : 0);
    }
}

void lineWidth(float width) {
    b.state.lineWidth = width;
    if (b.program != 0) {
        b.gl.LineWidth(width);
    }
}

void pushState() {
    if (b.savedCount < 8) {
        b.saved[b.savedCount++] = b.state;
    }
}

void popState() {
    if (b.savedCount == 0) {
        return;
    }
    const State s = b.saved[--b.savedCount];
    for (const Feature f : {Feature::blend, Feature::depthTest}) {
        ((s.features >> static_cast<int>(f) & 1) != 0 ? enable : disable)(f);
    }
    b.state = s;
    gles2::blendFunction(s.source, s.destination);
    lineWidth(s.lineWidth);
    bindTexture(s.texture);
}

void colour(float r, float g, float b_, float a) {
    const float c[4] = {r, g, b_, a};
    std::memcpy(b.state.colour, c, sizeof c);
}

void normal(float x, float y, float z) {
    const float n[3] = {x, y, z};
    std::memcpy(b.state.normal, n, sizeof n);
    b.recordedNormals = b.recordedNormals || b.recording;
}

void placeLight(const float position[4]) {
    const Matrix& m = b.stacks[1][b.depth[1]];
    for (int row = 0; row < 4; ++row) {
        b.lightPosition[row] = m.m[row] * position[0] + m.m[4 + row] * position[1] + m.m[8 + row] * position[2] + m.m[12 + row] * position[3];
    }
}

void lightColours(const float ambient[4], const float diffuse[4]) {
    std::memcpy(b.lightAmbient, ambient, sizeof b.lightAmbient);
    std::memcpy(b.lightDiffuse, diffuse, sizeof b.lightDiffuse);
}

void uploadTexture(uint32_t* slot, int32_t filter, int32_t channels, int32_t width, int32_t height, const uint8_t* pixels,
                   bool clampEdges) {
    if (b.program == 0) {
        return;
    }
    b.gl.DeleteTextures(1, slot);
    b.gl.GenTextures(1, slot);
    if (filter < 0 || filter > 2) {
        return;
    }
    const es::Enum format = channels == 4 ? es::rgba : es::rgb;
    b.gl.BindTexture(es::texture2D, *slot);
    b.state.texture = *slot;
    // Pictures whose sides are not powers of two cannot repeat or have smaller
    // copies in WebGL: theirs are clamped and filtered without.
    const bool powers = (width & (width - 1)) == 0 && (height & (height - 1)) == 0;
    if (clampEdges || !powers) {
        b.gl.TexParameteri(es::texture2D, es::textureWrapS, es::clampToEdge);
        b.gl.TexParameteri(es::texture2D, es::textureWrapT, es::clampToEdge);
    }
    const es::Enum sampling = filter == 0 ? es::nearest : es::linear;
    b.gl.TexParameteri(es::texture2D, es::textureMagFilter, static_cast<int32_t>(sampling));
    b.gl.TexParameteri(es::texture2D, es::textureMinFilter,
                       static_cast<int32_t>(filter == 2 && powers ? es::linearMipmapNearest : sampling));
    b.gl.TexImage2D(es::texture2D, 0, static_cast<int32_t>(format), width, height, 0, format, es::unsignedByte, pixels);
    if (filter == 2 && powers) {
        b.gl.GenerateMipmap(es::texture2D);
    }
}

void bindTexture(uint32_t texture) {
    b.state.texture = texture;
    if (b.program != 0) {
        b.gl.BindTexture(es::texture2D, texture);
    }
}

void begin(Primitive primitive) {
    b.primitive = primitive;
    b.batch.clear();
}

void texCoord(float s, float t) {
    b.st[0] = s;
    b.st[1] = t;
}

void vertex(float x, float y, float z) {
    Vertex v{{x, y, z}, {b.state.normal[0], b.state.normal[1], b.state.normal[2]}, {b.st[0], b.st[1]}, {}};
    std::memcpy(v.colour, b.state.colour, sizeof v.colour);
    if (b.recording) {
        // Placed by the mesh's own moves: the drawn mesh is then where a list
        // of GL calls would have put it.
        const Matrix& m = b.recordStack[b.recordDepth];
        float p[3], n[3];
        for (int row = 0; row < 3; ++row) {
            p[row] = m.m[row] * x + m.m[4 + row] * y + m.m[8 + row] * z + m.m[12 + row];
            n[row] = m.m[row] * v.normal[0] + m.m[4 + row] * v.normal[1] + m.m[8 + row] * v.normal[2];
        }
        std::memcpy(v.position, p, sizeof p);
        std::memcpy(v.normal, n, sizeof n);
    }
    b.batch.push_back(v);
}

void end() {
    if (b.primitive == Primitive::quads) {
        splitQuads(b.batch);
    }
    if (b.recording) {
        b.recorded.insert(b.recorded.end(), b.batch.begin(), b.batch.end());
    } else if (b.program != 0 && !b.batch.empty()) {
        b.gl.BindBuffer(es::arrayBuffer, b.streamBuffer);
        b.gl.BufferData(es::arrayBuffer, static_cast<ptrdiff_t>(b.batch.size() * sizeof(Vertex)), b.batch.data(), es::streamDraw);
        drawBuffer(b.streamBuffer, b.primitive == Primitive::lines ? es::lines : es::triangles, static_cast<int32_t>(b.batch.size()), true,
                   true);
    }
    b.batch.clear();
}

void cylinder(double base, double top, double height, int32_t slices, int32_t stacks) {
    // Round the z axis from +y toward +x, as GLU goes; s falls from 1 as it goes.
    const double slope = height != 0 ? (base - top) / height : 0;
    gles2::begin(Primitive::quads);
    for (int32_t j = 0; j < stacks; ++j) {
        for (int32_t i = 0; i < slices; ++i) {
            for (const int corner : {0, 1, 2, 3}) {
                const int32_t around = i + (corner == 1 || corner == 2 ? 1 : 0);
                const int32_t along = j + (corner >= 2 ? 1 : 0);
                const double angle = 2 * 3.14159265358979323846 * around / slices;
                const double radius = base + (top - base) * along / stacks;
                const double s = std::sin(angle), c = std::cos(angle), length = std::sqrt(1 + slope * slope);
                normal(static_cast<float>(s / length), static_cast<float>(c / length), static_cast<float>(slope / length));
                texCoord(1.0f - static_cast<float>(around) / static_cast<float>(slices),
                         static_cast<float>(along) / static_cast<float>(stacks));
                vertex(static_cast<float>(radius * s), static_cast<float>(radius * c), static_cast<float>(height * along / stacks));
            }
        }
    }
    end();
}

void disk(double inner, double outer, int32_t slices, int32_t loops) {
    normal(0, 0, 1);
    gles2::begin(Primitive::quads);
    for (int32_t j = 0; j < loops; ++j) {
        for (int32_t i = 0; i < slices; ++i) {
            for (const int corner : {0, 3, 2, 1}) {
                const int32_t around = i + (corner == 1 || corner == 2 ? 1 : 0);
                const double radius = inner + (outer - inner) * (j + (corner >= 2 ? 1 : 0)) / loops;
                const double angle = 2 * 3.14159265358979323846 * around / slices;
                const double x = radius * std::sin(angle), y = radius * std::cos(angle);
                texCoord(static_cast<float>(x / outer / 2 + 0.5), static_cast<float>(y / outer / 2 + 0.5));
                vertex(static_cast<float>(x), static_cast<float>(y), 0);
            }
        }
    }
    end();
}

uint32_t beginMesh() {
    b.recording = true;
    b.recordedNormals = false;
    b.recorded.clear();
    b.recordDepth = 0;
    b.recordStack[0] = identity();
    return static_cast<uint32_t>(b.meshes.size() + 1);
}

void endMesh() {
    Mesh mesh;
    mesh.count = static_cast<int32_t>(b.recorded.size());
    mesh.normals = b.recordedNormals;
    if (b.program != 0) {
        b.gl.GenBuffers(1, &mesh.buffer);
        b.gl.BindBuffer(es::arrayBuffer, mesh.buffer);
        b.gl.BufferData(es::arrayBuffer, static_cast<ptrdiff_t>(b.recorded.size() * sizeof(Vertex)), b.recorded.data(), es::staticDraw);
    }
    b.meshes.push_back(mesh);
    b.recording = false;
    b.recorded.clear();
    b.recorded.shrink_to_fit();
}

void drawMesh(uint32_t mesh) {
    if (mesh == 0 || mesh > b.meshes.size() || b.meshes[mesh - 1].buffer == 0) {
        return;
    }
    const Mesh& m = b.meshes[mesh - 1];
    drawBuffer(m.buffer, es::triangles, m.count, m.normals, false);
}

void deleteMesh(uint32_t mesh) {
    if (mesh == 0 || mesh > b.meshes.size()) {
        return;
    }
    Mesh& m = b.meshes[mesh - 1];
    if (m.buffer != 0 && b.program != 0) {
        b.gl.DeleteBuffers(1, &m.buffer);
        b.sent.pointersFor = ~0u; // its name may come back for another buffer
    }
    m = Mesh{};
}

bool buildFont() {
    loadFont();
    return b.fontTexture != 0;
}

void deleteFont() {
    if (b.fontTexture != 0 && b.program != 0) {
        b.gl.DeleteTextures(1, &b.fontTexture);
    }
    b.fontTexture = 0;
}

void drawText(float x, float y, const unsigned char* characters, int32_t count) {
    if (b.fontTexture == 0 || count <= 0) {
        return;
    }
    // Where the pen starts, in window pixels: text that starts outside the
    // view is not drawn at all, as GL's bitmaps are not.
    const Matrix clip = times(b.stacks[0][b.depth[0]], b.stacks[1][b.depth[1]]);
    float p[4];
    for (int row = 0; row < 4; ++row) {
        p[row] = clip.m[row] * x + clip.m[4 + row] * y + clip.m[12 + row];
    }
    if (p[3] <= 0 || std::fabs(p[0]) > p[3] || std::fabs(p[1]) > p[3] || std::fabs(p[2]) > p[3]) {
        return;
    }
    const float penX = std::floor(static_cast<float>(b.viewport[0]) + (p[0] / p[3] + 1) / 2 * static_cast<float>(b.viewport[2]) + 0.5f);
    const float penY = std::floor(static_cast<float>(b.viewport[1]) + (p[1] / p[3] + 1) / 2 * static_cast<float>(b.viewport[3]) + 0.5f);
    const float depth = p[2] / p[3];
    // Each glyph's cell a square of pixels over the whole window.
    const State kept = b.state;
    const int32_t keptViewport[4] = {b.viewport[0], b.viewport[1], b.viewport[2], b.viewport[3]};
    const int32_t width = b.widest[0], height = b.widest[1];
    b.gl.Viewport(0, 0, width, height);
    gles2::matrixMode(MatrixKind::projection);
    pushMatrix();
    loadIdentity();
    ortho(0, width, 0, height, -1, 1);
    gles2::matrixMode(MatrixKind::modelview);
    pushMatrix();
    loadIdentity();
    b.state.features = (kept.features & ((1u << static_cast<int>(Feature::blend)) | (1u << static_cast<int>(Feature::depthTest)))) |
                       (1u << static_cast<int>(Feature::texture)) | (1u << static_cast<int>(Feature::alphaTest));
    b.state.pass = AlphaPass::aboveZero;
    bindTexture(b.fontTexture);
    const float cellS = 1.0f / fontColumns, cellT = 1.0f / fontRows; // a cell of the picture
    const int32_t advance = b.fontCellWidth - 2 * fontCellMargin;
    gles2::begin(Primitive::quads);
    for (int32_t i = 0; i < count; ++i) {
        const int cell = characters[i] - 32;
        const float s0 = static_cast<float>(cell % fontColumns) * cellS;
        const float t1 = 1.0f - static_cast<float>(cell / fontColumns) * cellT; // the cell's top
        const float left = penX + static_cast<float>(i * advance - fontCellMargin);
        const float bottom = penY - static_cast<float>(fontCellHeight - fontBaseline);
        const float right = left + static_cast<float>(b.fontCellWidth), top = bottom + fontCellHeight;
        const float z = -depth; // the ortho above turns z round
        texCoord(s0, t1 - cellT), vertex(left, bottom, z);
        texCoord(s0 + cellS, t1 - cellT), vertex(right, bottom, z);
        texCoord(s0 + cellS, t1), vertex(right, top, z);
        texCoord(s0, t1), vertex(left, top, z);
    }
    end();
    popMatrix();
    gles2::matrixMode(MatrixKind::projection);
    popMatrix();
    gles2::matrixMode(MatrixKind::modelview);
    b.state = kept;
    bindTexture(kept.texture);
    b.gl.Viewport(keptViewport[0], keptViewport[1], keptViewport[2], keptViewport[3]);
}

} // namespace gles2
