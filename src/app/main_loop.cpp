// main_loop.cpp -- start-up, the message loop and shutdown.
#include "app/main_loop.h"

#include "core/app_state.h"
#include "platform/win_messages.h"
#include "app/window.h"
#include "platform/platform.h"
#include "render/font.h"
#include "app/frame.h"
#include "audio/sound.h"
#include "render/overlays.h"
#include "scene/scene.h"

int runGame() {
    bool done = false;
    WindowMessage message{};

    readSettings(settings);
    if (!openWindow()) {
        return 0;
    }
    initFrameTimer(frameTimer, settings.maxFps);
    collectSystemInfo(systemInfo);
    createFont();
    setUpScene(settings.textureFilter);
    // Pads are read only when their support started; without it, keys alone.
    settings.gamepads = settings.gamepads && platformOpenGamepads();
    if (settings.sound) {
        startSound();
    }

    while (!done) {
        if (platformPeekMessage(message)) {
            if (message.message == WM_QUIT) {
                done = true;
            } else {
                platformDispatchMessage(message);
            }
        } else if (active) {
            // Escape is looked at only between messages, while frames are drawn;
            // a tap that went down and up since the last frame counts too.
            if (input.isDown(VK_ESCAPE)) {
                done = true;
            } else {
                drawFrame();
                platformSwapBuffers();
            }
        }
    }

    if (settings.gamepads) {
        platformCloseGamepads();
    }
    stopSound();
    deleteFont();
    closeWindow();
    return static_cast<int>(message.wParam);
}
