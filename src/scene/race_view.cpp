// race_view.cpp -- a race as the views show it: the gates standing on the
// ground, and over the picture the countdown, each driver's lap, time, place
// and next gate, the places from the world camera, and the results.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/angles.h"
#include "render/render.h"
#include "render/big_text.h"
#include "render/font.h"
#include "render/gl_state.h"
#include "scene/scene.h"
#include "terrain/terrain.h"

uint32_t gatePostTexture = 0;
uint32_t gateBannerTexture = 0;

namespace {

uint32_t gatePost = 0; // the post's mesh, upright from its foot

constexpr float postHeight = 4.6f;
constexpr float postRadius = 0.22f;
constexpr float bannerLow = 3.4f, bannerHigh = 4.4f;

bool raceShown(const ShownWorld& shown) { return shown.world->race.phase != RacePhase::off && shown.world->course.count >= minGates; }

// One post standing on the ground at (x, z).
void drawPost(float x, float z) {
    pushMatrix();
    translate(x, terrainSurfaceHeight(&terrain.ground, x, z), z);
    drawMesh(gatePost);
    popMatrix();
}

// The overlay's units: the window's size spread over whatever viewport is set.
void overlayInViewport(WindowSize window, const int32_t (&rectangle)[4]) {
    viewport(rectangle[0], rectangle[1], rectangle[2], rectangle[3]);
    beginOverlay2D(window);
}

// A triangle pointing at a relative bearing (degrees, 0 straight ahead, rising
// to the left), centred on (x, y) in overlay units.
void drawArrow(float x, float y, float size, double bearing) {
    const float dx = static_cast<float>(-std::sin(radians(bearing))), dy = static_cast<float>(-std::cos(radians(bearing)));
    begin(Primitive::triangles);
    vertex2(x + dx * size, y + dy * size);
    vertex2(x - dx * size * 0.6f - dy * size * 0.6f, y - dy * size * 0.6f + dx * size * 0.6f);
    vertex2(x - dx * size * 0.6f + dy * size * 0.6f, y - dy * size * 0.6f - dx * size * 0.6f);
    end();
}

// The direction from a vehicle to its next gate, against its heading.
double bearingToNextGate(const ShownWorld& shown, uint32_t vehicle) {
    const RaceEntry& entry = shown.world->race.entries[vehicle];
    const Gate& gate = shown.world->course.gates[nextGate(entry, shown.world->course.count)];
    const double toward = degrees(std::atan2(-(static_cast<double>(gate.x) - entry.centre[0]),
                                             -(static_cast<double>(gate.z) - entry.centre[1])));
    return std::remainder(toward - shown.vehicles[vehicle].heading, 360.0);
}

// "replay", and how it plays: "replay  x2", "replay  paused".
void replayCaption(const ReplayShown& replayShown, char (&text)[64]) {
    if (replayShown.paused) {
        std::snprintf(text, sizeof text, "replay  paused");
    } else if (replayShown.speed != 1) {
        std::snprintf(text, sizeof text, replayShown.speed > 1 ? "replay  x%.0f" : "replay  x1/%.0f",
                      replayShown.speed > 1 ? replayShown.speed : 1 / replayShown.speed);
    } else {
        std::snprintf(text, sizeof text, "replay");
    }
}

} // namespace

void makeGatePost() {
    // Once a context: a name kept from another context is not this one's to delete.
    gatePost = beginMesh();
    if (gatePost != 0) {
        rotate(-90, 1, 0, 0); // the cylinder runs along z: stand it up
        cylinder(postRadius, postRadius, postHeight, 8, 1);
        endMesh();
    }
}

