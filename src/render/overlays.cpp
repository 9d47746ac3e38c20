// overlays.cpp -- system information and the frame-rate overlay.
#include "render/overlays.h"

#include <cstdio>

#include "render/render.h"
#include "render/font.h"
#include "render/gl_state.h"

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
    case osPlatformBrowser:
        prefix = "Browser v";
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
    rendererStrings(info.glVendor, info.glVersion, info.glRenderer);
}

void drawSystemInfo(const SystemInfo& info, WindowSize window) {
    colour(1.0f, 1.0f, 1.0f);
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
    disable(Feature::depthTest);
    // With no bound there is no scale: the bar is left out and only the number shows.
    if (m != 0) {
        const float fraction = 1.0f / static_cast<float>(m) * static_cast<float>(f);
        const float length = w / static_cast<float>(m) * static_cast<float>(f);
        begin(Primitive::quads);
        colour(1.0f, 0.0f, 0.0f);
        vertex2(0.0f, h - 20.0f);
        colour(1.0f - fraction, fraction, 0.0f);
        vertex2(length, h - 20.0f);
        vertex2(length, h);
        colour(1.0f, 0.0f, 0.0f);
        vertex2(0.0f, h);
        end();
    }
    enable(Feature::depthTest);
    applyPerspective(window);

    colour(1.0f, 1.0f, 1.0f);
    printText(window, 5, height - 5, "%d", static_cast<int>(f));
}
