// frame.cpp -- composes each frame: timer, keys, as many steps of the world as
// real time owes it, the views of the current layout (the vehicles drawn
// between the last two steps), then the overlays.
#include "app/frame.h"

#include <algorithm>
#include <string>

#include "core/app_state.h"
#include "core/play_lines.h"
#include "common/gl_api.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/gl_state.h"
#include "render/overlays.h"
#include "app/game.h"
#include "app/game_mode.h"
#include "app/lan_session.h"
#include "app/menu_session.h"
#include "app/race_session.h"
#include "app/step_clock.h"
#include "app/step_driver.h"
#include "app/replay_session.h"
#include "app/sound_mix.h"
#include "app/track_session.h"
#include "app/trial_session.h"
#include "app/view_mode.h"
#include "audio/sound.h"
#include "scene/scene.h"
#include "scene/track_map.h"
#include "vehicle/vehicle.h"

namespace {

// Whether anything but a step moved a vehicle (a race's start, a new track, a
// replay): then it is drawn where it is, not on its way there.
bool movedOutsideAStep(const Vehicle (&was)[vehicleCount], const World& world) {
    for (int v = 0; v < vehicleCount; ++v) {
        const Vehicle& a = was[v];
        const Vehicle& b = world.vehicles[v];
        if (a.position[0] != b.position[0] || a.position[1] != b.position[1] || a.position[2] != b.position[2] ||
            a.heading != b.heading) {
            return true;
        }
    }
    return false;
}

// A view's viewport with the 45-degree projection; the aspect is the whole
// window's, so a quarter keeps the window's proportions.
void useViewport(const Viewport& v) {
    glViewport(static_cast<GLint>(v.x), static_cast<GLint>(v.y), static_cast<GLsizei>(v.width),
               static_cast<GLsizei>(v.height));
}

void captionView(const TrackCaption& caption, const Viewport& v) {
    drawTrackCaption(caption, static_cast<int32_t>(v.x), static_cast<int32_t>(v.y), static_cast<int32_t>(v.width),
                     static_cast<int32_t>(v.height));
}

void setUpSubView(const Viewport& v) {
    useViewport(v);
    applyViewPerspective();
}

bool viewOf(const ViewState& v, uint32_t vehicle, Viewport& viewport) {
    return driverViewport(vehicle, v.worldView, v.splitLayout, v.followedVehicle, settings.width, settings.height, viewport);
}

// A view's first line of text sits 64 pixels down. The system information's
// three lines (down to 60) share the corner of a view that fills the window:
// there it moves a line lower, and what sits under it with it.
uint32_t firstLine(bool fillsWindow) { return settings.showSystemInfo && fillsWindow ? 84 : 64; }
uint32_t readoutBaseline(const ViewState& v) { return firstLine(!v.worldView && v.splitLayout <= 1); }

// The window units one screen pixel spans in a view: 1 in the whole window, 2
// in a quarter (the overlay stretches the window's units over the viewport).
float unitsPerPixel(const Viewport& view) {
    return view.height > 0 ? static_cast<float>(settings.height) / static_cast<float>(view.height) : 1.0f;
}

// "pad 1: blue", "pad 1 gone": under the readout of the view that shows the
// vehicle concerned, or of the whole window where no view shows it.
void drawPadNotices(const ShownWorld& shown, const ViewState& v) {
    uint32_t lines[8] = {}; // notices so far in each viewport: the window and its quarters
    glColor3f(1, 1, 1);
    for (const Gamepads::Notice& notice : gamepads.notices) {
        if (notice.secondsLeft <= 0) {
            continue;
        }
        Viewport view{0, 0, settings.width, settings.height};
        if (notice.vehicle >= 0) {
            viewOf(v, static_cast<uint32_t>(notice.vehicle), view);
        }
        const uint32_t place = (view.x != 0 ? 1 : 0) + (view.y != 0 ? 2 : 0) + (view.width < settings.width ? 4 : 0);
        // Under a race's three lines, in a view that shows them.
        const bool raceLines = shown.world->race.phase != RacePhase::off && notice.vehicle >= 0 && !v.worldView;
        const float below = raceLines ? 60 * unitsPerPixel(view) : 0;
        useViewport(view);
        printText(16, readoutBaseline(v) + 40 + static_cast<uint32_t>(below) + 24 * lines[place]++, "%s", notice.text);
    }
}

void drawViews(const ShownWorld& shown, const ViewState& v, const TrackCaption& caption) {
    const Viewport window{0, 0, settings.width, settings.height};
    if (v.worldView) {
        setUpSubView(window);
        drawWorldView(shown, v.followedVehicle);
        drawWorldPlaces(shown, firstLine(true), 1.0f);
        captionView(caption, window);
        applyPerspective();
        return;
    }
    if (v.splitLayout == 1) {
        applyPerspective();
        drawDriverView(shown, v.followedVehicle, readoutBaseline(v), 1.0f);
        captionView(caption, window);
        return;
    }
    for (uint32_t vehicle = 0; vehicle < 3; ++vehicle) {
        Viewport view;
        if (viewOf(v, vehicle, view)) {
            setUpSubView(view);
            drawDriverView(shown, vehicle, readoutBaseline(v), unitsPerPixel(view));
            captionView(caption, view);
        }
    }
    setUpSubView(Viewport{0, 0, settings.width / 2, settings.height / 2}); // the world, bottom left
    drawWorldView(shown, v.followedVehicle);
    drawWorldPlaces(shown, firstLine(false), unitsPerPixel(Viewport{0, 0, settings.width / 2, settings.height / 2}));
    captionView(caption, Viewport{0, 0, settings.width / 2, settings.height / 2});
    if (v.splitLayout == 2) { // the quarter two drivers leave free: the track's map, after every view
        const Viewport free{settings.width / 2, settings.height / 2, settings.width / 2, settings.height / 2};
        useViewport(free);
        drawTrackMap(shown, static_cast<float>(free.width), static_cast<float>(free.height));
    }
    applyPerspective();
}

// A frame's time: the steps real time owes the world, the game time the
// frame brought (steps and parts of a step alike: a replay played slower or
// faster than driven moves on smoothly with it) and its real time.
struct FrameTime {
    int32_t steps;
    double gameSeconds;
    double realSeconds;
};

FrameTime tickFrame(FrameState& frame) {
    tickFrameTimer(frameTimer);
    FrameTime time{};
    time.steps = takeFrameSteps(frame.stepClock, frameTimer.frameCounts, frameTimer.countsPerSecond);
    time.gameSeconds = std::max(0.0, time.steps + stepFraction(frame.stepClock) - frame.clockFraction) / stepsPerSecond;
    frame.clockFraction = stepFraction(frame.stepClock);
    time.realSeconds = frameTimer.countsPerSecond > 0
                           ? static_cast<double>(frameTimer.frameCounts) / frameTimer.countsPerSecond
                           : 0.0;
    return time;
}

} // namespace

