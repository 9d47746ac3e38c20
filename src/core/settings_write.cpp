// settings_write.cpp -- new values into the settings file's own text, kept safely.
#include "core/settings_write.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <sstream>

#include "common/vehicles.h"
#include "core/files.h"
#include "core/key_names.h"
#include "core/places.h"
#include "core/safe_file.h"
#include "platform/platform.h"

namespace {

struct Word {
    size_t at, length;
};

std::vector<Word> wordsOf(const std::string& text) {
    std::vector<Word> words;
    for (size_t i = 0; i < text.size();) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
        }
        words.push_back(Word{start, i - start});
    }
    return words;
}

std::vector<std::string> split(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> parts;
    for (std::string part; in >> part;) {
        parts.push_back(part);
    }
    return parts;
}

// The words a key may be written as: "computerdrivers:" also as "computer
// drivers:", "vehicle contact:" also as "vehiclecontact:".
std::vector<std::vector<std::string>> spellings(const std::string& key) {
    std::vector<std::vector<std::string>> ways{split(key)};
    for (const TwoWordKey& two : twoWordKeys) {
        if (key == two.joined) {
            ways.push_back({two.first, two.second});
        } else if (key == std::string(two.first) + " " + two.second) {
            ways.push_back({two.joined});
        }
    }
    return ways;
}

// Settings files are a few hundred bytes; one of a megabyte is no settings file
// the game should rewrite.
constexpr size_t maxSettingsFile = 1 << 20;

} // namespace

std::string rewriteSettings(const std::string& text, const std::vector<SettingValue>& values) {
    std::string out = text;
    for (const SettingValue& value : values) {
        const size_t count = split(value.values).size();
        const std::vector<Word> words = wordsOf(out);
        size_t found = words.size(), keyWords = 0;
        for (const auto& key : spellings(value.key)) {
            for (size_t w = 0; w + key.size() <= words.size(); ++w) {
                bool same = true;
                for (size_t k = 0; k < key.size() && same; ++k) {
                    same = out.compare(words[w + k].at, words[w + k].length, key[k]) == 0;
                }
                if (same && (found == words.size() || w > found)) {
                    found = w;
                    keyWords = key.size();
                }
            }
        }
        if (found == words.size()) {
            if (!out.empty() && out.back() != '\n') {
                out += '\n';
            }
            out += value.key + " " + value.values + "\n";
            continue;
        }
        // The old values: as many words as the key takes, on the key's line,
        // up to a comment (a keys line of five names gets its sixth).
        const size_t first = found + keyWords;
        size_t last = first;
        while (last < words.size() && last < first + count &&
               out.find('\n', words[found].at) >= words[last].at + words[last].length && out[words[last].at] != '#') {
            ++last;
        }
        if (last == first) {
            out.insert(words[found + keyWords - 1].at + words[found + keyWords - 1].length, " " + value.values);
        } else {
            const size_t from = words[first].at, to = words[last - 1].at + words[last - 1].length;
            out.replace(from, to - from, value.values);
        }
    }
    return out;
}

std::vector<SettingValue> menuSettingValues(const Settings& s) {
    const auto flag = [](bool on) { return std::string(on ? "true" : "false"); };
    std::vector<SettingValue> values = {
        {"resolution:", std::to_string(s.startWidth) + " " + std::to_string(s.startHeight) + " " +
                            std::to_string(s.colorBits)},
        {"fullscreen:", flag(s.fullscreen)},        {"fps:", flag(s.showFps)},
        {"systeminfo:", flag(s.showSystemInfo)},    {"sound:", flag(s.sound)},
        {"volume:", std::to_string(s.volume)},      {"laps:", std::to_string(s.laps)},
        {"computerdrivers:", flag(s.computerDrivers)}, {"computerskill:", std::to_string(s.computerSkill)},
        {"vehicle contact:", flag(s.vehicleContact)}, {"solid trees:", flag(s.solidTrees)},
        {"track:", std::to_string(s.track)},
    };
    for (int v = 0; v < vehicleCount; ++v) {
        if (s.vehicleKeysLine[v] == 0 && std::memcmp(s.vehicleKeys[v], startingKeys[v], sizeof startingKeys[v]) == 0) {
            continue; // the keys it starts with, and no line: none needed
        }
        std::string names;
        for (int slot = 0; slot < keySlotCount; ++slot) {
            const uint8_t code = s.vehicleKeys[v][slot];
            const char* name = keyNameOfCode(code);
            if (slot == keyRescue && name == nullptr) {
                break; // no rescue key: a line of five
            }
            names += (names.empty() ? "" : " ") + std::string(name != nullptr ? name : "?");
        }
        values.push_back({std::string("keys ") + vehicleNames[v] + ":", names});
    }
    return values;
}

std::string userSettingsFile() {
    const std::vector<std::string> places =
        settingsPlaces(platformWindowsPaths(), platformEnvironment("APPDATA").c_str(),
                       platformEnvironment("XDG_CONFIG_HOME").c_str(), platformEnvironment("HOME").c_str(), "");
    return places.size() > 1 ? places[1] : "";
}

bool keepSettings(Settings& settings, const Settings& before, std::string& why) {
    // Only what changed is written.
    std::vector<SettingValue> changed;
    const std::vector<SettingValue> was = menuSettingValues(before);
    for (const SettingValue& value : menuSettingValues(settings)) {
        bool same = false;
        for (const SettingValue& old : was) {
            same = same || (old.key == value.key && old.values == value.values);
        }
        if (!same) {
            changed.push_back(value);
        }
    }
    if (changed.empty()) {
        return true;
    }
    const std::string read = settings.readFrom;
    std::vector<uint8_t> bytes;
    const WholeFile got = read.empty() ? WholeFile::missing : readWholeFile(read, maxSettingsFile, bytes);
    if (got == WholeFile::unreadable || got == WholeFile::tooLarge) {
        // Written over, the lines the game did not read back would be lost.
        why = read + (got == WholeFile::tooLarge ? " is too large to be a settings file" : " cannot be read again");
        return false;
    }
    const std::string text = rewriteSettings(std::string(bytes.begin(), bytes.end()), changed);
    if (!read.empty() && writeFileSafely(read, text, why)) {
        return true;
    }
    const std::string own = userSettingsFile();
    std::string ownWhy;
    if (own.empty() || own == read || !writeFileSafely(own, text, ownWhy)) {
        why = own.empty() || own == read ? why : ownWhy;
        return false;
    }
    std::snprintf(settings.readFrom, sizeof settings.readFrom, "%s", own.c_str());
    return true;
}
