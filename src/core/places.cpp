// places.cpp -- the search orders for settings and data.
#include "core/places.h"

#include <cstdlib>
#include <filesystem>

#include "core/files.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

std::vector<std::string> settingsPlaces(bool windows, const char* appData, const char* xdgConfigHome,
                                        const char* home, const std::string& installedData) {
    std::vector<std::string> places{"settings.cfg"};
    const auto known = [](const char* value) { return value != nullptr && value[0] != '\0'; };
    if (windows && known(appData)) {
        places.push_back(std::string(appData) + "\\Mudlark\\settings.cfg");
    } else if (!windows && known(xdgConfigHome)) {
        places.push_back(std::string(xdgConfigHome) + "/mudlark/settings.cfg");
    } else if (!windows && known(home)) {
        places.push_back(std::string(home) + "/.config/mudlark/settings.cfg");
    }
    if (!installedData.empty()) {
        places.push_back(nameOf(pathOf(installedData) / "settings.cfg"));
    }
    return places;
}

std::string userDataFolder(bool windows, const char* appData, const char* xdgDataHome, const char* home) {
    const auto known = [](const char* value) { return value != nullptr && value[0] != '\0'; };
    if (windows) {
        return known(appData) ? std::string(appData) + "\\Mudlark" : "";
    }
    if (known(xdgDataHome)) {
        return std::string(xdgDataHome) + "/mudlark";
    }
    return known(home) ? std::string(home) + "/.local/share/mudlark" : "";
}

std::string userDataFolder() {
    return userDataFolder(platformWindowsPaths(), platformEnvironment("APPDATA").c_str(),
                          platformEnvironment("XDG_DATA_HOME").c_str(), platformEnvironment("HOME").c_str());
}

std::vector<std::string> dataPlaces(const std::string& executableFolder, const char* installedRelative) {
    std::vector<std::string> places{"."};
    if (!executableFolder.empty()) {
        places.push_back(nameOf((pathOf(executableFolder) / installedRelative).lexically_normal()));
    }
    return places;
}

std::string installedDataFolder() {
    char executable[1024] = "";
    const std::vector<std::string> places =
        dataPlaces(platformExecutableFolder(executable) ? executable : "", MUDLARK_INSTALLED_DATA);
    return places.size() > 1 ? places[1] : "";
}

std::string findData(const std::vector<std::string>& places) {
    for (const std::string& place : places) {
        std::error_code ignored;
        for (const char* folder : {"Models", "Tracks", "Textures"}) {
            if (fs::is_directory(pathOf(place) / folder, ignored)) {
                return place;
            }
        }
    }
    return "";
}

bool goToData() {
    const std::string installed = installedDataFolder();
    std::vector<std::string> places{"."};
    if (!installed.empty()) {
        places.push_back(installed);
    }
    const std::string found = findData(places);
    std::error_code failed;
    if (!found.empty()) {
        std::filesystem::current_path(pathOf(found), failed);
        return !failed;
    }
    std::string text = "Unable to find the game's data (Models, Tracks, Textures) in " +
                       nameOf(std::filesystem::current_path(failed));
    text += !installed.empty() ? " or " + installed + "!" : "!";
    platformShowMessage(text.c_str(), "Error", MessageIcon::exclamation);
    return false;
}