void readPads(Game& game) {
    PadReading readings[padCapacity];
    const int count = game.padsOpen ? platformReadGamepads(readings, padCapacity) : 0;
    updateGamepads(gamepads, readings, count, frameTimer.measuredFps > 0 ? 1.0f / frameTimer.measuredFps : 0.0f);
    if (!menuOpen(game.menu)) {
        applyPadViewButtons(gamepads, game.view.worldView, game.view.splitLayout, game.view.followedVehicle);
    }
}

// The picture of the world a fraction of a step past its last step, the
// overlays and the menu over it; the sound of it.
static void composeFrame(Game& game, const World& world, double fraction);

void drawFrame(Game& game, World& world) {
    FrameState& frame = game.frame;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const FrameTime time = tickFrame(frame);
    const int32_t steps = time.steps;
    if (!menuOpen(game.menu)) { // the menu has the keys while it is open
        readLayoutKeys(input, game.view.worldView, game.view.splitLayout);
        readFollowKeys(input, game.view.followedVehicle);
    }
    readPads(game);
    readMenuKeys(game, world, frameTimer.measuredFps);
    readLanKeys(game.lan, game.race, game.view, world, time.realSeconds);
    agePlayLines(time.realSeconds);
    // What the steps kept is written in the background; a write that failed is said.
    for (BackgroundWrites* writes : {&game.replay.writes, &game.race.writes, &game.trial.writes}) {
        for (const std::string& failure : writes->takeFailures()) {
            tellPlayer(failure.c_str(), "Error", MessageIcon::exclamation);
        }
    }
    if (menuOpen(game.menu)) {
        // The world stands still under the menu (the steps real time owed are
        // let go), unless a LAN race goes on: the others do not wait.
        input.clearStepPresses();
        const double stepped = stepFrame(game, world, steps, 0, nullptr);
        composeFrame(game, world, stepped >= 0 ? stepped : frame.drawnFraction);
        return;
    }
    Vehicle placed[vehicleCount];
    std::copy(world.vehicles, world.vehicles + vehicleCount, placed);
    // Each room says what its keys ask for; the mode, as the changes before
    // left it, makes the change or lets it go (a LAN session has its own
    // starts and tracks, the host's, and no replays).
    if (input.dropped[0] != '\0') {
        const std::string dropped = input.dropped;
        input.dropped[0] = '\0';
        changeMode(game, world, ModeChange::playFile, dropped);
    }
    changeMode(game, world, readReplayKeys(game.replay));
    changeMode(game, world, readTrackKeys(game.track, frameTimer.measuredFps));
    changeMode(game, world, readRaceKeys(game.race, world, frameTimer.measuredFps));
    changeMode(game, world, readTrialKeys(game.trial, frameTimer.measuredFps));
    if (movedOutsideAStep(placed, world)) {
        std::copy(world.vehicles, world.vehicles + vehicleCount, frame.stepBefore);
    }
    const bool watching = gameMode(game, world) == GameMode::replay;
    const double fraction = stepFrame(game, world, steps, time.gameSeconds, &game.bindings);
    if (watching) {
        input.clearStepPresses(); // taps while watching drive nothing afterwards
    }
    // The light and H as always, once a frame: H slows the drawing, not the world.
    moveLightAndBurnTime();
    composeFrame(game, world, fraction);
}

