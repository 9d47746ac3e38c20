// render.cpp -- each render call handed to the backend that is open.
#include "render/render_backends.h"

namespace {

bool es = false; // the OpenGL ES 2 backend is open, not OpenGL 1.1

} // namespace

bool openRenderer(RendererKind kind) {
    es = kind == RendererKind::gles2;
    return es ? gles2::openRenderer(kind) : gl11::openRenderer(kind);
}

void closeRenderer() { es ? gles2::closeRenderer() : gl11::closeRenderer(); }
void rendererStrings(char (&vendor)[81], char (&version)[81], char (&renderer)[81]) { es ? gles2::rendererStrings(vendor, version, renderer) : gl11::rendererStrings(vendor, version, renderer); }
void clearFrame() { es ? gles2::clearFrame() : gl11::clearFrame(); }
void flushFrame() { es ? gles2::flushFrame() : gl11::flushFrame(); }
void matrixMode(MatrixKind kind) { es ? gles2::matrixMode(kind) : gl11::matrixMode(kind); }
void loadIdentity() { es ? gles2::loadIdentity() : gl11::loadIdentity(); }
void loadMatrix(const float matrix[16]) { es ? gles2::loadMatrix(matrix) : gl11::loadMatrix(matrix); }
void pushMatrix() { es ? gles2::pushMatrix() : gl11::pushMatrix(); }
void popMatrix() { es ? gles2::popMatrix() : gl11::popMatrix(); }
void translate(float x, float y, float z) { es ? gles2::translate(x, y, z) : gl11::translate(x, y, z); }
void rotate(float degrees, float x, float y, float z) { es ? gles2::rotate(degrees, x, y, z) : gl11::rotate(degrees, x, y, z); }
void perspective(double fovY, double aspect, double nearPlane, double farPlane) { es ? gles2::perspective(fovY, aspect, nearPlane, farPlane) : gl11::perspective(fovY, aspect, nearPlane, farPlane); }
void ortho(double left, double right, double bottom, double top, double nearPlane, double farPlane) { es ? gles2::ortho(left, right, bottom, top, nearPlane, farPlane) : gl11::ortho(left, right, bottom, top, nearPlane, farPlane); }
void currentMatrix(MatrixKind kind, float matrix[16]) { es ? gles2::currentMatrix(kind, matrix) : gl11::currentMatrix(kind, matrix); }
void viewport(int32_t x, int32_t y, int32_t width, int32_t height) { es ? gles2::viewport(x, y, width, height) : gl11::viewport(x, y, width, height); }
void currentViewport(int32_t (&rectangle)[4]) { es ? gles2::currentViewport(rectangle) : gl11::currentViewport(rectangle); }
void enable(Feature feature) { es ? gles2::enable(feature) : gl11::enable(feature); }
void disable(Feature feature) { es ? gles2::disable(feature) : gl11::disable(feature); }
void blendFunction(Blend source, Blend destination) { es ? gles2::blendFunction(source, destination) : gl11::blendFunction(source, destination); }
void alphaTest(AlphaPass pass) { es ? gles2::alphaTest(pass) : gl11::alphaTest(pass); }
void depthWrites(bool on) { es ? gles2::depthWrites(on) : gl11::depthWrites(on); }
void lineWidth(float width) { es ? gles2::lineWidth(width) : gl11::lineWidth(width); }
void pushState() { es ? gles2::pushState() : gl11::pushState(); }
void popState() { es ? gles2::popState() : gl11::popState(); }
void colour(float r, float g, float b, float a) { es ? gles2::colour(r, g, b, a) : gl11::colour(r, g, b, a); }
void normal(float x, float y, float z) { es ? gles2::normal(x, y, z) : gl11::normal(x, y, z); }
void placeLight(const float position[4]) { es ? gles2::placeLight(position) : gl11::placeLight(position); }
void lightColours(const float ambient[4], const float diffuse[4]) { es ? gles2::lightColours(ambient, diffuse) : gl11::lightColours(ambient, diffuse); }
void uploadTexture(uint32_t* slot, int32_t filter, int32_t channels, int32_t width, int32_t height, const uint8_t* pixels, bool clampEdges) { es ? gles2::uploadTexture(slot, filter, channels, width, height, pixels, clampEdges) : gl11::uploadTexture(slot, filter, channels, width, height, pixels, clampEdges); }
void bindTexture(uint32_t texture) { es ? gles2::bindTexture(texture) : gl11::bindTexture(texture); }
void begin(Primitive primitive) { es ? gles2::begin(primitive) : gl11::begin(primitive); }
void texCoord(float s, float t) { es ? gles2::texCoord(s, t) : gl11::texCoord(s, t); }
void vertex(float x, float y, float z) { es ? gles2::vertex(x, y, z) : gl11::vertex(x, y, z); }
void end() { es ? gles2::end() : gl11::end(); }
void cylinder(double base, double top, double height, int32_t slices, int32_t stacks) { es ? gles2::cylinder(base, top, height, slices, stacks) : gl11::cylinder(base, top, height, slices, stacks); }
void disk(double inner, double outer, int32_t slices, int32_t loops) { es ? gles2::disk(inner, outer, slices, loops) : gl11::disk(inner, outer, slices, loops); }
uint32_t beginMesh() { return es ? gles2::beginMesh() : gl11::beginMesh(); }
void endMesh() { es ? gles2::endMesh() : gl11::endMesh(); }
void drawMesh(uint32_t mesh) { es ? gles2::drawMesh(mesh) : gl11::drawMesh(mesh); }
void deleteMesh(uint32_t mesh) { es ? gles2::deleteMesh(mesh) : gl11::deleteMesh(mesh); }
bool buildFont() { return es ? gles2::buildFont() : gl11::buildFont(); }
void deleteFont() { es ? gles2::deleteFont() : gl11::deleteFont(); }
void drawText(float x, float y, const unsigned char* characters, int32_t count) { es ? gles2::drawText(x, y, characters, count) : gl11::drawText(x, y, characters, count); }
