// game_harness.h -- end-to-end tests: an Xvfb of the test's own, the built game
// started in a scratch folder, real input through XTEST (xdotool), pictures
// read back.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

// Pixels inside [x0, x1) x [y0, y1), top-down rows; x1 or y1 below 0: to the edge.
struct Area {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;
};

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // top-down rows, 3 bytes a pixel

    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    int count(Area area, const std::function<bool(const uint8_t*, int x)>& test) const;
    // Pixels of the area where the pictures differ by more than tolerance in a channel.
    int countDifferences(const Image& other, int tolerance = 8, Area area = {}) const;
    // Pixels of the area within tolerance of a colour.
    int countColour(uint8_t r, uint8_t g, uint8_t b, int tolerance = 8, Area area = {}) const;
    int grey(Area area) const { return countColour(128, 128, 128, 0, area); } // the clear colour: sky
    int distinctColours() const; // up to 4096
    // The right edge of the pure white pixels (text) in an area; -1 if none.
    int rightmostWhite(Area area) const;
};

// A binary PPM (P6, 8 bits), as the browser tests' screenshots come; an empty
// picture when the file is not one.
Image readPpm(const std::string& path);

class XServer {
public:
    // windowManager: openbox manages the windows (minimising needs one).
    explicit XServer(int width = 1280, int height = 1024, bool windowManager = false);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool ok() const { return display_ != nullptr; }
    const std::string& name() const { return name_; }
    // Mapped windows whose title contains text.
    std::vector<Window> findWindows(const std::string& text) const;
    // Waits up to timeoutMs for a window titled exactly title; 0 if none came.
    Window waitForWindow(const std::string& title, int timeoutMs = 60000) const;
    std::string title(Window window) const;
    Image capture(Window window) const;
    // Captures until done(picture) holds or timeoutMs pass; the last picture either
    // way. Waits on the game go through here: a busy machine makes them longer, not wrong.
    Image waitForPicture(Window window, const std::function<bool(const Image&)>& done,
                         int timeoutMs = 30000) const;
    // A held demo's picture: a quarter of it unlike start, and then the same
    // for two seconds (however slowly a busy machine draws up to it).
    Image waitForHeldPicture(Window window, const Image& start, int timeoutMs = 90000) const;
    bool xdotool(const std::string& arguments) const;
    // Down and up at once, as automation and remote desktops send keys.
    bool tapKey(const std::string& key) const { return xdotool("key " + key); }
    bool focus(Window window) const;
    // What a window manager's close button sends: WM_DELETE_WINDOW.
    void requestClose(Window window) const;
    // Presses OK (Return) on the box with this caption until it goes; false if
    // no such box came, or it stayed.
    bool dismissMessageBox(const std::string& caption, int timeoutMs = 60000) const;

private:
    std::string property(Window window, const char* name) const;
    pid_t pid_ = -1;
    pid_t windowManager_ = -1;
    std::string name_;
    Display* display_ = nullptr;
};

// Which build of the game to start, and how.
struct GameProgram {
    std::vector<std::string> command = {std::string(MUDLARK_RUN_DIR) + "/mudlark"}; // program and arguments
    std::string dataFolder = MUDLARK_RUN_DIR; // where its Models, Tracks and Textures are
    // Extra NAME=value settings; SDL's silent audio driver unless a test asks
    // for another, so no test depends on this machine's sound card.
    std::vector<std::string> environment = {"SDL_AUDIODRIVER=dummy"};
    std::string folderName; // the game's folder by this name inside the scratch folder ("": the scratch folder)
};

class Game {
public:
    // A scratch folder with the data (less the relative paths in leaveOut) and,
    // unless settingsText is null, a settings.cfg with that text.
    Game(const XServer& server, const char* settingsText, const std::vector<std::string>& leaveOut = {},
         const GameProgram& program = {});
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    const std::string& folder() const { return path_; }
    pid_t pid() const { return pid_; }
    bool start();
    // Starts the game and waits for its window ("OpenGL"): 0 if either failed.
    Window launch(int timeoutMs = 60000) { return start() ? server_.waitForWindow("OpenGL", timeoutMs) : 0; }
    // Processor time the game has used so far (every thread), in seconds.
    double processorSeconds() const;
    // The exit code, or -1 on a timeout or a crash.
    int waitForExit(int timeoutMs = 60000);
    bool running();
    std::string errorOutput() const { return readFileBytes(path_ + "/stderr.txt"); }

private:
    const XServer& server_;
    GameProgram program_;
    TempDir folder_;
    std::string path_; // the game's folder
    pid_t pid_ = -1;
    int exitCode_ = -1;
};

void sleepMs(int ms);
