// frame.cpp -- composes each frame: timer, keys, one simulation step, the views
// of the current layout in their viewports, then the overlays.
#include "app/frame.h"

#include "core/app_state.h"
#include "common/gl_api.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/gl_state.h"
#include "render/overlays.h"
#include "app/view_mode.h"
#include "scene/scene.h"
#include "vehicle/vehicle.h"

namespace {

// A view's viewport with the 45-degree projection; the aspect is the whole
// window's, so a quarter keeps the window's proportions.
void setUpSubView(uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
    glViewport(static_cast<GLint>(x), static_cast<GLint>(y), static_cast<GLsizei>(width),
               static_cast<GLsizei>(height));
    applyViewPerspective();
}

// "pad 1: blue", "pad 1 gone": under the readout of the quarter that shows the
// vehicle concerned, or of the whole window where no quarter shows it.
void drawPadNotices() {
    const GLsizei halfW = static_cast<GLsizei>(settings.width / 2), halfH = static_cast<GLsizei>(settings.height / 2);
    uint32_t lines[padVehicles + 1] = {};
    glColor3f(1, 1, 1);
    for (const Gamepads::Notice& notice : gamepads.notices) {
        if (notice.secondsLeft <= 0) {
            continue;
        }
        const int32_t v = notice.vehicle;
        const bool quarter = !worldView && splitLayout > 1 && (v == 0 || v == 1 || (v == 2 && splitLayout == 3));
        if (quarter) {
            glViewport(v == 1 ? 0 : halfW, v == 0 ? 0 : halfH, halfW, halfH);
        }
        printText(16, 104 + 24 * lines[quarter ? v + 1 : 0]++, "%s", notice.text);
    }
}

void drawViews() {
    const uint32_t w = settings.width;
    const uint32_t h = settings.height;
    // Quarters are integer halves: with odd sizes the last column or row stays clear.
    const uint32_t halfW = w / 2;
    const uint32_t halfH = h / 2;
    if (worldView) {
        setUpSubView(0, 0, w, h);
        drawWorldView(followedVehicle);
        applyPerspective();
        return;
    }
    if (splitLayout == 1) {
        applyPerspective();
        drawDriverView(followedVehicle);
        return;
    }
    setUpSubView(halfW, 0, halfW, halfH);
    drawDriverView(0);
    setUpSubView(0, halfH, halfW, halfH);
    drawDriverView(1);
    if (splitLayout == 3) {
        setUpSubView(halfW, halfH, halfW, halfH);
        drawDriverView(2);
    }
    setUpSubView(0, 0, halfW, halfH);
    drawWorldView(followedVehicle);
    applyPerspective();
}

} // namespace

void readPads() {
    PadReading readings[padCapacity];
    const int count = settings.gamepads ? platformReadGamepads(readings, padCapacity) : 0;
    updateGamepads(gamepads, readings, count, frameTimer.measuredFps > 0 ? 1.0f / frameTimer.measuredFps : 0.0f);
    applyPadViewButtons(gamepads, worldView, splitLayout, followedVehicle);
}

void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    tickFrameTimer(frameTimer);
    readLayoutKeys(input, worldView, splitLayout);
    readFollowKeys(input, followedVehicle);
    readPads();
    advanceSimulation(frameTimer.measuredFps);
    drawViews();
    // Each frame's simulation sees only the mouse motion and the key presses
    // since the last frame.
    input.clearMouseDeltas();
    input.clearKeyPresses();
    drawPadNotices();
    if (settings.showFps) {
        drawFpsOverlay(frameTimer, settings.width, settings.height);
    }
    if (settings.showSystemInfo) {
        drawSystemInfo(systemInfo);
    }
    glFlush();
}
