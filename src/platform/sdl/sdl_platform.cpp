// sdl_platform.cpp -- the game's window, messages, boxes and clock on SDL2.
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/utsname.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/win_messages.h"
#include "platform/message_queue.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_font.h"
#include "platform/sdl/sdl_keys.h"

namespace {

constexpr int queueCapacity = 64;

// Everything the backend holds of the operating system.
struct SdlPlatform {
    bool videoStarted;
    SDL_Window* window;
    SDL_GLContext context;
    bool quiet;                   // boxes go to standard error
    char dropped[1024];           // the last file dropped on the window
    // Messages made from one SDL event wait here for the following polls.
    MessageQueue<queueCapacity> queue;
};

SdlPlatform sdl;

void postMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) { sdl.queue.post(message, wParam, lParam); }

intptr_t pointParam(int x, int y) {
    return static_cast<intptr_t>(makeLong(static_cast<uint32_t>(x), static_cast<uint32_t>(y)));
}

void translateKey(const SDL_KeyboardEvent& key) {
    const uint8_t code = virtualKeyFromScancode(key.keysym.scancode);
    if (code == 0) {
        return;
    }
    // As on Windows, keys pressed while Alt is held, Alt itself and F10 arrive as
    // system keys, which the game's procedure leaves alone.
    const bool system = (key.keysym.mod & KMOD_ALT) != 0 || code == VK_MENU || code == VK_F10;
    const bool down = key.type == SDL_KEYDOWN;
    const uint32_t message =
        system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    const uint32_t repeat = 1;
    const uint32_t flags = static_cast<uint32_t>(key.keysym.scancode & 0xFF) |
                           (key.repeat ? 0x4000u : 0u) | (down ? 0u : 0xC000u);
    postMessage(message, code, static_cast<intptr_t>(makeLong(repeat, flags)));
}

// An activation message as Windows sends it: the low word says whether the
// window has the focus, the high word whether it is minimised. Both come from
// the window's own state, not from the event: SDL reports a minimise and then
// the focus loss it causes, and the second must not read as "not minimised".
void postActivation() {
    const Uint32 flags = sdl.window != nullptr ? SDL_GetWindowFlags(sdl.window) : 0;
    const bool minimised = (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
    const bool focused = (flags & SDL_WINDOW_INPUT_FOCUS) != 0;
    postMessage(WM_ACTIVATE, makeLong(focused ? WA_ACTIVE : WA_INACTIVE, minimised ? 1 : 0), 0);
}

void translateWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        postMessage(WM_SIZE, 0, pointParam(event.data1, event.data2));
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        postActivation();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        postMessage(WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void translateMouseButton(const SDL_MouseButtonEvent& button) {
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    uint32_t message = 0;
    switch (button.button) {
    case SDL_BUTTON_LEFT:
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        break;
    case SDL_BUTTON_RIGHT:
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        break;
    case SDL_BUTTON_MIDDLE:
        message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        break;
    default:
        return;
    }
    postMessage(message, 0, pointParam(button.x, button.y));
}

void translateEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        translateKey(event.key);
        break;
    case SDL_MOUSEMOTION:
        postMessage(WM_MOUSEMOVE, 0, pointParam(event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        translateMouseButton(event.button);
        break;
    case SDL_WINDOWEVENT:
        translateWindowEvent(event.window);
        break;
    case SDL_QUIT:
        postMessage(WM_CLOSE, 0, 0);
        break;
    case SDL_DROPFILE:
        if (event.drop.file != nullptr) {
            std::snprintf(sdl.dropped, sizeof sdl.dropped, "%s", event.drop.file);
            SDL_free(event.drop.file);
            postMessage(WM_DROPFILES, 0, 0);
        }
        break;
    default:
        break;
    }
}

void setColorAttributes(uint32_t colorBits) {
    int red = 8, green = 8, blue = 8;
    if (colorBits <= 16) {
        red = 5;
        green = colorBits == 16 ? 6 : 5;
        blue = 5;
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, blue);
    // No alpha and no stencil: the terrain's overlay blend relies on a frame
    // buffer whose destination alpha reads as one.
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
}

// True when the display offers exactly this mode; there is no fall-back.
bool findFullscreenMode(uint32_t width, uint32_t height, SDL_DisplayMode& found) {
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == static_cast<int>(width) &&
            mode.h == static_cast<int>(height)) {
            found = mode;
            return true;
        }
    }
    return false;
}

} // namespace

