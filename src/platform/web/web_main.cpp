// web_main.cpp -- the program's entry in a browser page: the game started
// (the player's files are back from IndexedDB before main runs, see
// web_files.js), then its loop run a pass at a time: on each of the
// browser's animation frames, the messages that came in and one frame.
#include <emscripten.h>

#include <memory>

#include "app/game.h"
#include "app/main_loop.h"

namespace {

struct Page {
    std::unique_ptr<Game> game;
    std::unique_ptr<World> world;
};

Page page;

// The page says the game has ended (Escape, or a start that failed).
void stop(int exitCode) {
    emscripten_cancel_main_loop();
    EM_ASM({ if (Module.gameEnded) Module.gameEnded($0); }, exitCode);
}

void animationFrame() {
    GamePass pass = GamePass::message;
    while (pass == GamePass::message) {
        pass = runGamePass(*page.game, *page.world);
    }
    if (pass == GamePass::ended) {
        stop(endGame(*page.game, *page.world));
    }
}

} // namespace

int main(int argc, char** argv) {
    page.game = std::make_unique<Game>();
    page.world = std::make_unique<World>();
    const int exitCode = startGame(*page.game, *page.world, argc, argv);
    if (exitCode >= 0) {
        stop(exitCode);
        return exitCode;
    }
    emscripten_set_main_loop(animationFrame, 0, 0);
    return 0;
}
