// gl_context.cpp -- hidden SDL window with a GL context for the GL tests.
#include "support/gl_context.h"

#include <SDL2/SDL.h>
#include <cstdio>

#include "core/app_state.h"
#include "common/gl_api.h"
#include "platform/fake/fake_platform.h"
#include "render/gl_state.h"

GlContext::GlContext(int width, int height) : width_(width), height_(height) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
        return;
    }
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("gl test", 0, 0, width, height,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        std::fprintf(stderr, "SDL window: %s\n", SDL_GetError());
        return;
    }
    window_ = window;
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        std::fprintf(stderr, "SDL GL context: %s\n", SDL_GetError());
        return;
    }
    context_ = context;
    SDL_GL_MakeCurrent(window, context);
    settings.width = static_cast<uint32_t>(width);
    settings.height = static_cast<uint32_t>(height);
    glViewport(0, 0, width, height);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

GlContext::~GlContext() {
    if (context_ != nullptr) {
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), nullptr);
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::vector<Rgb> GlContext::readPixels() const {
    std::vector<Rgb> pixels(static_cast<size_t>(width_) * static_cast<size_t>(height_));
    glFinish();
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgb GlContext::pixel(int x, int y) const {
    Rgb value{0, 0, 0};
    glFinish();
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, &value);
    return value;
}

Matrix4 readMatrix(unsigned int which) {
    Matrix4 matrix{};
    glGetDoublev(which, matrix.m);
    return matrix;
}

void GlTest::openContext(int width, int height, bool gameState) {
    resetAppState();
    resetFakePlatform();
    context.reset();
    context = std::make_unique<GlContext>(width, height);
    ASSERT_TRUE(context->ok());
    if (gameState) {
        setUpGlState();
    }
}

void GlTest::TearDown() { resetAppState(); }
