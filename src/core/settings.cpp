// settings.cpp -- reads "settings.cfg": whitespace-separated keys and their values.
#include "core/settings.h"
#include "common/game_limits.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/text_scanner.h"
#include "common/vehicles.h"
#include "core/files.h"
#include "core/key_names.h"
#include "core/places.h"
#include "platform/platform.h"

namespace {

// Words longer than this are cut; no key or value comes near it.
constexpr std::size_t wordCapacity = 100;

struct Resolution {
    uint32_t width;
    uint32_t height;
};

// The sizes a full-screen mode may take.
constexpr Resolution fullscreenSizes[] = {
    {320, 240}, {640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 960}, {1600, 1200},
};

void storeDefaults(Settings& settings) {
    std::memset(settings.vehicleKeys, 0, sizeof settings.vehicleKeys);
    std::memset(settings.vehicleKeysLine, 0, sizeof settings.vehicleKeysLine);
    std::memset(settings.netSim, 0, sizeof settings.netSim);
    settings.keyFaults[0] = '\0';
    settings.readFrom[0] = '\0';
    settings.width = 1024;
    settings.height = 768;
    settings.colorBits = 32;
    settings.maxFps = 100;
    settings.textureFilter = filterMipmap;
    settings.fullscreen = true;
    settings.mouse = false;
    settings.showFps = true;
    settings.showSystemInfo = false;
    settings.gamepads = true;
    settings.sound = true;
    settings.volume = 80;
    settings.laps = 3;
    settings.computerDrivers = true;
    settings.computerSkill = 2;
    settings.vehicleContact = true;
    settings.solidTrees = true;
    settings.netPort = 27777;
    settings.netDelay = 3; // 50 ms: time for a packet across a LAN, and for one lost
    settings.netSeats = 1;
    settings.track = 1;
}

// Keeps a number read into a field within low..high; one read negative (a
// huge unsigned value) counts as below low.
void keepWithin(uint32_t& field, int32_t low, int32_t high) {
    const int32_t value = static_cast<int32_t>(field);
    field = static_cast<uint32_t>(value < low ? low : value > high ? high : value);
}

// "true" and "false" set the flag; any other word leaves it as it was.
void readFlag(TextScanner& scanner, bool& flag) {
    char word[wordCapacity];
    if (!scanner.readWord(word, sizeof word)) {
        return;
    }
    if (std::strcmp(word, "true") == 0) {
        flag = true;
    } else if (std::strcmp(word, "false") == 0) {
        flag = false;
    }
}

void readUnsigned(TextScanner& scanner, uint32_t& field) {
    int32_t value;
    if (scanner.readInt(value)) {
        field = static_cast<uint32_t>(value);
    }
}

void readTextureFilter(TextScanner& scanner, int32_t& filter) {
    char word[wordCapacity];
    if (!scanner.readWord(word, sizeof word)) {
        return;
    }
    if (std::strcmp(word, "point") == 0) {
        filter = filterPoint;
    } else if (std::strcmp(word, "linear") == 0) {
        filter = filterLinear;
    } else if (std::strcmp(word, "mipmap") == 0) {
        filter = filterMipmap;
    }
}

// Adds a sentence to the settings' key faults (cut where the room ends).
void sayKeyFault(Settings& settings, int32_t line, const char* colour, const char* text, const char* word) {
    const size_t used = std::strlen(settings.keyFaults);
    std::snprintf(settings.keyFaults + used, sizeof settings.keyFaults - used, "line %d: keys%s%s %s%s%s.\n",
                  static_cast<int>(line), colour[0] != '\0' ? " " : "", colour, text, word[0] != '\0' ? " " : "",
                  word);
}

// "keys blue: Numpad8 Numpad2 Numpad4 Numpad6 Numpad5 Numpad9": five names
// from the table on the line and a sixth, the rescue's, if the line has one;
// else the line is refused and said.
void readVehicleKeys(TextScanner& scanner, Settings& settings) {
    static constexpr const char* howMany =
        "takes five or six key names (accelerate, reverse, left, right, brake, and rescue)";
    const int32_t line = scanner.line();
    char colour[wordCapacity];
    if (scanner.lineEndsHere('#') || !scanner.readWord(colour, sizeof colour)) {
        return sayKeyFault(settings, line, "", "names no vehicle: write keys blue:, keys red: or keys green:", "");
    }
    int vehicle = -1;
    for (int v = 0; v < vehicleCount; ++v) {
        char name[16];
        std::snprintf(name, sizeof name, "%s:", vehicleNames[v]);
        vehicle = std::strcmp(colour, name) == 0 ? v : vehicle;
    }
    if (vehicle < 0) {
        scanner.skipLine();
        return sayKeyFault(settings, line, colour, "names no vehicle: write keys blue:, keys red: or keys green:", "");
    }
    uint8_t codes[keySlotCount] = {};
    for (int slot = 0; slot < keySlotCount; ++slot) {
        if (slot == keyRescue && scanner.lineEndsHere('#')) {
            break; // a line of five: the rescue keeps its own key
        }
        char name[wordCapacity];
        if (scanner.lineEndsHere('#') || !scanner.readWord(name, sizeof name)) {
            return sayKeyFault(settings, line, colour, howMany, "");
        }
        codes[slot] = keyCodeOfName(name);
        if (codes[slot] == 0) {
            char quoted[wordCapacity + 2];
            std::snprintf(quoted, sizeof quoted, "\"%s\"", name);
            scanner.skipLine();
            return sayKeyFault(settings, line, colour, "has no key named", quoted);
        }
    }
    if (!scanner.lineEndsHere('#')) {
        scanner.skipLine();
        return sayKeyFault(settings, line, colour, howMany, "");
    }
    std::memcpy(settings.vehicleKeys[vehicle], codes, sizeof codes);
    settings.vehicleKeysLine[vehicle] = line;
}

// "netsim: 75 10 5 0": as many of the four numbers as the line gives, each
// brought within its bounds; those not given are 0.
void readNetSim(TextScanner& scanner, Settings& settings) {
    constexpr int32_t most[4] = {2000, 1000, 100, 100};
    std::memset(settings.netSim, 0, sizeof settings.netSim);
    int32_t value;
    for (int i = 0; i < 4 && !scanner.lineEndsHere('#') && scanner.readInt(value); ++i) {
        settings.netSim[i] = static_cast<uint32_t>(std::clamp(value, 0, most[i]));
    }
}

void readResolution(TextScanner& scanner, Settings& settings) {
    int32_t value;
    if (!scanner.readInt(value)) {
        return;
    }
    settings.width = static_cast<uint32_t>(value);
    if (!scanner.readInt(value)) {
        return;
    }
    settings.height = static_cast<uint32_t>(value);
    if (scanner.readInt(value)) {
        settings.colorBits = static_cast<uint32_t>(value);
    }
}

// A full-screen size outside the list falls back to 1024x768x32; a window may
// take any size.
void checkResolution(Settings& settings) {
    for (const Resolution& size : fullscreenSizes) {
        if (settings.width == size.width && settings.height == size.height) {
            return;
        }
    }
    if (!settings.fullscreen) {
        return;
    }
    settings.width = 1024;
    settings.height = 768;
    settings.colorBits = 32;
}

} // namespace

