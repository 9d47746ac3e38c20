// race_session.cpp -- the race's keys, its hold on the controls, and the records file.
#include "app/race_session.h"

#include "app/replay_session.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/gl_api.h"
#include "core/app_state.h"
#include "core/gamepads.h"
#include "core/places.h"
#include "core/safe_file.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "race/driver.h"
#include "render/font.h"
#include "scene/scene.h"
#include "terrain/track.h"

namespace {

struct Session {
    bool startWasDown;     // F5 in the last frame: a start is a new press
    bool layoutWasDown;    // a layout key in the last frame
    // A vehicle nobody has touched (keys or pad) since the game started or the
    // last race ended is the computer's in the next race, until somebody does.
    bool touched[vehicleCount];
    ComputerDriver drivers[vehicleCount];
    RaceRecords records;   // as read at the race's start
    bool recordsDamaged;   // said once a run; the file was set aside
    bool lapRecord[vehicleCount];  // who broke which record in this race
    bool raceRecord[vehicleCount];
    float noticeSeconds;   // "no race on this track" still showing
};

Session session;

std::string recordsPath() {
    const std::string folder = userDataFolder();
    return folder.empty() ? "" : (std::filesystem::path(folder) / "records.txt").string();
}

// The records as they are on disk. A damaged file is said once and set aside
// as records.txt.bad, never overwritten: the player may want it back.
void readRecords() {
    session.records.count = 0;
    const std::string path = recordsPath();
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return; // no records yet
    }
    LineFault fault{};
    const bool read = readRaceRecords(file, session.records, fault);
    std::fclose(file);
    if (read) {
        return;
    }
    const bool setAside = setFileAside(path, ".bad");
    char text[512];
    std::snprintf(text, sizeof text, "The records file %s is damaged (line %d: %s). %s", path.c_str(),
                  static_cast<int>(fault.line), fault.text,
                  setAside ? "It is kept as records.txt.bad, and new records begin."
                           : "It could not be set aside, and no records are kept in this run.");
    platformShowMessage(text, "Error", MessageIcon::exclamation);
    session.recordsDamaged = !setAside;
}

// The results set against the records: the fastest lap and the fastest race
// of those who finished. Written only when one of them falls.
void keepRecords() {
    int32_t lapHolder = -1, raceHolder = -1;
    for (int32_t v = 0; v < vehicleCount; ++v) {
        const RaceEntry& entry = activeRace.entries[v];
        session.lapRecord[v] = session.raceRecord[v] = false;
        if (!entry.finished) {
            continue;
        }
        lapHolder = lapHolder < 0 || entry.bestLap < activeRace.entries[lapHolder].bestLap ? v : lapHolder;
        raceHolder = raceHolder < 0 || entry.finishTime < activeRace.entries[raceHolder].finishTime ? v : raceHolder;
    }
    if (lapHolder < 0 || session.recordsDamaged) {
        return;
    }
    const RecordsBroken broken = offerRaceTimes(session.records, currentTrack, activeRace.laps,
                                                activeRace.entries[lapHolder].bestLap,
                                                activeRace.entries[raceHolder].finishTime);
    session.lapRecord[lapHolder] = broken.lap;
    session.raceRecord[raceHolder] = broken.race;
    std::string why;
    const std::string path = recordsPath();
    if ((broken.lap || broken.race) && !path.empty() &&
        !writeFileSafely(path, formatRaceRecords(session.records), why)) {
        platformShowMessage(("The new record could not be kept: " + why).c_str(), "Error", MessageIcon::exclamation);
    }
}

} // namespace

void readRaceKeys() {
    const bool startDown = input.isDown(VK_F5);
    const bool started = (startDown && !session.startWasDown) || gamepads.raceStarts > 0;
    session.startWasDown = startDown;
    const bool layoutDown =
        input.isDown(VK_INSERT) || input.isDown(VK_HOME) || input.isDown(VK_DELETE) || input.isDown(VK_END);
    const bool layoutPressed = (layoutDown && !session.layoutWasDown) || gamepads.layoutSteps > 0;
    session.layoutWasDown = layoutDown;

    if (started) {
        if (raceCourse.count < minGates) {
            session.noticeSeconds = 2;
            return;
        }
        readRecords();
        startRace(activeRace, raceCourse, static_cast<int32_t>(settings.laps), vehicles);
        for (int32_t v = 0; v < vehicleCount; ++v) {
            activeRace.computer[v] = settings.computerDrivers && !session.touched[v];
            session.drivers[v] = ComputerDriver{};
        }
    } else if (layoutPressed && activeRace.phase == RacePhase::results) {
        endRace(activeRace);
    }
}

void takeControls(VehicleControls (&controls)[vehicleCount]) {
    for (int32_t v = 0; v < vehicleCount; ++v) {
        const VehicleControls player = keyAndPadControls(vehicles[v]);
        const bool touched = player.accelerate || player.reverse || player.left || player.right || player.brake;
        session.touched[v] = session.touched[v] || touched;
        // A touch hands the vehicle to its player at once, this very frame.
        activeRace.computer[v] = activeRace.computer[v] && !touched;
        if (!raceControlsLive(activeRace)) {
            controls[v] = VehicleControls{};
        } else if (activeRace.computer[v] && activeRace.phase != RacePhase::off) {
            controls[v] = driveComputer(vehicles[v], raceCourse, activeRace.entries[v], session.drivers[v],
                                        static_cast<int32_t>(settings.computerSkill), frameTimer.measuredFps);
        } else {
            controls[v] = player;
        }
    }
}

void advanceRace(uint32_t frameRate) {
    session.noticeSeconds -= session.noticeSeconds > 0 ? 1.0f / static_cast<float>(frameRate > 0 ? frameRate : 1) : 0;
    const RacePhase before = activeRace.phase;
    updateRace(activeRace, raceCourse, vehicles, frameRate);
    recordRaceStep(before, frameRate);
    if (before == RacePhase::racing && activeRace.phase == RacePhase::results) {
        keepRecords();
        // The race is over: whoever did not drive in it is free for the computer next time.
        std::fill(session.touched, session.touched + vehicleCount, false);
    }
}

void drawRaceOverlays() {
    if (activeRace.phase == RacePhase::results) {
        drawRaceResults(currentTrackName(), findRaceRecord(session.records, currentTrack, activeRace.laps), session.lapRecord,
                        session.raceRecord);
    }
    if (session.noticeSeconds > 0) {
        glColor3f(1, 1, 1);
        printText(16, 104, "%s", "no race: this track has no course to race on");
    }
}

void resetRaceSession() {
    session = Session{};
    activeRace = Race{};
}
