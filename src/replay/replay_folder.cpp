// replay_folder.cpp -- the replays kept in a folder: the newest twenty, by name and time.
#include "replay/replay_folder.h"

#include <algorithm>
#include <ctime>

#include "core/files.h"
#include "core/places.h"
#include "core/safe_file.h"
#include "replay/replay_file.h"

namespace fs = std::filesystem;

namespace {

constexpr int keptReplays = 20;

} // namespace

fs::path replaysFolder(const char* name) {
    const std::string folder = userDataFolder();
    return folder.empty() ? fs::path() : pathOf(folder) / name;
}

std::vector<fs::path> keptReplayPaths(const fs::path& folder) {
    std::vector<std::pair<fs::file_time_type, fs::path>> found;
    std::error_code failed;
    for (fs::directory_iterator it(folder, failed), end; !failed && it != end; it.increment(failed)) {
        const std::string name = nameOf(it->path().filename());
        std::error_code unreadable; // one entry's time that cannot be read passes it over, not the rest
        const fs::file_time_type written = fs::last_write_time(it->path(), unreadable);
        if (name.rfind("race-", 0) == 0 && it->path().extension() == ".mlr" && !unreadable) {
            found.emplace_back(written, it->path());
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<fs::path> files;
    for (const auto& [time, path] : found) {
        files.push_back(path);
    }
    return files;
}

std::string writeReplayInto(const fs::path& folder, const Replay& replay) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "race-%Y%m%d-%H%M%S", std::localtime(&now));
    fs::path path = folder / (std::string(stamp) + ".mlr");
    std::error_code failed;
    for (int again = 2; fs::exists(path, failed) && again < 100; ++again) {
        path = folder / (std::string(stamp) + "-" + std::to_string(again) + ".mlr");
    }
    std::string why = "it could not be compressed";
    const std::string bytes = encodeReplay(replay);
    if (bytes.empty() || !writeFileSafely(nameOf(path), bytes, why)) {
        return "The race's replay could not be kept: " + why;
    }
    const std::vector<fs::path> files = keptReplayPaths(folder);
    for (size_t i = 0; i + keptReplays < files.size(); ++i) {
        fs::remove(files[i], failed);
    }
    return "";
}

bool recordRace(Replay& replay, bool& recording, const World& world, RacePhase before) {
    const Race& race = world.race;
    if (before == RacePhase::racing && recording) {
        VehicleControls controls[vehicleCount];
        for (int v = 0; v < vehicleCount; ++v) {
            controls[v] = world.vehicles[v].controls;
        }
        recordFrame(replay, stepsPerSecond, controls);
        recordKeyframeIfDue(replay, race, world.vehicles);
    }
    if (before == RacePhase::countdown && race.phase == RacePhase::racing) {
        // "GO": the vehicles as they stand are the replay's start.
        beginRecording(replay, world);
        recording = true;
    } else if (before == RacePhase::racing && race.phase == RacePhase::results && recording) {
        recording = false;
        endRecording(replay, race);
        return true;
    } else if (race.phase != RacePhase::racing) {
        recording = false; // started again, or left
    }
    return false;
}
