// settings_test.cpp -- the settings file's grammar, defaults and resolution check.
#include <gtest/gtest.h>

#include <string>

#include "core/settings.h"
#include "support/temp_dir.h"

namespace {

Settings readFrom(const std::string& text) {
    TempDir dir;
    Settings settings{};
    readSettingsFile(settings, dir.write("settings.cfg", text).c_str());
    return settings;
}

void expectDefaults(const Settings& s) {
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.height, 768u);
    EXPECT_EQ(s.colorBits, 32u);
    EXPECT_EQ(s.maxFps, 100u);
    EXPECT_EQ(s.textureFilter, filterMipmap);
    EXPECT_TRUE(s.fullscreen);
    EXPECT_FALSE(s.mouse);
    EXPECT_TRUE(s.showFps);
    EXPECT_FALSE(s.showSystemInfo);
}

TEST(Settings, MissingFileGivesTheDefaults) {
    TempDir dir;
    Settings settings{};
    readSettingsFile(settings, dir.file("settings.cfg").c_str());
    expectDefaults(settings);

    // readSettings looks in the working directory.
    WorkingDirectory here(dir.path());
    Settings fromCwd{};
    readSettings(fromCwd);
    expectDefaults(fromCwd);
}

TEST(Settings, ExampleFileWithEveryKeyAtItsDefault) {
    expectDefaults(readFrom("resolution: 1024 768 32\nfullscreen: true\nmouse: false\nfps: true\n"
                            "maxfps: 100\nsysteminfo: false\ntexturefilter: mipmap\n"));
}

TEST(Settings, EveryKeyChangesItsField) {
    Settings s = readFrom("texturefilter: linear\tsysteminfo: true maxfps: 30\r\n"
                          "fps: false mouse: true fullscreen: false resolution: 800 600 16");
    EXPECT_EQ(s.width, 800u);
    EXPECT_EQ(s.height, 600u);
    EXPECT_EQ(s.colorBits, 16u);
    EXPECT_EQ(s.maxFps, 30u);
    EXPECT_EQ(s.textureFilter, filterLinear);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_TRUE(s.mouse);
    EXPECT_FALSE(s.showFps);
    EXPECT_TRUE(s.showSystemInfo);
    EXPECT_EQ(readFrom("texturefilter: point").textureFilter, filterPoint);
}

TEST(Settings, FullscreenSizeOutsideTheListFallsBack) {
    Settings s = readFrom("resolution: 1000 700 16");
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.height, 768u);
    EXPECT_EQ(s.colorBits, 32u);

    // In a window any size stands, and so does the colour depth.
    Settings windowed = readFrom("resolution: 1000 700 16 fullscreen: false");
    EXPECT_EQ(windowed.width, 1000u);
    EXPECT_EQ(windowed.height, 700u);
    EXPECT_EQ(windowed.colorBits, 16u);

    // Every listed size is kept in full screen, with any depth.
    for (const char* size : {"320 240", "640 480", "800 600", "1024 768", "1152 864", "1280 960",
                             "1600 1200"}) {
        Settings listed = readFrom(std::string("resolution: ") + size + " 24");
        EXPECT_EQ(listed.colorBits, 24u) << size;
    }
}

TEST(Settings, UnknownValueWordsAreConsumedAndLeaveTheFieldAlone) {
    // "yes" is taken as the value and skipped; "fps:" after it is still a key.
    Settings s = readFrom("fullscreen: yes fps: false");
    EXPECT_TRUE(s.fullscreen);
    EXPECT_FALSE(s.showFps);

    // A key in the value's place is consumed as the value, so "false" is a stray word.
    Settings swallowed = readFrom("fullscreen: fps: false");
    EXPECT_TRUE(swallowed.fullscreen);
    EXPECT_TRUE(swallowed.showFps);

    // The words are case-sensitive, the colon included.
    EXPECT_EQ(readFrom("texturefilter: Linear").textureFilter, filterMipmap);
    EXPECT_TRUE(readFrom("Fullscreen: false").fullscreen);
    EXPECT_TRUE(readFrom("fullscreen false").fullscreen);
}

TEST(Settings, MalformedNumbersAreReadAgainAsWords) {
    Settings s = readFrom("maxfps: fast fps: false");
    EXPECT_EQ(s.maxFps, 100u);
    EXPECT_FALSE(s.showFps);

    // The digits before the junk count; the junk is the next word.
    Settings partial = readFrom("maxfps: 12abc");
    EXPECT_EQ(partial.maxFps, 12u);

    // A number that is no number leaves the resolution alone from there on.
    Settings cut = readFrom("fullscreen: false resolution: 640 abc 16");
    EXPECT_EQ(cut.width, 640u);
    EXPECT_EQ(cut.height, 768u);
    EXPECT_EQ(cut.colorBits, 32u);

    // The number after the failed one is a stray word, not the colour depth.
    Settings signOnly = readFrom("fullscreen: false resolution: 640 - 480");
    EXPECT_EQ(signOnly.width, 640u);
    EXPECT_EQ(signOnly.height, 768u);
}

TEST(Settings, KeyAtTheEndOfTheFileKeepsItsValue) {
    expectDefaults(readFrom("maxfps:"));
    expectDefaults(readFrom("fullscreen:   \n"));

    // 800x768 is not a full-screen size, so all three fall back.
    Settings s = readFrom("resolution: 800");
    EXPECT_EQ(s.width, 1024u);
    EXPECT_EQ(s.height, 768u);
    EXPECT_EQ(s.colorBits, 32u);
    Settings windowed = readFrom("fullscreen: false resolution: 800");
    EXPECT_EQ(windowed.width, 800u);
    EXPECT_EQ(windowed.height, 768u);
}

TEST(Settings, LaterOccurrencesWin) {
    Settings s = readFrom("maxfps: 10 fps: false maxfps: 20 fps: true");
    EXPECT_EQ(s.maxFps, 20u);
    EXPECT_TRUE(s.showFps);
}

TEST(Settings, HugeNumbersAndNegativeValuesStayDefined) {
    Settings s = readFrom("maxfps: 99999999999999999999 fullscreen: false resolution: -1 2 3");
    EXPECT_EQ(s.maxFps, 2147483647u);
    EXPECT_EQ(s.width, 4294967295u);
    EXPECT_EQ(s.height, 2u);
}

TEST(Settings, LongWordsAreCutNotWrittenPastTheBuffer) {
    const std::string longWord(5000, 'x');
    Settings s = readFrom(longWord + " fps: false " + longWord);
    EXPECT_FALSE(s.showFps);

    // A key glued to the end of a long word is part of that word, not a key.
    Settings glued = readFrom(std::string(200, 'y') + "fps: false");
    EXPECT_TRUE(glued.showFps);

    // A long value word is no value.
    Settings value = readFrom("texturefilter: " + std::string(300, 'p') + " fps: false");
    EXPECT_EQ(value.textureFilter, filterMipmap);
    EXPECT_FALSE(value.showFps);
}

TEST(Settings, BinaryJunkIsSkipped) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) {
        junk += static_cast<char>((i * 7919 + 13) & 0xFF);
    }
    Settings s = readFrom(junk + "\nmaxfps: 42\n" + junk);
    EXPECT_EQ(s.maxFps, 42u);
    // A NUL ends a word's text, as it would for "%s".
    Settings nul = readFrom(std::string("fps:\0junk false", 15));
    EXPECT_FALSE(nul.showFps);
}

} // namespace
