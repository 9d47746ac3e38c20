// web_platform.cpp -- the platform in a browser page (Emscripten): the
// canvas and its WebGL context as the window, the page's key, mouse, focus
// and size events as window messages, the Gamepad API, Web Audio, the
// page's clock, and files in the page's memory with the player's own kept
// in IndexedDB.
#include <emscripten.h>
#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/message_queue.h"
#include "platform/platform.h"
#include "platform/web/web_keys.h"
#include "platform/win_messages.h"

namespace {

constexpr int queueCapacity = 256;
constexpr const char* canvas = "#canvas";

struct WebPlatform {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
    bool quiet;
    bool focused;
    bool hidden;
    AudioFill fill;
    MessageQueue<queueCapacity> queue; // the page's events since the last frame
};

WebPlatform web;

void postMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) { web.queue.post(message, wParam, lParam); }

intptr_t pointParam(long x, long y) {
    return static_cast<intptr_t>(makeLong(static_cast<uint32_t>(x), static_cast<uint32_t>(y)));
}

void postActivation() { postMessage(WM_ACTIVATE, makeLong(web.focused ? WA_ACTIVE : WA_INACTIVE, web.hidden ? 1 : 0), 0); }

// The canvas as large as the page shows it, in its own pixels.
void fitCanvas() {
    double width = 0, height = 0;
    emscripten_get_element_css_size(canvas, &width, &height);
    const int w = width >= 1 ? static_cast<int>(width) : 1, h = height >= 1 ? static_cast<int>(height) : 1;
    emscripten_set_canvas_element_size(canvas, w, h);
    postMessage(WM_SIZE, 0, pointParam(w, h));
}

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    const uint8_t code = virtualKeyFromCode(event->code);
    if (code == 0) {
        return EM_FALSE; // not the game's: the page has it
    }
    // The first key allows the sound to start (a page may not make sound before).
    EM_ASM({ if (Module.audioContext && Module.audioContext.state !== 'running') Module.audioContext.resume(); });
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const bool system = event->altKey || code == VK_MENU || code == VK_F10;
    const uint32_t flags = (event->repeat ? 0x4000u : 0u) | (down ? 0u : 0xC000u);
    postMessage(system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP), code,
                static_cast<intptr_t>(makeLong(1, flags)));
    // The game's keys are not the browser's (F5 does not reload, Space does
    // not scroll), except with Control or Meta: the browser's own shortcuts.
    const bool shortcut = (event->ctrlKey || event->metaKey) && code != VK_LCONTROL && code != VK_RCONTROL;
    return shortcut ? EM_FALSE : EM_TRUE;
}

EM_BOOL onMouse(int type, const EmscriptenMouseEvent* event, void*) {
    uint32_t message = WM_MOUSEMOVE;
    if (type == EMSCRIPTEN_EVENT_MOUSEDOWN || type == EMSCRIPTEN_EVENT_MOUSEUP) {
        const bool down = type == EMSCRIPTEN_EVENT_MOUSEDOWN;
        const uint32_t buttons[3] = {down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? WM_MBUTTONDOWN : WM_MBUTTONUP,
                                     down ? WM_RBUTTONDOWN : WM_RBUTTONUP};
        if (event->button > 2) {
            return EM_FALSE;
        }
        message = buttons[event->button];
    }
    postMessage(message, 0, pointParam(event->targetX, event->targetY));
    return EM_FALSE;
}

EM_BOOL onResize(int, const EmscriptenUiEvent*, void*) {
    fitCanvas();
    return EM_FALSE;
}

EM_BOOL onFocus(int type, const EmscriptenFocusEvent*, void*) {
    web.focused = type == EMSCRIPTEN_EVENT_FOCUS;
    postActivation();
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    web.hidden = event->hidden != 0;
    postActivation();
    return EM_FALSE;
}

} // namespace

// Web Audio: a script processor on the page's main thread asks for frames
// through this, between the game's frames.
extern "C" EMSCRIPTEN_KEEPALIVE void mudlarkFillAudio(float* stereo, int frames) {
    if (web.fill != nullptr) {
        web.fill(stereo, frames);
    } else {
        std::memset(stereo, 0, sizeof(float) * 2 * static_cast<size_t>(frames));
    }
}

int platformOpenWindow(const WindowRequest& request) {
    web.queue.procedure = request.procedure;
    web.queue.context = request.context;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // No alpha: the ground's overlay and the smoke read the frame buffer's
    // alpha as one, and the page must not show through.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    web.context = emscripten_webgl_create_context(canvas, &attributes);
    if (web.context <= 0) {
        return -7;
    }
    if (emscripten_webgl_make_context_current(web.context) != EMSCRIPTEN_RESULT_SUCCESS) {
        return -8;
    }
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onKey);
    emscripten_set_mousemove_callback(canvas, nullptr, EM_TRUE, onMouse);
    emscripten_set_mousedown_callback(canvas, nullptr, EM_TRUE, onMouse);
    emscripten_set_mouseup_callback(canvas, nullptr, EM_TRUE, onMouse);
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onResize);
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onFocus);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, onFocus);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, onVisibility);
    web.focused = true;
    fitCanvas();
    return 0;
}

void platformCloseWindow(bool, void (*)(CloseStep)) {
    if (web.context > 0) {
        emscripten_webgl_destroy_context(web.context);
        web.context = 0;
    }
}

bool platformPeekMessage(WindowMessage& message) { return web.queue.take(message); }

// The page's events come between animation frames; nothing to wait for here.
void platformWaitMessage(uint32_t) {}

void platformDispatchMessage(const WindowMessage& message) { web.queue.dispatch(message); }

