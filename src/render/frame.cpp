// frame.cpp -- composes each frame from its views and overlays.
#include "render/frame.h"

#include "app/app_state.h"
#include "common/gl_api.h"
#include "render/font.h"
#include "render/gl_state.h"
#include "render/overlays.h"
#include "render/view_mode.h"
#include "scene/scene.h"
#include "vehicle/vehicle.h"

void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    tickFrameTimer(frameTimer);
    readLayoutKeys(input.keys, worldView, splitLayout);
    readFollowKeys(input.keys, followedVehicle);

    advanceSimulation(frameTimer.measuredFps);
    applyPerspective();
    drawLandscapePreview();

    input.clearMouseDeltas();
    if (settings.showFps) {
        drawFpsOverlay(frameTimer, settings.width, settings.height);
    }
    if (settings.showSystemInfo) {
        drawSystemInfo(systemInfo);
    }
    glFlush();
}
