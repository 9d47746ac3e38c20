// game_harness.h -- end-to-end tests: an Xvfb of the test's own, the built game
// started in a scratch folder, real input through XTEST (xdotool), screenshots.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // top-down rows, 3 bytes a pixel

    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    bool empty() const { return width == 0; }
    // Saves as binary PPM (for looking at a failed test's screen).
    void savePpm(const std::string& path) const;
    // Number of pixels that differ from other's by more than tolerance in any channel.
    int countDifferences(const Image& other, int tolerance = 8, int x0 = 0, int y0 = 0, int x1 = -1,
                         int y1 = -1) const;
    // How many pixels of a rectangle are close to this colour.
    int countColour(uint8_t r, uint8_t g, uint8_t b, int tolerance = 8, int x0 = 0, int y0 = 0,
                    int x1 = -1, int y1 = -1) const;
    // How many different colours (8-bit per channel) the picture holds, up to a cap.
    int distinctColours(int cap = 4096) const;
};

class XServer {
public:
    // A virtual screen of this size; with windowManager, openbox manages its
    // windows (title bars, minimising, focus) as a desktop would.
    explicit XServer(int width = 1280, int height = 1024, bool windowManager = false);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool ok() const { return display_ != nullptr; }
    const std::string& name() const { return name_; }
    Display* display() const { return display_; }

    // Windows whose title contains text (WM_NAME or _NET_WM_NAME), in stacking order.
    std::vector<Window> findWindows(const std::string& text) const;
    // Waits up to timeoutMs for a window whose title equals title; 0 if none came.
    Window waitForWindow(const std::string& title, int timeoutMs) const;
    std::string title(Window window) const;
    // Client area size and its position on the screen.
    bool geometry(Window window, int& x, int& y, int& width, int& height) const;
    Image capture(Window window) const;
    // Captures window until done(picture) holds or timeoutMs pass; the last
    // picture either way. Every wait on the game's frames goes through here, so
    // a slow or busy machine only makes the wait longer, never wrong.
    Image waitForPicture(Window window, const std::function<bool(const Image&)>& done,
                         int timeoutMs = 30000) const;
    // Waits for a frame that differs from before by more than minimumPixels.
    Image waitForChange(Window window, const Image& before, int minimumPixels = 0,
                        int timeoutMs = 30000) const;

    // Runs xdotool with these arguments against this server; true on success.
    bool xdotool(const std::string& arguments) const;
    // Holds a key down for holdMs through XTEST, as a player's finger would.
    bool pressKey(const std::string& key, int holdMs = 150) const;
    // Presses and releases a key at once, as automation and remote desktops do.
    bool tapKey(const std::string& key) const;
    // Gives window the keyboard focus (input then goes through XTEST, unaddressed).
    bool focus(Window window) const;
    // What a window manager's close button does: WM_DELETE_WINDOW to the window.
    void requestClose(Window window) const;
    // Finds the message box with this caption and presses its OK (Return) until
    // it goes away. False if no such box appeared, or stayed, within timeoutMs.
    bool dismissMessageBox(const std::string& caption, int timeoutMs = 60000) const;

private:
    pid_t pid_ = -1;
    pid_t windowManager_ = -1;

    void startWindowManager();
    std::string name_;
    Display* display_ = nullptr;
};

// Which build of the game to start, and how.
struct GameProgram {
    std::vector<std::string> command;   // program and arguments
    std::string dataFolder;             // where its Models, Tracks and Textures are
    std::vector<std::string> environment; // extra NAME=value settings

    // The Linux build in the run folder.
    static GameProgram native();
};

class Game {
public:
    // A scratch folder holding the run folder's data and, unless settingsText is
    // null, a settings.cfg with that text.
    explicit Game(const XServer& server, const char* settingsText,
                  const std::vector<std::string>& dataToLeaveOut = {},
                  const GameProgram& program = GameProgram::native());
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    const std::string& folder() const { return folder_; }
    // Starts the game; false if it could not be started.
    bool start();
    // Starts the game and waits for its window: 0 if either failed.
    Window launch(int timeoutMs = 60000);
    // Waits for the main window (titled "OpenGL"); 0 if it did not come.
    Window waitForWindow(int timeoutMs = 60000);
    Window window() const { return window_; }
    // Waits for the game to end; its exit code, or -1 on a timeout or a crash.
    int waitForExit(int timeoutMs = 60000);
    bool running();
    std::string errorOutput() const;
    // CPU time, in clock ticks, that the game's threads other than its main
    // thread have used: the GL driver's rasterising threads, busy only while
    // frames are drawn. -1 if it cannot be read.
    long drawingThreadTicks() const;

private:
    const XServer& server_;
    GameProgram program_;
    std::string folder_;
    pid_t pid_ = -1;
    int exitCode_ = -1;
    Window window_ = 0;
};

void sleepMs(int ms);