int platformOpenWindow(const WindowRequest& request) {
    sdl.queue.procedure = request.procedure;
    sdl.queue.context = request.context;
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    if (!sdl.videoStarted) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            return -1;
        }
        // Without a display SDL falls back to drivers that show nothing; a game
        // nobody can see has not started.
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver == nullptr || SDL_strcmp(driver, "offscreen") == 0 ||
            SDL_strcmp(driver, "dummy") == 0) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return -1;
        }
        sdl.videoStarted = true;
    }

    SDL_DisplayMode mode{};
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (request.fullscreen) {
        if (!findFullscreenMode(request.width, request.height, mode)) {
            return -2;
        }
        flags |= SDL_WINDOW_FULLSCREEN;
        SDL_ShowCursor(request.showCursor ? SDL_ENABLE : SDL_DISABLE);
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }

    setColorAttributes(request.colorBits);
    // The ES 2 renderer asks for what a browser gives: an OpenGL ES 2 context.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, request.shaders ? SDL_GL_CONTEXT_PROFILE_ES : 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, request.shaders ? 2 : 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, request.shaders ? 0 : 1);
    sdl.window = SDL_CreateWindow(request.title, 0, 0, static_cast<int>(request.width),
                                  static_cast<int>(request.height), flags);
    if (sdl.window == nullptr) {
        return -3;
    }
    if (request.fullscreen && SDL_SetWindowDisplayMode(sdl.window, &mode) != 0) {
        return -2;
    }

    sdl.context = SDL_GL_CreateContext(sdl.window);
    if (sdl.context == nullptr) {
        return -7;
    }
    // The frame buffer must be double buffered with a depth buffer to be of use.
    int doubleBuffered = 0;
    int depthBits = 0;
    SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffered);
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depthBits);
    // (An ES context cannot be asked whether it is double buffered; its
    // window surface always is.)
    if ((!doubleBuffered && !request.shaders) || depthBits < 16) {
        return -5;
    }
    if (SDL_GL_MakeCurrent(sdl.window, sdl.context) != 0) {
        return -8;
    }

    SDL_DisableScreenSaver();
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE); // a replay dropped on the window plays
    SDL_ShowWindow(sdl.window);
    SDL_RaiseWindow(sdl.window);
    return 0;
}

void platformCloseWindow(bool fullscreen, void (*report)(CloseStep failedStep)) {
    if (fullscreen) {
        if (sdl.window != nullptr) {
            SDL_SetWindowFullscreen(sdl.window, 0);
        }
        SDL_ShowCursor(SDL_ENABLE);
    }
    if (sdl.context != nullptr) {
        if (SDL_GL_MakeCurrent(sdl.window, nullptr) != 0) {
            report(CloseStep::releaseContext);
        }
        SDL_GL_DeleteContext(sdl.context);
        sdl.context = nullptr;
    }
    if (sdl.window != nullptr) {
        SDL_DestroyWindow(sdl.window);
        sdl.window = nullptr;
    }
    if (sdl.videoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        sdl.videoStarted = false;
    }
}

bool platformPeekMessage(WindowMessage& message) {
    SDL_Event event;
    while (!sdl.queue.quitPosted && sdl.queue.count == 0 && sdl.videoStarted && SDL_PollEvent(&event)) {
        translateEvent(event);
    }
    return sdl.queue.take(message);
}

void platformWaitMessage(uint32_t milliseconds) {
    if (sdl.queue.quitPosted || sdl.queue.count != 0 || !sdl.videoStarted) {
        return;
    }
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(milliseconds))) {
        translateEvent(event);
    }
}

void platformDispatchMessage(const WindowMessage& message) { sdl.queue.dispatch(message); }

intptr_t platformDefaultWindowProcedure(uint32_t, uintptr_t, intptr_t) { return 0; }

void platformPostQuitMessage(int exitCode) { sdl.queue.postQuit(exitCode); }

void platformSwapBuffers() {
    if (sdl.window != nullptr) {
        SDL_GL_SwapWindow(sdl.window);
    }
}

bool platformDroppedFile(char (&path)[1024]) {
    std::snprintf(path, sizeof path, "%s", sdl.dropped);
    return path[0] != '\0';
}

void platformQuietMessages() { sdl.quiet = true; }

void platformShowMessage(const char* text, const char* caption, MessageIcon icon) {
    // Said on standard error as well: a terminal or a log keeps what a box shows.
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    if (sdl.quiet) {
        return;
    }
    Uint32 flags = 0;
    if (icon == MessageIcon::exclamation) {
        flags = SDL_MESSAGEBOX_WARNING;
    } else if (icon == MessageIcon::information) {
        flags = SDL_MESSAGEBOX_INFORMATION;
    }
    SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
}

bool platformPerformanceFrequency(int64_t& countsPerSecond) {
    countsPerSecond = static_cast<int64_t>(SDL_GetPerformanceFrequency());
    return countsPerSecond != 0;
}

bool platformPerformanceCounter(int64_t& count) {
    count = static_cast<int64_t>(SDL_GetPerformanceCounter());
    return true;
}

void platformBuildFontLists(uint32_t firstList) { buildFreeTypeFontLists(firstList); }

void* platformGlFunction(const char* name) { return SDL_GL_GetProcAddress(name); }

void platformOsVersion(OsVersion& version) {
    version = OsVersion{osPlatformLinux, 0, 0, 0};
    struct utsname names;
    if (uname(&names) == 0) {
        std::sscanf(names.release, "%d.%d.%d", &version.majorVersion, &version.minorVersion,
                    &version.buildNumber);
    }
}

#if defined(MUDLARK_SANITIZED)
// The address sanitizer's allocator stands in for malloc there, and has its own.
extern "C" void __sanitizer_purge_allocator();
#endif

void platformReleaseFreeMemory() {
#if defined(MUDLARK_SANITIZED)
    __sanitizer_purge_allocator();
#elif defined(__GLIBC__)
    malloc_trim(0); // every free page of the heap, not only its top
#endif
}

