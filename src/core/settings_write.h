// settings_write.h -- the settings the menu changed, written back into the
// player's settings file with everything else in it kept as it was.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/settings.h"

// A setting as the file writes it: its key's words ("laps:", "keys red:") and
// its values ("5", "Up Down Left Right Space").
struct SettingValue {
    std::string key;
    std::string values;
};

// The settings file's text with these values: where a key stands (its last
// place, which is the one that counts) its old values make way for the new
// ones; a key the text lacks is added on a line of its own at the end.
// Comments, blank lines, unknown words and the order stay as they were.
std::string rewriteSettings(const std::string& text, const std::vector<SettingValue>& values);

// The values of what the menu may change, as the file writes them (a vehicle's
// keys where it has a keys line or keys other than those it starts with).
std::vector<SettingValue> menuSettingValues(const Settings& settings);

// Writes what changed since `before` back: into the file the settings were
// read from (settings.readFrom) where it can be written, else into the user's
// own settings file (made from the read file's text), which then is where they
// are read from. Always through a temporary file and a rename. False with why
// when neither could be written: the changes then hold until the game ends.
bool keepSettings(Settings& settings, const Settings& before, std::string& why);

// The user's own settings file (%APPDATA%\Mudlark, $XDG_CONFIG_HOME/mudlark
// or ~/.config/mudlark); "" where it cannot be known.
std::string userSettingsFile();
