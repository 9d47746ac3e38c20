// settings_test.cpp -- the settings file's grammar, defaults and resolution check.
#include <gtest/gtest.h>

#include <string>

#include "core/settings.h"
#include "support/temp_dir.h"

namespace {

struct Expected {
    uint32_t width = 1024, height = 768, bits = 32, maxFps = 100;
    bool fullscreen = true, showFps = true;
    int32_t filter = filterMipmap;
};

Expected windowed(uint32_t width, uint32_t height, uint32_t bits = 32) {
    Expected e;
    e.width = width;
    e.height = height;
    e.bits = bits;
    e.fullscreen = false;
    return e;
}

Expected with(int32_t filter, uint32_t maxFps, bool showFps) {
    Expected e;
    e.filter = filter;
    e.maxFps = maxFps;
    e.showFps = showFps;
    return e;
}

const std::string junk = [] {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes += static_cast<char>((i * 7919 + 13) & 0xFF);
    }
    return bytes;
}();

TEST(Settings, EachTextGivesItsSettings) {
    const std::pair<std::string, Expected> cases[] = {
        {"", Expected{}},
        {"fullscreen: false resolution: 800 600 16", windowed(800, 600, 16)},
        {"texturefilter: linear\tmaxfps: 30\r\nfps: false", with(filterLinear, 30, false)},
        // Full screen takes only the listed sizes; a window any size.
        {"resolution: 1000 700 16", Expected{}},
        {"resolution: 1000 700 16 fullscreen: false", windowed(1000, 700, 16)},
        // A word in the value's place is the value, and no value of the key's.
        {"fullscreen: yes fps: false", with(filterMipmap, 100, false)},
        {"texturefilter: Linear Fullscreen: false fullscreen false", Expected{}},
        // Numbers: digits before the junk count; a failed number stops the resolution.
        {"maxfps: fast fps: false", with(filterMipmap, 100, false)},
        {"maxfps: 12abc", with(filterMipmap, 12, true)},
        {"fullscreen: false resolution: 640 abc 16", windowed(640, 768)},
        {"fullscreen: false resolution: 800", windowed(800, 768)},
        {"maxfps: 10 fps: false maxfps: 20 fps: true", with(filterMipmap, 20, true)},
        {"maxfps: 99999999999999999999", with(filterMipmap, 2147483647, true)},
        {"fullscreen: false resolution: -1 2 3", windowed(4294967295u, 2, 3)},
        // Words are cut at the buffer; a key glued to a long word is part of it.
        {std::string(5000, 'x') + " fps: false " + std::string(5000, 'x'), with(filterMipmap, 100, false)},
        {"texturefilter: " + std::string(300, 'p') + " fps: false", with(filterMipmap, 100, false)},
        {junk + "\nmaxfps: 42\n" + junk, with(filterMipmap, 42, true)},
        {std::string("fps:\0junk false", 15), with(filterMipmap, 100, false)}, // NUL ends a word
    };
    for (const auto& [text, e] : cases) {
        TempDir dir;
        Settings s{};
        readSettingsFile(s, dir.write("settings.cfg", text).c_str());
        const std::string shown = text.substr(0, 60);
        EXPECT_EQ(s.width, e.width) << shown;
        EXPECT_EQ(s.height, e.height) << shown;
        EXPECT_EQ(s.colorBits, e.bits) << shown;
        EXPECT_EQ(s.maxFps, e.maxFps) << shown;
        EXPECT_EQ(s.fullscreen, e.fullscreen) << shown;
        EXPECT_EQ(s.showFps, e.showFps) << shown;
        EXPECT_EQ(s.textureFilter, e.filter) << shown;
    }
}

TEST(Settings, MouseSystemInfoGamepadsAndTheFileOfTheWorkingDirectory) {
    TempDir dir;
    WorkingDirectory here(dir.path());
    Settings s{};
    readSettings(s); // no file: the defaults
    EXPECT_EQ(s.width + s.mouse + s.showSystemInfo + s.gamepads, 1025u);
    dir.write("settings.cfg", "mouse: true systeminfo: true gamepads: false");
    readSettings(s);
    EXPECT_TRUE(s.mouse && s.showSystemInfo && !s.gamepads);
}

} // namespace