std::string clampWindowSize(Settings& settings) {
    if (settings.fullscreen) {
        return "";
    }
    const uint32_t width = std::clamp(settings.width, minWindowWidth, maxWindowSide);
    const uint32_t height = std::clamp(settings.height, minWindowHeight, maxWindowSide);
    if (width == settings.width && height == settings.height) {
        return "";
    }
    // A size read from a negative number is shown as the player wrote it.
    const std::string asked = std::to_string(static_cast<int32_t>(settings.width)) + "x" +
                              std::to_string(static_cast<int32_t>(settings.height));
    settings.width = settings.startWidth = width;
    settings.height = settings.startHeight = height;
    return "a window of " + asked + " cannot be opened: it opens at " + std::to_string(width) + "x" +
           std::to_string(height);
}

void readSettingsFile(Settings& settings, const char* path) { readFirstSettings(settings, {path}); }

void readSettingsStream(Settings& settings, std::FILE* file) {
    storeDefaults(settings);
    if (file == nullptr) {
        return; // no file: the defaults stand, unchecked
    }
    // The keys whose value is "true"/"false", and those whose value is a number.
    static constexpr struct {
        const char* key;
        bool Settings::*flag;
    } flags[] = {{"fullscreen:", &Settings::fullscreen}, {"mouse:", &Settings::mouse},
                 {"fps:", &Settings::showFps},           {"systeminfo:", &Settings::showSystemInfo},
                 {"sound:", &Settings::sound},           {"gamepads:", &Settings::gamepads},
                 {"computerdrivers:", &Settings::computerDrivers}, {"vehiclecontact:", &Settings::vehicleContact},
                 {"solidtrees:", &Settings::solidTrees}};
    static constexpr struct {
        const char* key;
        uint32_t Settings::*number;
    } numbers[] = {{"maxfps:", &Settings::maxFps},
                   {"volume:", &Settings::volume},
                   {"laps:", &Settings::laps},
                   {"computerskill:", &Settings::computerSkill},
                   {"track:", &Settings::track},
                   {"netport:", &Settings::netPort},
                   {"netdelay:", &Settings::netDelay},
                   {"netseats:", &Settings::netSeats}};
    TextScanner scanner(file);
    char word[wordCapacity];
    bool again = false; // the word in hand is still to be looked at
    while (again || scanner.readWord(word, sizeof word)) {
        again = false;
        // "computer drivers:", "computer skill:", "vehicle contact:" and
        // "solid trees:" are two words, and may be written as one.
        bool firstOfTwo = false;
        for (const TwoWordKey& key : twoWordKeys) {
            firstOfTwo = firstOfTwo || std::strcmp(word, key.first) == 0;
        }
        if (firstOfTwo) {
            char next[wordCapacity];
            if (!scanner.readWord(next, sizeof next)) {
                break;
            }
            const TwoWordKey* found = nullptr;
            for (const TwoWordKey& key : twoWordKeys) {
                found = std::strcmp(word, key.first) == 0 && std::strcmp(next, key.second) == 0 ? &key : found;
            }
            if (found == nullptr) {
                std::memcpy(word, next, sizeof word);
                again = true;
                continue;
            }
            std::snprintf(word, sizeof word, "%s", found->joined);
        }
        if (std::strcmp(word, "keys") == 0) {
            readVehicleKeys(scanner, settings);
        } else if (std::strcmp(word, "resolution:") == 0) {
            readResolution(scanner, settings);
        } else if (std::strcmp(word, "netsim:") == 0) {
            readNetSim(scanner, settings);
        } else if (std::strcmp(word, "texturefilter:") == 0) {
            readTextureFilter(scanner, settings.textureFilter);
        } else if (std::strcmp(word, "renderer:") == 0 && scanner.readWord(word, sizeof word)) {
            // "gl11" or "gles2"; any other word leaves the renderer as it was.
            settings.shaderRenderer = std::strcmp(word, "gles2") == 0 || (settings.shaderRenderer && std::strcmp(word, "gl11") != 0);
        }
        for (const auto& f : flags) {
            if (std::strcmp(word, f.key) == 0) {
                readFlag(scanner, settings.*f.flag);
            }
        }
        for (const auto& n : numbers) {
            if (std::strcmp(word, n.key) == 0) {
                readUnsigned(scanner, settings.*n.number);
            }
        }
    }
    checkResolution(settings);
    settings.startWidth = settings.width;
    settings.startHeight = settings.height;
    settings.volume = settings.volume > 100 ? 100 : settings.volume; // the loudest there is
    // A race is 1 to 20 laps, the computer's skill 1 to 3; beyond either end
    // counts as that end.
    keepWithin(settings.laps, minLaps, maxLaps);
    keepWithin(settings.computerSkill, minSkill, maxSkill);
    keepWithin(settings.netPort, 1, 65535);
    keepWithin(settings.netDelay, 1, 30);
    keepWithin(settings.netSeats, 1, 2);
}

