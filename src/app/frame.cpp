// frame.cpp -- composes each frame: timer, keys, as many steps of the world as
// real time owes it, the views of the current layout (the vehicles drawn
// between the last two steps), then the overlays.
#include "app/frame.h"

#include <algorithm>
#include <string>

#include "core/play_lines.h"
#include "platform/win_messages.h"
#include "render/render.h"
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
    viewport(static_cast<int32_t>(v.x), static_cast<int32_t>(v.y), static_cast<int32_t>(v.width), static_cast<int32_t>(v.height));
}

void captionView(const TrackCaption& caption, WindowSize window, const Viewport& v) {
    drawTrackCaption(caption, window, static_cast<int32_t>(v.x), static_cast<int32_t>(v.y), static_cast<int32_t>(v.width),
                     static_cast<int32_t>(v.height));
}

void setUpSubView(const Viewport& v, WindowSize window) {
    useViewport(v);
    applyViewPerspective(window);
}

bool viewOf(const Game& game, uint32_t vehicle, Viewport& viewport) {
    const ViewState& v = game.view;
    return driverViewport(vehicle, v.worldView, v.splitLayout, v.followedVehicle, game.window.width, game.window.height,
                          viewport);
}

// A view's first line of text sits 64 pixels down. The system information's
// three lines (down to 60) share the corner of a view that fills the window:
// there it moves a line lower, and what sits under it with it.
uint32_t firstLine(const Game& game, bool fillsWindow) { return game.settings.showSystemInfo && fillsWindow ? 84 : 64; }
uint32_t readoutBaseline(const Game& game) {
    return firstLine(game, !game.view.worldView && game.view.splitLayout <= 1);
}

// The window units one screen pixel spans in a view: 1 in the whole window, 2
// in a quarter (the overlay stretches the window's units over the viewport).
float unitsPerPixel(WindowSize window, const Viewport& view) {
    return view.height > 0 ? static_cast<float>(window.height) / static_cast<float>(view.height) : 1.0f;
}

// "pad 1: blue", "pad 1 gone": under the readout of the view that shows the
// vehicle concerned, or of the whole window where no view shows it.
void drawPadNotices(const ShownWorld& shown, const Game& game) {
    const WindowSize window = game.window;
    uint32_t lines[8] = {}; // notices so far in each viewport: the window and its quarters
    colour(1, 1, 1);
    for (const Gamepads::Notice& notice : game.pads.notices) {
        if (notice.secondsLeft <= 0) {
            continue;
        }
        Viewport view{0, 0, window.width, window.height};
        if (notice.vehicle >= 0) {
            viewOf(game, static_cast<uint32_t>(notice.vehicle), view);
        }
        const uint32_t place = (view.x != 0 ? 1 : 0) + (view.y != 0 ? 2 : 0) + (view.width < window.width ? 4 : 0);
        // Under a race's three lines, in a view that shows them.
        const bool raceLines = shown.world->race.phase != RacePhase::off && notice.vehicle >= 0 && !game.view.worldView;
        const float below = raceLines ? 60 * unitsPerPixel(window, view) : 0;
        useViewport(view);
        printText(window, 16, readoutBaseline(game) + 40 + static_cast<uint32_t>(below) + 24 * lines[place]++, "%s",
                  notice.text);
    }
}

void drawViews(const ShownWorld& shown, const Game& game) {
    const ViewState& v = game.view;
    const TrackCaption& caption = game.track.caption;
    const WindowSize size = game.window;
    const Viewport window{0, 0, size.width, size.height};
    if (v.worldView) {
        setUpSubView(window, size);
        drawWorldView(shown);
        drawWorldPlaces(shown, firstLine(game, true), 1.0f);
        captionView(caption, size, window);
        applyPerspective(size);
        return;
    }
    if (v.splitLayout == 1) {
        applyPerspective(size);
        drawDriverView(shown, v.followedVehicle, readoutBaseline(game), 1.0f);
        captionView(caption, size, window);
        return;
    }
    for (uint32_t vehicle = 0; vehicle < 3; ++vehicle) {
        Viewport view;
        if (viewOf(game, vehicle, view)) {
            setUpSubView(view, size);
            drawDriverView(shown, vehicle, readoutBaseline(game), unitsPerPixel(size, view));
            captionView(caption, size, view);
        }
    }
    const Viewport quarter{0, 0, size.width / 2, size.height / 2};
    setUpSubView(quarter, size); // the world, bottom left
    drawWorldView(shown);
    drawWorldPlaces(shown, firstLine(game, false), unitsPerPixel(size, quarter));
    captionView(caption, size, quarter);
    if (v.splitLayout == 2) { // the quarter two drivers leave free: the track's map, after every view
        const Viewport free{size.width / 2, size.height / 2, size.width / 2, size.height / 2};
        useViewport(free);
        drawTrackMap(shown, static_cast<float>(free.width), static_cast<float>(free.height));
    }
    applyPerspective(size);
}

// A frame's time: the steps real time owes the world, the game time the
// frame brought (steps and parts of a step alike: a replay played slower or
// faster than driven moves on smoothly with it) and its real time.
struct FrameTime {
    int32_t steps;
    double gameSeconds;
    double realSeconds;
};

FrameTime tickFrame(FrameState& frame, FrameTimer& frameTimer) {
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
    const uint32_t rate = game.frameTimer.measuredFps;
    updateGamepads(game.pads, readings, count, rate > 0 ? 1.0f / rate : 0.0f);
    if (!menuOpen(game.menu)) {
        applyPadViewButtons(game.pads, game.view.worldView, game.view.splitLayout, game.view.followedVehicle);
    }
}

