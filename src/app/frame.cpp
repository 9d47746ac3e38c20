// frame.cpp -- composes each frame: timer, keys, one simulation step, the views
// of the current layout in their viewports, then the overlays.
#include "app/frame.h"

#include "core/app_state.h"
#include "common/gl_api.h"
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

void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    tickFrameTimer(frameTimer);
    readLayoutKeys(input, worldView, splitLayout);
    readFollowKeys(input, followedVehicle);
    advanceSimulation(frameTimer.measuredFps);
    drawViews();
    // Each frame's simulation sees only the mouse motion and the key presses
    // since the last frame.
    input.clearMouseDeltas();
    input.clearKeyPresses();
    if (settings.showFps) {
        drawFpsOverlay(frameTimer, settings.width, settings.height);
    }
    if (settings.showSystemInfo) {
        drawSystemInfo(systemInfo);
    }
    glFlush();
}
