// overlays.cpp -- system information and the frame-rate overlay.
#include "render/overlays.h"

#include <cstdio>

#include "common/gl_api.h"
#include "render/font.h"
#include "render/gl_state.h"

namespace {

// Copies a driver string, cut to what the field holds; a missing one reads "".
void copyDriverString(char (&field)[81], GLenum name) {
    const GLubyte* value = glGetString(name);
    std::snprintf(field, sizeof field, "%s",
                  value != nullptr ? reinterpret_cast<const char*>(value) : "");
}

} // namespace

void formatOsText(const OsVersion& version, char (&osText)[81]) {
    const char* prefix = "";
    switch (version.platformId) {
    case osPlatformWin32s:
        prefix = "Windows 3.x v";
        break;
    case osPlatformWindows9x:
        prefix = "Windows 9x v";
        break;
    case osPlatformWindowsNt:
        prefix = "Windows NT v";
        break;
    case osPlatformLinux:
        prefix = "Linux v";
        break;
    default:
        break;
    }
    std::snprintf(osText, sizeof osText, "%s%d.%d.%d", prefix, version.majorVersion,
                  version.minorVersion, version.buildNumber);
}

void collectSystemInfo(SystemInfo& info) {
    OsVersion version{};
    platformOsVersion(version);
    formatOsText(version, info.osText);
    copyDriverString(info.glVendor, GL_VENDOR);
    copyDriverString(info.glVersion, GL_VERSION);
    copyDriverString(info.glRenderer, GL_RENDERER);
}

void drawSystemInfo(const SystemInfo& info, WindowSize window) {
    glColor3f(1.0f, 1.0f, 1.0f);
    printText(window, 10, 20, "%s", info.osText);
    printText(window, 10, 40, "%s v%s", info.glVendor, info.glVersion);
    printText(window, 10, 60, "%s", info.glRenderer);
}

void drawFpsOverlay(const FrameTimer& timer, WindowSize window) {
    const uint32_t height = window.height;
    const float w = static_cast<float>(window.width);
    const float h = static_cast<float>(height);
    const uint32_t f = timer.displayedFps;
    const uint32_t m = timer.maxFps;

    beginOverlay2D(window);
    glDisable(GL_DEPTH_TEST);
    // With no bound there is no scale: the bar is left out and only the number shows.
    if (m != 0) {
        const float fraction = 1.0f / static_cast<float>(m) * static_cast<float>(f);
        const float length = w / static_cast<float>(m) * static_cast<float>(f);
        glBegin(GL_QUADS);
        glColor3f(1.0f, 0.0f, 0.0f);
        glVertex2f(0.0f, h - 20.0f);
        glColor3f(1.0f - fraction, fraction, 0.0f);
        glVertex2f(length, h - 20.0f);
        glVertex2f(length, h);
        glColor3f(1.0f, 0.0f, 0.0f);
        glVertex2f(0.0f, h);
        glEnd();
    }
    glEnable(GL_DEPTH_TEST);
    applyPerspective(window);

    glColor3f(1.0f, 1.0f, 1.0f);
    printText(window, 5, height - 5, "%d", static_cast<int>(f));
}