void drawCourse(const ShownWorld& shown) {
    if (!raceShown(shown)) {
        return;
    }
    colour(1, 1, 1);
    for (int32_t g = 0; g < shown.world->course.count; ++g) {
        const Gate& gate = shown.world->course.gates[g];
        float forward[2], right[2];
        gateDirections(gate, forward, right);
        const float half = gate.width / 2;
        const float left[2] = {gate.x - right[0] * half, gate.z - right[1] * half};
        const float rightPost[2] = {gate.x + right[0] * half, gate.z + right[1] * half};
        bindTexture(gatePostTexture);
        drawPost(left[0], left[1]);
        drawPost(rightPost[0], rightPost[1]);
        // The banner between the posts' tops, its pattern a unit and a half a square.
        const float groundLeft = terrainSurfaceHeight(&terrain.ground, left[0], left[1]);
        const float groundRight = terrainSurfaceHeight(&terrain.ground, rightPost[0], rightPost[1]);
        const float repeat = gate.width / 6.0f;
        bindTexture(gateBannerTexture);
        begin(Primitive::quads);
        normal(-forward[0], 0, -forward[1]); // it faces the vehicles coming
        texCoord(0, 0);
        vertex(left[0], groundLeft + bannerLow, left[1]);
        texCoord(repeat, 0);
        vertex(rightPost[0], groundRight + bannerLow, rightPost[1]);
        texCoord(repeat, 1);
        vertex(rightPost[0], groundRight + bannerHigh, rightPost[1]);
        texCoord(0, 1);
        vertex(left[0], groundLeft + bannerHigh, left[1]);
        end();
    }
}

void drawRaceStatus(const ShownWorld& shown, uint32_t vehicle, uint32_t readoutBaseline, float pixel) {
    if (!raceShown(shown) || vehicle >= static_cast<uint32_t>(vehicleCount)) {
        return;
    }
    int32_t rectangle[4];
    currentViewport(rectangle);
    const RaceEntry& entry = shown.world->race.entries[vehicle];
    disable(Feature::depthTest);
    overlayInViewport(shown.window, rectangle);
    const float width = static_cast<float>(shown.window.width), height = static_cast<float>(shown.window.height);
    if (const char* caption = countdownCaption(shown.world->race)) {
        colour(1, 1, 0);
        drawBigText(width / 2, height * 0.4f, height / 40, caption);
    }
    if (shown.world->race.phase != RacePhase::results && !entry.finished) {
        colour(1, 0.85f, 0.1f);
        drawArrow(width / 2, 34 * pixel, 14 * pixel, bearingToNextGate(shown, vehicle));
    }
    if (shown.world->race.endless && shown.split[0] != '\0') {
        // Ahead of the ghost in blue, behind it in orange: told apart without red and green.
        shown.splitAhead ? colour(0.3f, 0.6f, 1.0f) : colour(1.0f, 0.55f, 0.1f);
        drawBigText(width / 2, height * 0.3f, height / 60, shown.split);
    }
    enable(Feature::depthTest);

    char time[16], last[16], best[16];
    formatRaceTime(entry.finished ? entry.finishTime : shown.world->race.clock, time);
    formatRaceTime(entry.lastLap, last);
    formatRaceTime(entry.bestLap, best);
    char lines[4][64];
    const Race& race = shown.world->race;
    if (race.endless) { // a time trial: its laps without end, from line to line
        char lapTime[16];
        formatRaceTime(entry.gatesPassed >= 1 ? race.clock - entry.lapStart : race.clock, lapTime);
        std::snprintf(lines[0], sizeof lines[0], "time trial  lap %d  %s", completedLaps(entry, shown.world->course.count) + 1,
                      lapTime);
    } else {
        std::snprintf(lines[0], sizeof lines[0], "lap %d/%d  %s", currentLap(race, entry, shown.world->course.count),
                      race.laps, time);
    }
    std::snprintf(lines[1], sizeof lines[1], "last %s  best %s", last, best);
    std::snprintf(lines[2], sizeof lines[2], "%s%s%s", race.endless ? "F8 ends it" : placeName(placeOf(race, static_cast<int32_t>(vehicle))),
                  race.computer[vehicle] ? " cpu" : "", entry.finished ? "  finished" : "");
    replayCaption(shown.replay, lines[3]);
    colour(1, 1, 1);
    for (int line = 0; line < (shown.replay.on ? 4 : 3); ++line) {
        overlayInViewport(shown.window, rectangle);
        printText(shown.window, 16, static_cast<uint32_t>(static_cast<float>(readoutBaseline) + 20 * pixel * static_cast<float>(line + 1)),
                  "%s", lines[line]);
    }
    viewport(rectangle[0], rectangle[1], rectangle[2], rectangle[3]);
}