intptr_t platformDefaultWindowProcedure(uint32_t, uintptr_t, intptr_t) { return 0; }

void platformPostQuitMessage(int exitCode) { web.queue.postQuit(exitCode); }

bool platformOpenGamepads() { return emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS; }

int platformReadGamepads(PadReading* readings, int capacity) {
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) {
        return 0;
    }
    // The standard layout's buttons, in its order, as the game's.
    static const uint32_t standard[17] = {padSouth,     padEast,      padWest,     padNorth,      padLeftShoulder,
                                          padRightShoulder, 0,        0,           padBack,       padStart,
                                          0,            padRightStick, padDpadUp,  padDpadDown,   padDpadLeft,
                                          padDpadRight, 0};
    int count = 0;
    const int pads = emscripten_get_num_gamepads();
    for (int i = 0; i < pads && count < capacity; ++i) {
        EmscriptenGamepadEvent pad;
        if (emscripten_get_gamepad_status(i, &pad) != EMSCRIPTEN_RESULT_SUCCESS || !pad.connected) {
            continue;
        }
        PadReading& reading = readings[count++];
        reading.handle = static_cast<uint32_t>(pad.index) + 1;
        reading.identity = static_cast<uint64_t>(pad.index) + 1;
        reading.stickX = pad.numAxes > 0 ? static_cast<float>(pad.axis[0]) : 0.0f;
        reading.leftTrigger = pad.numButtons > 6 ? static_cast<float>(pad.analogButton[6]) : 0.0f;
        reading.rightTrigger = pad.numButtons > 7 ? static_cast<float>(pad.analogButton[7]) : 0.0f;
        reading.buttons = 0;
        for (int b = 0; b < pad.numButtons && b < 17; ++b) {
            reading.buttons |= pad.digitalButton[b] ? standard[b] : 0;
        }
    }
    return count;
}

void platformCloseGamepads() {}

bool platformOpenAudio(AudioFill fill, float& sampleRate, char (&why)[160]) {
    web.fill = fill;
    const double rate = EM_ASM_DOUBLE({
        const Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return 0;
        try {
            Module.audioContext = new Context();
        } catch (e) {
            return 0;
        }
        return Module.audioContext.sampleRate;
    });
    if (rate <= 0) {
        std::snprintf(why, sizeof why, "this browser has no Web Audio");
        return false;
    }
    sampleRate = static_cast<float>(rate);
    return true;
}

void platformStartAudio() {
    EM_ASM({
        const context = Module.audioContext;
        if (!context) return;
        const frames = 2048;
        const buffer = Module._malloc(frames * 8);
        const node = context.createScriptProcessor(frames, 0, 2);
        node.onaudioprocess = function(event) {
            const n = event.outputBuffer.length;
            Module._mudlarkFillAudio(buffer, n);
            const samples = HEAPF32.subarray(buffer >> 2, (buffer >> 2) + 2 * n);
            const left = event.outputBuffer.getChannelData(0);
            const right = event.outputBuffer.getChannelData(1);
            for (let i = 0; i < n; ++i) {
                left[i] = samples[2 * i];
                right[i] = samples[2 * i + 1];
            }
        };
        node.connect(context.destination);
        Module.audioNode = node;
    });
}

void platformCloseAudio() {
    EM_ASM({
        if (Module.audioNode) Module.audioNode.disconnect();
        if (Module.audioContext) Module.audioContext.close();
        Module.audioNode = null;
        Module.audioContext = null;
    });
    web.fill = nullptr;
}

bool platformWindowsPaths() { return false; }

std::FILE* platformOpenFile(const char* path, const char* mode) { return std::fopen(path, mode); }

std::string platformEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

uint32_t platformProcessId() { return 1; }

bool platformSyncFile(std::FILE* file) { return std::fflush(file) == 0; }

bool platformReplaceFile(const char* from, const char* to) {
    if (std::rename(from, to) != 0) {
        return false;
    }
    // Every file the game keeps ends here: it goes on to IndexedDB, so that it
    // is there on the next visit.
    EM_ASM({ if (Module.keepFiles) Module.keepFiles(); });
    return true;
}

void platformReleaseFreeMemory() {}

bool platformExecutableFolder(char (&folder)[1024]) {
    folder[0] = '\0';
    return false;
}

// The browser shows the frame when the animation frame's work returns. The
// page counts the frames, and the time of the first (its load measured).
void platformSwapBuffers() {
    EM_ASM({
        Module.framesDrawn = (Module.framesDrawn || 0) + 1;
        if (Module.framesDrawn === 1) Module.firstFrameTime = performance.now();
    });
}

bool platformDroppedFile(char (&path)[1024]) {
    path[0] = '\0';
    return false;
}

void platformQuietMessages() { web.quiet = true; }

void platformShowMessage(const char* text, const char* caption, MessageIcon) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    if (!web.quiet) {
        // On the page, under the game: a box would stop every frame.
        EM_ASM({ if (Module.showMessage) Module.showMessage(UTF8ToString($0), UTF8ToString($1)); }, caption, text);
    }
}

bool platformPerformanceFrequency(int64_t& countsPerSecond) {
    countsPerSecond = 1000000; // microseconds
    return true;
}

bool platformPerformanceCounter(int64_t& count) {
    count = static_cast<int64_t>(emscripten_get_now() * 1000.0);
    return true;
}

void platformBuildFontLists(uint32_t) {}

void* platformGlFunction(const char* name) { return emscripten_webgl1_get_proc_address(name); }

void platformOsVersion(OsVersion& version) { version = OsVersion{osPlatformBrowser, 1, 0, 0}; }
