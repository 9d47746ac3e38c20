// gl11_render.cpp -- the render calls on OpenGL 1.1 and GLU: each is the GL
// call the game has always made, meshes are display lists, the cylinders
// and disks GLU's quadrics, the font the platform's glyph lists.
#include <cstdio>

#include "common/gl_api.h"
#include "platform/platform.h"
#include "render/render_backends.h"

namespace gl11 {

namespace {

constexpr uint32_t firstCharacter = 32;
constexpr uint32_t characterCount = 96;

GLUquadric* quadric = nullptr; // the wheels', the posts'
GLuint fontBase = 0;           // the first of the font's 96 lists

GLenum capability(Feature feature) {
    switch (feature) {
    case Feature::texture: return GL_TEXTURE_2D;
    case Feature::lighting: return GL_LIGHTING;
    case Feature::blend: return GL_BLEND;
    case Feature::alphaTest: return GL_ALPHA_TEST;
    case Feature::depthTest: break;
    }
    return GL_DEPTH_TEST;
}

GLenum factor(Blend blend) {
    switch (blend) {
    case Blend::zero: return GL_ZERO;
    case Blend::one: return GL_ONE;
    case Blend::sourceAlpha: return GL_SRC_ALPHA;
    case Blend::oneMinusSourceAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case Blend::destinationAlpha: return GL_DST_ALPHA;
    case Blend::destinationColour: break;
    }
    return GL_DST_COLOR;
}

// Copies a driver string, cut to what the field holds; a missing one reads "".
void copyDriverString(char (&field)[81], GLenum name) {
    const GLubyte* value = glGetString(name);
    std::snprintf(field, sizeof field, "%s", value != nullptr ? reinterpret_cast<const char*>(value) : "");
}

} // namespace

bool openRenderer(RendererKind) {
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHT1);
    quadric = gluNewQuadric();
    if (quadric != nullptr) {
        gluQuadricNormals(quadric, GLU_SMOOTH);
        gluQuadricTexture(quadric, GL_TRUE);
    }
    return true;
}

void closeRenderer() {
    if (quadric != nullptr) {
        gluDeleteQuadric(quadric);
        quadric = nullptr;
    }
}

void rendererStrings(char (&vendor)[81], char (&version)[81], char (&renderer)[81]) {
    copyDriverString(vendor, GL_VENDOR);
    copyDriverString(version, GL_VERSION);
    copyDriverString(renderer, GL_RENDERER);
}

void clearFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

void flushFrame() { glFlush(); }

void matrixMode(MatrixKind kind) { glMatrixMode(kind == MatrixKind::projection ? GL_PROJECTION : GL_MODELVIEW); }
void loadIdentity() { glLoadIdentity(); }
void loadMatrix(const float matrix[16]) { glLoadMatrixf(matrix); }
void pushMatrix() { glPushMatrix(); }
void popMatrix() { glPopMatrix(); }
void translate(float x, float y, float z) { glTranslatef(x, y, z); }
void rotate(float degrees, float x, float y, float z) { glRotatef(degrees, x, y, z); }
void perspective(double fovY, double aspect, double nearPlane, double farPlane) { gluPerspective(fovY, aspect, nearPlane, farPlane); }
void ortho(double left, double right, double bottom, double top, double nearPlane, double farPlane) {
    glOrtho(left, right, bottom, top, nearPlane, farPlane);
}
void currentMatrix(MatrixKind kind, float matrix[16]) {
    glGetFloatv(kind == MatrixKind::projection ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, matrix);
}

void viewport(int32_t x, int32_t y, int32_t width, int32_t height) { glViewport(x, y, width, height); }
void currentViewport(int32_t (&rectangle)[4]) {
    GLint value[4];
    glGetIntegerv(GL_VIEWPORT, value);
    for (int k = 0; k < 4; ++k) {
        rectangle[k] = value[k];
    }
}