void drawWorldPlaces(const ShownWorld& shown, uint32_t baseline, float pixel) {
    if (!raceShown(shown)) {
        return;
    }
    int32_t rectangle[4];
    currentViewport(rectangle);
    // A line a place, narrow enough for the world's quarter; then, while a
    // replay plays, what it is and the race time it has reached.
    char lines[vehicleCount + 1][96];
    for (int32_t place = 0; place < vehicleCount; ++place) {
        const int32_t v = shown.world->race.places[place];
        std::snprintf(lines[place], sizeof lines[place], "%s %s%s", placeName(place), vehicleNames[v],
                      shown.world->race.computer[v] ? " cpu" : "");
        if (shown.world->race.offCourse[v]) {
            lines[place][0] = '\0'; // a time trial's other two are in no place
        }
    }
    char caption[64], time[16];
    replayCaption(shown.replay, caption);
    formatRaceTime(shown.replay.time, time);
    std::snprintf(lines[vehicleCount], sizeof lines[vehicleCount], "%s  %s", caption, time);
    colour(1, 1, 1);
    for (int line = 0; line < vehicleCount + (shown.replay.on ? 1 : 0); ++line) {
        overlayInViewport(shown.window, rectangle);
        printText(shown.window, 16, baseline + static_cast<uint32_t>(20 * pixel * static_cast<float>(line)), "%s", lines[line]);
    }
    viewport(rectangle[0], rectangle[1], rectangle[2], rectangle[3]);
}

void drawRaceResults(WindowSize window, const Race& race, const char* trackName, const RaceRecord* record,
                     const bool (&lapRecord)[vehicleCount], const bool (&raceRecord)[vehicleCount], bool recordsCounted) {
    if (race.phase != RacePhase::results) {
        return;
    }
    const float width = static_cast<float>(window.width), height = static_cast<float>(window.height);
    const float panelWidth = 640, left = width / 2 - panelWidth / 2, top = height / 2 - 90;
    // Opaque: the views' own lines under it would cross its rows.
    beginOverlay2D(window);
    disable(Feature::depthTest);
    colour(0.1f, 0.1f, 0.12f);
    begin(Primitive::quads);
    vertex2(left, top);
    vertex2(left + panelWidth, top);
    vertex2(left + panelWidth, top + 200);
    vertex2(left, top + 200);
    end();
    enable(Feature::depthTest);

    const auto line = [&](int row, const char* text) {
        printText(window, static_cast<uint32_t>(left + 12), static_cast<uint32_t>(top + 26 + 22 * row), "%s", text);
    };
    // The counts in columns of the fixed-width letters, beside the longest
    // line of times: contacts with the other cars, with trees, and rescues.
    constexpr int countsColumn = 42;
    char text[96], row[128];
    colour(1, 1, 0);
    std::snprintf(text, sizeof text, "Results: %s, %d %s", trackName, race.laps, race.laps == 1 ? "lap" : "laps");
    line(0, text);
    colour(0.7f, 0.7f, 0.7f);
    std::snprintf(row, sizeof row, "%*s%s", countsColumn, "", "cars trees rescues");
    line(0, row);
    colour(1, 1, 1);
    for (int32_t place = 0; place < vehicleCount; ++place) {
        const int32_t v = race.places[place];
        const RaceEntry& entry = race.entries[v];
        formatResultLine(race, place, raceRecord[v], lapRecord[v], text);
        std::snprintf(row, sizeof row, "%-*s%4d %5d %7d", countsColumn, text, static_cast<int>(entry.vehicleContacts),
                      static_cast<int>(entry.treeContacts), static_cast<int>(entry.rescues));
        line(1 + place, row);
    }
    if (!recordsCounted) {
        line(5, "records: none with vehicle contact or solid trees off");
    } else if (record != nullptr) {
        char lap[16], best[16];
        formatRaceTime(record->bestLap, lap);
        formatRaceTime(record->bestRace, best);
        std::snprintf(text, sizeof text, "records: race %s  lap %s%s", best, lap,
                      std::any_of(lapRecord, lapRecord + vehicleCount, [](bool b) { return b; }) ||
                              std::any_of(raceRecord, raceRecord + vehicleCount, [](bool b) { return b; })
                          ? "  (* new)"
                          : "");
        line(5, text);
    }
    colour(0.8f, 0.8f, 0.8f);
    line(7, "F5: race again    Insert, Home, Delete, End: drive on");
}
