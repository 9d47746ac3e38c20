// window.cpp -- opening and closing the window, and the window procedure.
#include "app/window.h"


#include "app/game.h"
#include "platform/win_messages.h"
#include "platform/platform.h"
#include "render/gl_state.h"
#include "render/render.h"

namespace {

struct FailureText {
    const char* text;
    const char* caption;
};

// Indexed by the failure site's magnitude, 1..8.
constexpr FailureText openFailures[] = {
    {nullptr, nullptr},
    {"Registering of WindowClass failed!", "Error -1"},
    {"Fullscreen initialization failed!", "Error -2"},
    {"Window initialization failed!", "Error -3"},
    {"GL Device Context initialization failed!", "Error -4"},
    {"Suitable PixelFormat initialization failed!", "Error -5"},
    {"PixelFormat initialization failed!", "Error -6"},
    {"GL Rendering Context initialization failed!", "Error -7"},
    {"GL Rendering Context activation failed!", "Error -8"},
};

void reportCloseFailure(CloseStep step) {
    switch (step) {
    case CloseStep::releaseContext:
        platformShowMessage("Release of DC & RC failed!", "Error -1", MessageIcon::information);
        break;
    case CloseStep::deleteContext:
        platformShowMessage("Release of Rendering Context failed!", "Error -2",
                            MessageIcon::information);
        break;
    case CloseStep::releaseDeviceContext:
        platformShowMessage("Release of Device Context failed!", "Error -3",
                            MessageIcon::information);
        break;
    case CloseStep::destroyWindow:
        platformShowMessage("Release of hWnd failed!", "Error -4", MessageIcon::information);
        break;
    case CloseStep::unregisterClass:
        platformShowMessage("Unregistering of WindowClass failed!", "Error",
                            MessageIcon::information);
        break;
    }
}

} // namespace

bool openWindow(Game& game) {
    const Settings& settings = game.settings;
    game.window = WindowSize{settings.width, settings.height};
    WindowRequest request{};
    request.title = "OpenGL";
    request.width = settings.width;
    request.height = settings.height;
    request.colorBits = settings.colorBits;
    request.fullscreen = settings.fullscreen;
    request.showCursor = settings.mouse;
    request.procedure = windowProcedure;
    request.context = &game;
    request.shaders = settings.shaderRenderer;

    int site = platformOpenWindow(request);
    if (site != 0) {
        if (site < -8 || site > -1) {
            site = -3;
        }
        // From the window on, whatever was made is released before the message,
        // so the desktop mode is back when the player reads it.
        if (site <= -3) {
            closeWindow(game);
        }
        platformShowMessage(openFailures[-site].text, openFailures[-site].caption,
                            MessageIcon::exclamation);
        return false;
    }
    if (!openRenderer(settings.shaderRenderer ? RendererKind::gles2 : RendererKind::gl11)) {
        closeWindow(game);
        platformShowMessage("This machine's OpenGL cannot draw with \"renderer: gles2\": remove that line from the settings file.",
                            "Error", MessageIcon::exclamation);
        return false;
    }
    applyPerspective(game.window);
    return true;
}

void closeWindow(const Game& game) { platformCloseWindow(game.settings.fullscreen, reportCloseFailure); }

intptr_t windowProcedure(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Game& game = *static_cast<Game*>(context);
    InputState& input = game.input;
    switch (message) {
    case WM_ACTIVATE:
        // The high word is the minimised state: frames stop only when minimised.
        game.active = highWord(wParam) == 0;
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) {
            return 0;
        }
        break;
    case WM_CLOSE:
        platformPostQuitMessage(0);
        return 0;
    case WM_SIZE:
        game.window.width = lowWord(static_cast<uintptr_t>(lParam));
        game.window.height = highWord(static_cast<uintptr_t>(lParam));
        applyPerspective(game.window);
        return 0;
    case WM_KEYDOWN:
        input.pressKey(wParam);
        return 0;
    case WM_KEYUP:
        input.releaseKey(wParam);
        return 0;
    case WM_SYSKEYUP:
        // A key let go while Alt is held (or as the window loses the focus with
        // Alt down) arrives as a system key-up: it is up all the same. The
        // system's own handling of the message goes on below.
        input.releaseKey(wParam);
        break;
    case WM_MOUSEMOVE: {
        // The position words are signed: while a button is held the pointer is
        // followed beyond the window's top and left edges, where they go negative.
        // Kept in the unsigned fields as their two's complement, the differences
        // still come out as the pixels really moved.
        const uint32_t x = static_cast<uint32_t>(signedWord(lowWord(static_cast<uintptr_t>(lParam))));
        const uint32_t y = static_cast<uint32_t>(signedWord(highWord(static_cast<uintptr_t>(lParam))));
        input.deltaX = static_cast<int32_t>(x - input.cursorX);
        input.deltaY = static_cast<int32_t>(y - input.cursorY);
        input.cursorX = x;
        input.cursorY = y;
        return 0;
    }
    case WM_LBUTTONDOWN:
        input.leftButton = 1;
        return 0;
    case WM_LBUTTONUP:
        input.leftButton = 0;
        return 0;
    case WM_RBUTTONDOWN:
        input.rightButton = 1;
        return 0;
    case WM_RBUTTONUP:
        input.rightButton = 0;
        return 0;
    case WM_MBUTTONDOWN:
        input.middleButton = 1;
        return 0;
    case WM_MBUTTONUP:
        input.middleButton = 0;
        return 0;
    case WM_DROPFILES: {
        if (!platformDroppedFile(input.dropped)) {
            input.dropped[0] = '\0';
        }
        return 0;
    }
    default:
        break;
    }
    return platformDefaultWindowProcedure(message, wParam, lParam);
}