void enable(Feature feature) { glEnable(capability(feature)); }
void disable(Feature feature) { glDisable(capability(feature)); }
void blendFunction(Blend source, Blend destination) { glBlendFunc(factor(source), factor(destination)); }
void alphaTest(AlphaPass pass) { glAlphaFunc(pass == AlphaPass::aboveZero ? GL_GREATER : GL_NOTEQUAL, 0); }
void depthWrites(bool on) { glDepthMask(on ? GL_TRUE : GL_FALSE); }
void lineWidth(float width) { glLineWidth(width); }
void pushState() { glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_LINE_BIT); }
void popState() { glPopAttrib(); }

void colour(float r, float g, float b, float a) { glColor4f(r, g, b, a); }
void normal(float x, float y, float z) { glNormal3f(x, y, z); }

void placeLight(const float position[4]) { glLightfv(GL_LIGHT1, GL_POSITION, position); }
void lightColours(const float ambient[4], const float diffuse[4]) {
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
}

void uploadTexture(uint32_t* slot, int32_t filter, int32_t channels, int32_t width, int32_t height, const uint8_t* pixels,
                   bool clampEdges) {
    glDeleteTextures(1, slot);
    glGenTextures(1, slot);
    if (filter < 0 || filter > 2) {
        return;
    }
    const GLenum format = channels == 4 ? GL_RGBA : GL_RGB;
    glBindTexture(GL_TEXTURE_2D, *slot);
    if (clampEdges) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    }
    // Rows are packed without padding; GL's default alignment of 4 would read
    // past the end of an RGB picture whose row is not a multiple of 4 bytes.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    if (filter == 2) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(format), width, height, format, GL_UNSIGNED_BYTE, pixels);
    } else {
        const GLint sampling = filter == 0 ? GL_NEAREST : GL_LINEAR;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, sampling);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, sampling);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    }
    glPopClientAttrib();
}

void bindTexture(uint32_t texture) { glBindTexture(GL_TEXTURE_2D, texture); }

void begin(Primitive primitive) {
    glBegin(primitive == Primitive::triangles ? GL_TRIANGLES : primitive == Primitive::quads ? GL_QUADS : GL_LINES);
}
void texCoord(float s, float t) { glTexCoord2f(s, t); }
void vertex(float x, float y, float z) { glVertex3f(x, y, z); }
void end() { glEnd(); }

void cylinder(double base, double top, double height, int32_t slices, int32_t stacks) {
    if (quadric != nullptr) {
        gluCylinder(quadric, base, top, height, slices, stacks);
    }
}

void disk(double inner, double outer, int32_t slices, int32_t loops) {
    if (quadric != nullptr) {
        gluDisk(quadric, inner, outer, slices, loops);
    }
}

uint32_t beginMesh() {
    const GLuint list = glGenLists(1);
    if (list != 0) {
        glNewList(list, GL_COMPILE);
    }
    return list;
}

void endMesh() { glEndList(); }

void drawMesh(uint32_t mesh) {
    if (mesh != 0) {
        glCallList(mesh);
    }
}

void deleteMesh(uint32_t mesh) {
    if (mesh != 0) {
        glDeleteLists(mesh, 1);
    }
}

bool buildFont() {
    fontBase = glGenLists(characterCount);
    if (fontBase != 0) {
        platformBuildFontLists(fontBase);
    }
    return fontBase != 0;
}

void deleteFont() {
    if (fontBase != 0) {
        glDeleteLists(fontBase, characterCount);
        fontBase = 0;
    }
}

void drawText(float x, float y, const unsigned char* characters, int32_t count) {
    glRasterPos2f(x, y);
    // Without lists every character would call display lists that belong to
    // something else.
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBase - firstCharacter);
    glCallLists(fontBase != 0 ? count : 0, GL_UNSIGNED_BYTE, characters);
    glPopAttrib();
}

} // namespace gl11
