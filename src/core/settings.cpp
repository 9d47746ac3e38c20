// settings.cpp -- reads "settings.cfg": whitespace-separated keys and their values.
#include "core/settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/text_scanner.h"
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

void readSettingsFile(Settings& settings, const char* path) {
    std::FILE* file = std::fopen(path, "r");
    readSettingsStream(settings, file);
    if (file != nullptr) {
        std::fclose(file);
    }
}

void readSettingsStream(Settings& settings, std::FILE* file) {
    storeDefaults(settings);
    if (file == nullptr) {
        return; // no file: the defaults stand, unchecked
    }
    TextScanner scanner(file);
    char word[wordCapacity];
    while (scanner.readWord(word, sizeof word)) {
        if (std::strcmp(word, "resolution:") == 0) {
            readResolution(scanner, settings);
        } else if (std::strcmp(word, "fullscreen:") == 0) {
            readFlag(scanner, settings.fullscreen);
        } else if (std::strcmp(word, "mouse:") == 0) {
            readFlag(scanner, settings.mouse);
        } else if (std::strcmp(word, "fps:") == 0) {
            readFlag(scanner, settings.showFps);
        } else if (std::strcmp(word, "maxfps:") == 0) {
            readUnsigned(scanner, settings.maxFps);
        } else if (std::strcmp(word, "systeminfo:") == 0) {
            readFlag(scanner, settings.showSystemInfo);
        } else if (std::strcmp(word, "sound:") == 0) {
            readFlag(scanner, settings.sound);
        } else if (std::strcmp(word, "volume:") == 0) {
            readUnsigned(scanner, settings.volume);
        } else if (std::strcmp(word, "gamepads:") == 0) {
            readFlag(scanner, settings.gamepads);
        } else if (std::strcmp(word, "texturefilter:") == 0) {
            readTextureFilter(scanner, settings.textureFilter);
        }
    }
    checkResolution(settings);
    settings.volume = settings.volume > 100 ? 100 : settings.volume; // the loudest there is
}

void readFirstSettings(Settings& settings, const std::vector<std::string>& places) {
    for (const std::string& place : places) {
        std::error_code ignored; // a folder of that name is as good as no file
        std::FILE* file = std::filesystem::is_regular_file(place, ignored) ? std::fopen(place.c_str(), "r") : nullptr;
        if (file != nullptr) {
            readSettingsStream(settings, file);
            std::fclose(file);
            return;
        }
    }
    readSettingsStream(settings, nullptr);
}

void readSettings(Settings& settings) {
    readFirstSettings(settings, settingsPlaces(platformWindowsPaths(), std::getenv("APPDATA"),
                                               std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
}
