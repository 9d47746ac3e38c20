// gl_context.cpp -- the hidden SDL window and GL context of the GL tests.
#include "support/gl_context.h"

#include <SDL2/SDL.h>

#include "common/gl_api.h"
#include "core/app_state.h"
#include "platform/fake/fake_platform.h"
#include "render/gl_state.h"

void GlTest::openContext(int w, int h, bool gameState) {
    close();
    resetAppState();
    resetFakePlatform();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_ResetAttributes();
    for (auto [attribute, value] : {std::pair{SDL_GL_RED_SIZE, 8}, {SDL_GL_GREEN_SIZE, 8}, {SDL_GL_BLUE_SIZE, 8},
                                    {SDL_GL_ALPHA_SIZE, 0}, {SDL_GL_DEPTH_SIZE, 16}, {SDL_GL_STENCIL_SIZE, 0},
                                    {SDL_GL_DOUBLEBUFFER, 1}}) {
        SDL_GL_SetAttribute(attribute, value);
    }
    window_ = SDL_CreateWindow("gl test", 0, 0, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    context_ = SDL_GL_CreateContext(static_cast<SDL_Window*>(window_));
    ASSERT_NE(context_, nullptr) << SDL_GetError();
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), context_);
    width = w;
    height = h;
    settings.width = static_cast<uint32_t>(w);
    settings.height = static_cast<uint32_t>(h);
    glViewport(0, 0, w, h);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (gameState) {
        setUpGlState();
    }
}

void GlTest::close() {
    if (context_ != nullptr) {
        SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window_), nullptr);
        SDL_GL_DeleteContext(context_);
        context_ = nullptr;
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
        window_ = nullptr;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

void GlTest::TearDown() {
    resetAppState();
    close();
}

std::vector<Rgb> GlTest::pixels() const {
    std::vector<Rgb> out(static_cast<size_t>(width) * static_cast<size_t>(height));
    glFinish();
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, out.data());
    return out;
}

Rgb GlTest::pixel(int x, int y) const {
    Rgb value{0, 0, 0};
    glFinish();
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, &value);
    return value;
}

void GlTest::each(Rect r, const std::function<void(const Rgb&, int x, int row)>& visit) const {
    const std::vector<Rgb> all = pixels();
    for (int y = r.y0; y < r.y1; ++y) {
        for (int x = r.x0; x < r.x1; ++x) {
            visit(all[static_cast<size_t>(y) * width + x], x, height - 1 - y);
        }
    }
}

int GlTest::painted(Rect r) const {
    int count = 0;
    each(r, [&](const Rgb& p, int, int) { count += p != clearGrey ? 1 : 0; });
    return count;
}

int GlTest::white(Rect r) const {
    int count = 0;
    each(r, [&](const Rgb& p, int, int) { count += p.r > 200 && p.g > 200 && p.b > 200 ? 1 : 0; });
    return count;
}

char GlTest::dominant(Rect r) const {
    long sum[3] = {};
    each(r, [&](const Rgb& p, int, int) {
        sum[0] += p.r;
        sum[1] += p.g;
        sum[2] += p.b;
    });
    return sum[0] > sum[1] && sum[0] > sum[2] ? 'r' : sum[1] > sum[2] ? 'g' : 'b';
}

std::array<int, 5> GlTest::ink() const {
    std::array<int, 5> box{1 << 30, 1 << 30, -1, -1, 0};
    each({0, 0, width, height}, [&](const Rgb& p, int x, int row) {
        if (p.r > 200 && p.g > 200 && p.b > 200) {
            box = {std::min(box[0], x), std::min(box[1], row), std::max(box[2], x), std::max(box[3], row), box[4] + 1};
        }
    });
    return box;
}

std::array<double, 16> GlTest::matrix(unsigned int which) {
    std::array<double, 16> m{};
    glGetDoublev(which, m.data());
    return m;
}
