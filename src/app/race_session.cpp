// race_session.cpp -- the race's keys, its hold on the controls, and the records file.
#include "app/player_rules.h"
#include "app/race_session.h"
#include "core/play_lines.h"

#include "app/bindings.h"
#include "app/replay_session.h"
#include "app/view_mode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "render/render.h"
#include "core/gamepads.h"
#include "core/places.h"
#include "core/background_writes.h"
#include "core/safe_file.h"
#include "core/files.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "race/driver.h"
#include "render/font.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace {


} // namespace

std::string recordsPath() {
    const std::string folder = userDataFolder();
    return folder.empty() ? "" : nameOf(pathOf(folder) / "records.txt");
}

namespace {

// The records as they stand, written in the background.
void writeRecords(RaceSession& session) {
    const std::string path = recordsPath();
    if (path.empty()) {
        return;
    }
    session.writes.start([path, text = formatRaceRecords(session.records)] {
        std::string why;
        return writeFileSafely(path, text, why) ? std::string() : "The new record could not be kept: " + why;
    });
}

// The records as they are on disk. A damaged file is said once and set aside
// as records.txt.bad, never overwritten: the player may want it back.
void readRecords(RaceSession& session, PlayLines& said) {
    session.writes.finish(); // the file as this game last wrote it
    session.records.count = 0;
    const std::string path = recordsPath();
    std::FILE* file = path.empty() ? nullptr : platformOpenFile(path.c_str(), "r");
    if (file == nullptr) {
        return; // no records yet
    }
    LineFault fault{};
    const bool read = readRaceRecords(file, session.records, fault);
    std::fclose(file);
    if (read && session.records.clock != recordsClock) {
        // Times of the old clock, which followed the frame rate: kept beside
        // the new file for the player, never set against new races.
        session.records.count = 0;
        std::error_code failed;
        for (int again = 1; again < 10 && std::filesystem::exists(pathOf(path), failed); ++again) {
            const std::string name = again == 1 ? "records-1.1.txt" : "records-1.1-" + std::to_string(again) + ".txt";
            const auto old = pathOf(path).replace_filename(name);
            if (!std::filesystem::exists(old, failed)) {
                std::filesystem::rename(pathOf(path), old, failed);
            }
        }
        session.recordsDamaged = std::filesystem::exists(pathOf(path), failed); // not moved: nothing written over it
        session.oldClockSeconds = session.recordsDamaged ? 0 : 5;
        return;
    }
    if (read) {
        return;
    }
    const bool setAside = setFileAside(path, ".bad");
    char text[512];
    std::snprintf(text, sizeof text, "The records file %s is damaged (line %d: %s). %s", path.c_str(),
                  static_cast<int>(fault.line), fault.text,
                  setAside ? "It is kept as records.txt.bad, and new records begin."
                           : "It could not be set aside, and no records are kept in this run.");
    tellPlayer(said, text, "Error", MessageIcon::exclamation);
    session.recordsDamaged = !setAside;
}

// The results set against the records: the fastest lap and the fastest race
// of those who finished. Written only when one of them falls.
void keepRecords(RaceSession& session, const World& world) {
    const Race& race = world.race;
    int32_t lapHolder = -1, raceHolder = -1;
    for (int32_t v = 0; v < vehicleCount; ++v) {
        const RaceEntry& entry = race.entries[v];
        session.lapRecord[v] = session.raceRecord[v] = false;
        if (!entry.finished || race.computer[v]) {
            continue; // a computer driver's time is in the results, never in the records
        }
        lapHolder = lapHolder < 0 || entry.bestLap < race.entries[lapHolder].bestLap ? v : lapHolder;
        raceHolder = raceHolder < 0 || entry.finishTime < race.entries[raceHolder].finishTime ? v : raceHolder;
    }
    if (lapHolder < 0 || session.recordsDamaged || !recordsCount(world)) {
        return;
    }
    const RecordsBroken broken = offerRaceTimes(session.records, world.track, race.laps,
                                                static_cast<int32_t>(world.simulation),
                                                race.entries[lapHolder].bestLap,
                                                race.entries[raceHolder].finishTime);
    session.lapRecord[lapHolder] = broken.lap;
    session.raceRecord[raceHolder] = broken.race;
    if (broken.lap || broken.race) {
        writeRecords(session);
    }
}

} // namespace

