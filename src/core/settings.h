// settings.h -- the settings record and its reader for "settings.cfg".
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Texture filter values of "texturefilter:".
constexpr int32_t filterPoint = 0;
constexpr int32_t filterLinear = 1;
constexpr int32_t filterMipmap = 2;

// The order of a "keys" line's names: the first five always, the rescue's
// name where the line gives one.
enum KeySlot { keyAccelerate, keyReverse, keyLeft, keyRight, keyBrake, keyRescue, keySlotCount };

struct Settings {
    uint32_t width;         // client width in pixels; follows the window's real size
    uint32_t height;        // client height in pixels, likewise
    uint32_t colorBits;     // colour depth of the full-screen mode and pixel format
    uint32_t maxFps;        // bound of the displayed frame rate, full scale of the bar
    int32_t textureFilter;  // filterPoint, filterLinear or filterMipmap
    bool fullscreen;
    bool mouse;             // show the cursor in full screen
    bool showFps;           // draw the frame-rate bar
    bool showSystemInfo;    // draw the system-information lines
    bool gamepads;          // drive with game controllers too; false opens none
    bool sound;             // play the synthesised sound; false opens no audio device
    uint32_t volume;        // 0 .. 100
    uint32_t laps;          // laps of a race, 1 .. 20
    bool computerDrivers;   // the computer drives the vehicles nobody touched in a race
    uint32_t computerSkill; // 1 .. 3: how fast the computer dares to take a turn
    bool vehicleContact;    // the vehicles touch each other
    bool solidTrees;        // the trees' trunks stand
    uint32_t track;         // the track driven at the start, as read (1 .. 99 exist)
    uint32_t netPort;       // the UDP port of LAN races, 1 .. 65535
    uint32_t netDelay;      // steps between a key and its step in a LAN race, 1 .. 30
    uint32_t netSeats;      // vehicles this machine's players drive in a LAN race, 1 or 2
    // "netsim:": the network the datagrams this machine sends go through, to
    // try a line before racing on it: delay and jitter (milliseconds, 0 ..
    // 2000 and 0 .. 1000), lost and sent twice (percent, 0 .. 100); all 0: off.
    uint32_t netSim[4];
    uint32_t startWidth;    // the size asked for at start ("resolution:"), which the menu may change
    uint32_t startHeight;   // for the next start; width and height follow the window
    // Each vehicle's keys as its "keys blue:" ("red:", "green:") line names
    // them, in the line's order: accelerate, reverse, left, right, brake,
    // rescue (virtual-key codes); all 0 without a line, or where it was
    // refused; the rescue 0 where the line names five.
    uint8_t vehicleKeys[3][keySlotCount];
    int32_t vehicleKeysLine[3]; // the line each came from; 0: none
    // What was wrong with those lines, a sentence a line ("line 4: keys red:
    // there is no key named \"Foo\"."); "" when nothing was.
    char keyFaults[640];
    char readFrom[512];     // the settings file read; "" when none was
    bool shaderRenderer;    // "renderer: gles2": draw through OpenGL ES 2 shaders, not OpenGL 1.1
};


// The keys written as two words ("vehicle contact:"), each also read when
// written as the one word it stands for ("vehiclecontact:").
struct TwoWordKey {
    const char* first;
    const char* second;
    const char* joined;
};
constexpr TwoWordKey twoWordKeys[] = {{"computer", "drivers:", "computerdrivers:"},
                                      {"computer", "skill:", "computerskill:"},
                                      {"vehicle", "contact:", "vehiclecontact:"},
                                      {"solid", "trees:", "solidtrees:"}};

// Fills settings with the defaults, then with the first of "settings.cfg" in
// the working directory, the user's own settings file and the one installed
// with the data (settingsPlaces) that can be read: a file missing or
// unreadable is passed over alike. Never fails and never reports anything.
void readSettings(Settings& settings);

// The smallest and the largest window the game opens.
constexpr uint32_t minWindowWidth = 160, minWindowHeight = 120, maxWindowSide = 16384;

// A window's size (not a full-screen mode's) brought within what can be
// opened; what was asked for and what it became, in a line, or "" when the
// size stands.
std::string clampWindowSize(Settings& settings);

// The same over these places.
void readFirstSettings(Settings& settings, const std::vector<std::string>& places);

// The same, from the named file.
void readSettingsFile(Settings& settings, const char* path);

// The same from an open text stream (null: no file, the defaults stand).
void readSettingsStream(Settings& settings, std::FILE* file);
