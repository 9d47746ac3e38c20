// frame_bench.cpp -- frames of the real scene in a real window: the generated
// data set, the SDL backend and the game's own frame, the three vehicles on a
// fixed script of keys. Prints the median and 95th-percentile milliseconds a
// frame and the processor time a frame (all threads) for each layout, the time
// from start to the first frame with each step's share, and the peak resident
// memory; then a one-lap race, blue on its keys, to its end: the frame in which
// the race ends (its replay and blue's record kept) against the median of the
// frames around it. bench/startup.sh measures the real game's start-up from outside. Without a display
// it runs itself again under xvfb-run.
//
//   frame_bench [FRAMES]      (FRAMES measured per layout, default 400)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/bindings.h"
#include "app/game.h"
#include "app/window.h"
#include "common/gl_api.h"
#include "render/render.h"
#include "core/startup_trace.h"
#include "platform/platform.h"
#include "platform/win_messages.h"
#include "render/font.h"
#include "race/driver.h"
#include "render/overlays.h"
#include "scene/scene.h"
#include "vehicle/smoke.h"
#include "vehicle/vehicle.h"
#include "support/scripted_drive.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of the whole process (the GL driver's threads too), in ms: the
// work a frame costs, which moves less with the machine's load than its length.
double processorMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

World& world() {
    static const auto game = std::make_unique<World>();
    return *game;
}

Game& game() {
    static const auto parts = std::make_unique<Game>();
    return *parts;
}

// The script's controls for this step, held on the vehicles' keys.
void holdScriptedKeys(uint32_t step) {
    VehicleControls controls[vehicleCount];
    scriptedControls(step, controls);
    for (int v = 0; v < vehicleCount; ++v) {
        const VehicleKeys& keys = game().bindings.keys[v];
        const VehicleControls& c = controls[v];
        game().input.keys[keys.accelerate] = c.accelerate;
        game().input.keys[keys.reverse] = c.reverse;
        game().input.keys[keys.left] = c.left;
        game().input.keys[keys.right] = c.right;
        game().input.keys[keys.brake] = c.brake;
    }
}

// Blue's keys as the computer would drive it.
void holdDriverKeys(ComputerDriver& driver) {
    const World& w = world();
    const VehicleControls c =
        driveComputer(w.vehicles[0], 0, w.course, w.race.entries[0], driver, 3, obstaclesFor(w, 0));
    const VehicleKeys& keys = game().bindings.keys[0];
    game().input.keys[keys.accelerate] = c.accelerate;
    game().input.keys[keys.reverse] = c.reverse;
    game().input.keys[keys.left] = c.left;
    game().input.keys[keys.right] = c.right;
    game().input.keys[keys.brake] = c.brake;
}

// One frame as the main loop makes it, finished before the clock is read.
void frame() {
    WindowMessage message;
    while (platformPeekMessage(message)) {
        platformDispatchMessage(message);
    }
    drawFrame(game(), world());
    platformSwapBuffers();
    glFinish();
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) {
        execlp("xvfb-run", "xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", argv[0], argc > 1 ? argv[1] : nullptr,
               static_cast<char*>(nullptr));
        std::perror("frame_bench: xvfb-run");
        return 1;
    }
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 400;
    const Clock::time_point start = Clock::now();
    std::filesystem::current_path(MUDLARK_RUN_DIR);
    closeRenderer();
    Settings& settings = game().settings;
    readSettings(settings); // the run folder's: a 1024 x 768 window
    settings.sound = settings.gamepads = false;
    traceStartup(game().startup, "settings");
    if (!openWindow(game())) {
        return 1;
    }
    traceStartup(game().startup, "the window and its GL context");
    initFrameTimer(game().frameTimer, settings.maxFps);
    collectSystemInfo(game().systemInfo);
    buildFont();
    traceStartup(game().startup, "the timer, system and font");
    setUpScene(world(), game().said, game().startup, settings.textureFilter);
    resetFrameSteps(game().frame, world());
    frame();
    endStartupTrace(game().startup);
    std::printf("start-up to the first frame: %.0f ms\n", millisecondsSince(start));
    const StartupTrace& trace = game().startup;
    for (int i = 0; i < trace.count; ++i) {
        std::printf("  %-36s %6.1f ms\n", trace.noted[i].name, trace.noted[i].milliseconds);
    }

    const struct {
        const char* name;
        uint8_t key;
    } layouts[] = {{"one driver (Insert)", VK_INSERT}, {"two drivers + world (Home)", VK_HOME},
                   {"three drivers + world (Delete)", VK_DELETE}, {"world (End)", VK_END}};
    for (const auto& layout : layouts) {
        returnToStart(world()); // every layout from the start line
        game().input.pressed[layout.key] = 1;
        std::vector<double> times;
        double processorStart = 0;
        for (int i = -60; i < frames; ++i) { // a second to warm up, then measured
            if (i == 0) {
                processorStart = processorMilliseconds();
            }
            holdScriptedKeys(world().steps);
            const Clock::time_point begun = Clock::now();
            frame();
            if (i >= 0) {
                times.push_back(millisecondsSince(begun));
            }
        }
        const double processor = (processorMilliseconds() - processorStart) / frames;
        std::sort(times.begin(), times.end());
        std::printf("%-32s median %6.2f ms   p95 %6.2f ms   processor %6.2f ms\n", layout.name,
                    times[times.size() / 2], times[times.size() * 95 / 100], processor);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld MiB\n", usage.ru_maxrss / 1024);
    if (frames >= 100) { // a whole race: not in the test command's short run
        char folder[] = "/tmp/mudlark-bench-XXXXXX";
        if (mkdtemp(folder) != nullptr) {
            setenv("XDG_DATA_HOME", folder, 1); // the replay and the record go here
            game().input.pressed[VK_INSERT] = 1;
            returnToStart(world());
            settings.laps = 1;
            startRaceNow(game().race, world(), settings, game().said);
            ComputerDriver driver{};
            std::vector<double> times;
            size_t endedAt = 0;
            for (int i = 0; i < 60 * 300 && (endedAt == 0 || times.size() < endedAt + 60); ++i) {
                holdDriverKeys(driver);
                const RacePhase before = world().race.phase;
                const Clock::time_point begun = Clock::now();
                frame();
                times.push_back(millisecondsSince(begun));
                endedAt = endedAt == 0 && before == RacePhase::racing && world().race.phase == RacePhase::results
                              ? times.size() - 1
                              : endedAt;
            }
            game().race.writes.finish();
            game().replay.writes.finish();
            if (endedAt >= 60) {
                std::vector<double> around(times.begin() + static_cast<std::ptrdiff_t>(endedAt - 60), times.end());
                std::sort(around.begin(), around.end());
                std::printf("the frame a race ends in %6.2f ms, the median of the %zu around it %6.2f ms\n",
                            times[endedAt], around.size(), around[around.size() / 2]);
                std::printf("  the frames before and after it:");
                for (size_t f = endedAt - 3; f <= endedAt + 3; ++f) {
                    std::printf(" %.1f", times[f]);
                }
                std::printf(" ms\n");
            }
            std::filesystem::remove_all(folder);
        }
    }
    deleteFont();
    closeWindow(game());
    return 0;
}