ModeChange readRaceKeys(RaceSession& session, const InputState& input, const Gamepads& gamepads, const World& world,
                        uint32_t frameRate) {
    const float frameSeconds = 1.0f / static_cast<float>(frameRate > 0 ? frameRate : 1);
    session.noticeSeconds -= session.noticeSeconds > 0 ? frameSeconds : 0;
    session.oldClockSeconds -= session.oldClockSeconds > 0 ? frameSeconds : 0;
    const bool startDown = input.isDown(VK_F5);
    const bool started = (startDown && !session.startWasDown) || gamepads.raceStarts > 0;
    session.startWasDown = startDown;
    const bool layoutDown = anyLayoutKeyDown(input);
    const bool layoutPressed = (layoutDown && !session.layoutWasDown) || gamepads.layoutSteps > 0;
    session.layoutWasDown = layoutDown;

    return started                                                     ? ModeChange::startRace
           : layoutPressed && world.race.phase == RacePhase::results ? ModeChange::endResults
                                                                     : ModeChange::none;
}

void startRaceNow(RaceSession& session, World& world, const Settings& settings, PlayLines& said, bool demo) {
    if (world.course.count < minGates) {
        session.noticeSeconds = 2;
        return;
    }
    bool computer[vehicleCount];
    for (int32_t v = 0; v < vehicleCount; ++v) {
        computer[v] = demo || (settings.computerDrivers && !session.touched[v]);
    }
    startRaceOf(session, world, said, static_cast<int32_t>(settings.laps), static_cast<int32_t>(settings.computerSkill), computer,
                settings.vehicleContact, settings.solidTrees);
}

void startRaceOf(RaceSession& session, World& world, PlayLines& said, int32_t laps, int32_t skill, const bool (&computer)[vehicleCount], bool vehicleContact,
                 bool solidTrees) {
    readRecords(session, said);
    world.computerSkill = skill;
    setWorldRules(world, simulationVersion, vehicleContact, solidTrees);
    startWorldRace(world, laps, computer);
}

void offerTrialLap(RaceSession& session, PlayLines& said, const World& world, double lapTime) {
    if (!recordsCount(world)) {
        return;
    }
    readRecords(session, said);
    const bool broken = !session.recordsDamaged &&
                        offerLapTime(session.records, world.track, static_cast<int32_t>(world.simulation), lapTime);
    if (broken) {
        writeRecords(session);
    }
}

void takeControls(RaceSession& session, const Bindings& bindings, const InputState& input, const Gamepads& gamepads,
                  VehicleControls (&controls)[vehicleCount]) {
    for (int32_t v = 0; v < vehicleCount; ++v) {
        controls[v] = playerControls(bindings, input, gamepads, v);
        // The step hands a touched vehicle to its player; the touch is
        // remembered so the next race does not give it back to the computer.
        session.touched[v] = session.touched[v] || anyControl(controls[v]);
    }
}

void afterRaceStep(RaceSession& session, ReplaySession& replay, World& world, RacePhase before) {
    recordRaceStep(replay, world, before);
    if (before == RacePhase::racing && world.race.phase == RacePhase::results) {
        keepRecords(session, world);
        // The race is over: whoever did not drive in it is free for the computer next time.
        std::fill(session.touched, session.touched + vehicleCount, false);
    }
}

void drawRaceOverlays(const RaceSession& session, const World& world, WindowSize window) {
    if (world.race.phase == RacePhase::results) {
        const bool counted = recordsCount(world);
        drawRaceResults(window, world.race, trackName(world).c_str(),
                        counted ? findRaceRecord(session.records, world.track, world.race.laps,
                                                 static_cast<int32_t>(world.simulation))
                                : nullptr,
                        session.lapRecord, session.raceRecord, counted);
    }
    colour(1, 1, 1);
    if (session.noticeSeconds > 0) {
        printText(window, 16, 104, "%s", "no race: this track has no course to race on");
    }
    if (session.oldClockSeconds > 0) {
        printText(window, 16, 128, "%s", "records of the old clock kept as records-1.1.txt: new records begin");
    }
}

