// places.h -- where the game finds its settings and its data: the folder it is
// started in first (as it always has), then the user's own settings file and
// the data installed beside the executable.
#pragma once

#include <string>
#include <vector>

// The settings files to try in order: "settings.cfg" in the current folder,
// then the user's: on Windows (windows true) settings.cfg in Mudlark under
// %APPDATA%; elsewhere $XDG_CONFIG_HOME/mudlark/settings.cfg, where an unset or
// empty XDG_CONFIG_HOME means $HOME/.config; last the one installed with the
// data (installedData, "" when unknown). Places that cannot be known (no such
// variable) are left out.
std::vector<std::string> settingsPlaces(bool windows, const char* appData, const char* xdgConfigHome,
                                        const char* home, const std::string& installedData);

// Where the game keeps what it writes for the player (race records, replays):
// %APPDATA%\Mudlark on Windows; elsewhere $XDG_DATA_HOME/mudlark, where an
// unset or empty XDG_DATA_HOME means $HOME/.local/share. "" where it cannot be
// known. Without arguments, from this process's environment.
std::string userDataFolder(bool windows, const char* appData, const char* xdgDataHome, const char* home);
std::string userDataFolder();

// The folders the data may be in, in order: the current one, then the installed
// one: installedRelative (e.g. "../share/mudlark") from the executable's folder.
std::vector<std::string> dataPlaces(const std::string& executableFolder, const char* installedRelative);

// The data folder installed with the running executable; "" where the
// executable's folder cannot be told.
std::string installedDataFolder();

// The first place holding any of the data's folders (Models, Tracks, Textures),
// so that a damaged data set is still found and its own boxes say what is wrong.
// "" when none does.
std::string findData(const std::vector<std::string>& places);

// Makes the folder holding the data the working folder: the one the program
// was started in when the data is there (as always), else the one installed
// with the executable. Without either, one box says where it looked.
bool goToData();