void readFirstSettings(Settings& settings, const std::vector<std::string>& places) {
    for (const std::string& place : places) {
        std::error_code ignored; // a folder of that name is as good as no file
        std::FILE* file =
            std::filesystem::is_regular_file(pathOf(place), ignored) ? platformOpenFile(place.c_str(), "r") : nullptr;
        if (file != nullptr) {
            readSettingsStream(settings, file);
            std::fclose(file);
            // Kept whole: the game moves to its data folder before it may write the file back.
            std::error_code failed;
            const std::string full = nameOf(std::filesystem::absolute(pathOf(place), failed));
            std::snprintf(settings.readFrom, sizeof settings.readFrom, "%s", failed ? place.c_str() : full.c_str());
            return;
        }
    }
    readSettingsStream(settings, nullptr);
}

void readSettings(Settings& settings) {
    const bool windows = platformWindowsPaths();
    const std::string appData = platformEnvironment("APPDATA"), xdg = platformEnvironment("XDG_CONFIG_HOME"),
                      home = platformEnvironment("HOME");
    std::vector<std::string> places =
        settingsPlaces(windows, appData.c_str(), xdg.c_str(), home.c_str(), installedDataFolder());
    // A settings file here that the game cannot write gives way to the
    // user's own, where the menu keeps what it changes.
    const std::vector<std::string> own = settingsPlaces(windows, appData.c_str(), xdg.c_str(), home.c_str(), "");
    std::error_code failed;
    const auto perms = std::filesystem::status(pathOf(places[0]), failed).permissions();
    if (own.size() > 1 && places[1] == own[1] && std::filesystem::is_regular_file(pathOf(places[0]), failed) &&
        (perms & std::filesystem::perms::owner_write) == std::filesystem::perms::none &&
        std::filesystem::is_regular_file(pathOf(places[1]), failed)) {
        std::swap(places[0], places[1]);
    }
    readFirstSettings(settings, places);
}