// The picture of the world a fraction of a step past its last step, the
// overlays and the menu over it; the sound of it.
static void composeFrame(Game& game, const World& world, double fraction);

void drawFrame(Game& game, World& world) {
    FrameState& frame = game.frame;
    clearFrame();
    const FrameTime time = tickFrame(frame, game.frameTimer);
    const uint32_t frameRate = game.frameTimer.measuredFps;
    InputState& input = game.input;
    const int32_t steps = time.steps;
    if (!menuOpen(game.menu)) { // the menu has the keys while it is open
        readLayoutKeys(input, game.view.worldView, game.view.splitLayout);
        readFollowKeys(input, game.view.followedVehicle);
    }
    readPads(game);
    readMenuKeys(game, world, frameRate);
    readLanKeys(game.lan, game.race, game.view, world, game.settings, game.said, input, time.realSeconds);
    agePlayLines(game.said, time.realSeconds);
    // What the steps kept is written in the background; a write that failed is said.
    for (BackgroundWrites* writes : {&game.replay.writes, &game.race.writes, &game.trial.writes}) {
        for (const std::string& failure : writes->takeFailures()) {
            tellPlayer(game.said, failure.c_str(), "Error", MessageIcon::exclamation);
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
    changeMode(game, world, readReplayKeys(game.replay, input));
    changeMode(game, world, readTrackKeys(game.track, input, game.pads, frameRate));
    changeMode(game, world, readRaceKeys(game.race, input, game.pads, world, frameRate));
    changeMode(game, world, readTrialKeys(game.trial, input, frameRate));
    if (movedOutsideAStep(placed, world)) {
        std::copy(world.vehicles, world.vehicles + vehicleCount, frame.stepBefore);
    }
    const bool watching = gameMode(game, world) == GameMode::replay;
    const double fraction = stepFrame(game, world, steps, time.gameSeconds, &game.bindings);
    if (watching) {
        input.clearStepPresses(); // taps while watching drive nothing afterwards
    }
    // The light and H as always, once a frame: H slows the drawing, not the world.
    moveLight(game.view.light, input);
    if (input.isDown(letterKey('H'))) {
        burnSlowDownTime();
    }
    composeFrame(game, world, fraction);
}

static void composeFrame(Game& game, const World& world, double fraction) {
    // Turned off in the menu, the sound goes quiet rather than holding its last note.
    const Settings& settings = game.settings;
    // The world camera turns toward the followed vehicle as drawn, and hears from there.
    ShownWorld& shown = game.frame.shown;
    showWorld(shown, world, game.frame.stepBefore, fraction);
    const uint32_t followed = game.view.followedVehicle < vehicleCount ? game.view.followedVehicle : 0;
    aimWorldCamera(game.view.camera, shown.vehicles[followed].position);
    SoundSnapshot sound = frameSound(game.sound, game.view, world, settings.volume);
    sound.volume *= settings.sound ? menuSoundLevel(game.menu) : 0.0f;
    publishSound(sound);
    game.frame.drawnFraction = fraction;
    shown.camera = game.view.camera;
    std::copy(game.view.light, game.view.light + 4, shown.light);
    shown.window = game.window;
    shown.replay = replayShown(game.replay);
    shown.ghost = trialOn(world) && ghostToDraw(game.trial, fraction, shown.ghostVehicle, shown.ghostLook);
    if (!splitShown(game.trial, shown.split, shown.splitAhead) || !trialOn(world)) {
        shown.split[0] = '\0';
    }
    drawViews(shown, game);
    // Each frame sees only the mouse motion and the key presses since the last frame.
    game.input.clearMouseDeltas();
    game.input.clearKeyPresses();
    drawPadNotices(shown, game);
    // What the game has to say, across the bottom of the window above the
    // frame-rate bar (clear of the results panel), the newest lowest.
    colour(1, 1, 1);
    const WindowSize window = game.window;
    const std::vector<PlayLine>& lines = game.said.lines;
    for (size_t i = 0; i < lines.size(); ++i) {
        printText(window, 16, window.height - 40 - static_cast<uint32_t>(24 * (lines.size() - 1 - i)), "%s",
                  lines[i].text.c_str());
    }
    drawLanOverlays(game.lan, world, window, 152);
    if (settings.showFps) {
        drawFpsOverlay(game.frameTimer, window);
    }
    if (settings.showSystemInfo) {
        drawSystemInfo(game.systemInfo, window);
    }
    drawRaceOverlays(game.race, world, window); // the results over every line of the views
    drawMenu(game);
    flushFrame();
}

void stepUnseenFrame(Game& game, World& world) {
    const FrameTime time = tickFrame(game.frame, game.frameTimer);
    readLanKeys(game.lan, game.race, game.view, world, game.settings, game.said, game.input, time.realSeconds);
    stepFrame(game, world, time.steps, 0, nullptr);
    game.input.clearStepPresses();
    game.input.clearKeyPresses();
}

double lastStepFraction(const FrameState& frame) { return frame.drawnFraction; }

void resetFrameSteps(FrameState& frame, const World& world) {
    frame.stepClock = StepClock{};
    frame.drawnFraction = 0;
    frame.clockFraction = 0;
    std::copy(world.vehicles, world.vehicles + vehicleCount, frame.stepBefore);
}