static void composeFrame(Game& game, const World& world, double fraction) {
    // Turned off in the menu, the sound goes quiet rather than holding its last note.
    SoundSnapshot sound = frameSound(game.sound, game.view, world);
    sound.volume *= settings.sound ? menuSoundLevel(game.menu) : 0.0f;
    publishSound(sound);
    game.frame.drawnFraction = fraction;
    ShownWorld& shown = game.frame.shown;
    showWorld(shown, world, game.frame.stepBefore, fraction);
    shown.replay = replayShown(game.replay);
    shown.ghost = trialOn(world) && ghostToDraw(game.trial, fraction, shown.ghostVehicle, shown.ghostLook);
    if (!splitShown(game.trial, shown.split, shown.splitAhead) || !trialOn(world)) {
        shown.split[0] = '\0';
    }
    drawViews(shown, game.view, game.track.caption);
    // Each frame sees only the mouse motion and the key presses since the last frame.
    input.clearMouseDeltas();
    input.clearKeyPresses();
    drawPadNotices(shown, game.view);
    // What the game has to say, across the bottom of the window above the
    // frame-rate bar (clear of the results panel), the newest lowest.
    glColor3f(1, 1, 1);
    const size_t said = playLines().size();
    for (size_t i = 0; i < said; ++i) {
        printText(16, settings.height - 40 - static_cast<uint32_t>(24 * (said - 1 - i)), "%s",
                  playLines()[i].text.c_str());
    }
    drawLanOverlays(game.lan, world, 152);
    if (settings.showFps) {
        drawFpsOverlay(frameTimer, settings.width, settings.height);
    }
    if (settings.showSystemInfo) {
        drawSystemInfo(systemInfo);
    }
    drawRaceOverlays(game.race, world); // the results over every line of the views
    drawMenu(game.menu);
    glFlush();
}

void stepUnseenFrame(Game& game, World& world) {
    const FrameTime time = tickFrame(game.frame);
    readLanKeys(game.lan, game.race, game.view, world, time.realSeconds);
    stepFrame(game, world, time.steps, 0, nullptr);
    input.clearStepPresses();
    input.clearKeyPresses();
}

double lastStepFraction(const FrameState& frame) { return frame.drawnFraction; }

void resetFrameSteps(FrameState& frame, const World& world) {
    frame.stepClock = StepClock{};
    frame.drawnFraction = 0;
    frame.clockFraction = 0;
    std::copy(world.vehicles, world.vehicles + vehicleCount, frame.stepBefore);
}
