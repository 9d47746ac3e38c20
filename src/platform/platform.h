// platform.h -- everything the game needs from the operating system.
// Exactly one backend defines these: sdl/ on Linux, win32/ on Windows, web/ in a
// browser, fake/ in tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// One window message in Windows terms (see win_messages.h beside this file).
struct WindowMessage {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// The game's window procedure; the backend hands every message of the window
// to it, with the context the window was opened with (the game it belongs to).
using WindowProcedure = intptr_t (*)(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam);

// What the game asks of its window and GL context.
struct WindowRequest {
    const char* title;
    uint32_t width;      // client area, pixels; also the full-screen mode
    uint32_t height;
    uint32_t colorBits;  // colour depth of the mode and of the pixel format
    bool fullscreen;
    bool showCursor;     // in full screen only; a window always shows it
    WindowProcedure procedure;
    void* context;       // handed back to the procedure with every message
    bool shaders;        // a context for the OpenGL ES 2 renderer (SDL: an ES 2 context)
};

// Opens the window and makes its GL context current. Returns 0, or the failure
// site: -1 no window class / video, -2 full-screen mode refused, -3 no window,
// -4 no device context, -5 no suitable pixel format, -6 pixel format refused,
// -7 no GL context, -8 the context cannot be made current. Shows no message.
int platformOpenWindow(const WindowRequest& request);

// The release steps of closing the window, in the order they run.
enum class CloseStep { releaseContext, deleteContext, releaseDeviceContext, destroyWindow, unregisterClass };

// Restores the desktop mode if full screen, then runs every release step, even
// after a failed one, calling report for each step that fails. Safe to call
// with any part of the window made.
void platformCloseWindow(bool fullscreen, void (*report)(CloseStep failedStep));

// Takes one message off the queue (PeekMessage with PM_REMOVE); false when none waits.
// After platformPostQuitMessage the next call yields WM_QUIT with the exit code in wParam.
bool platformPeekMessage(WindowMessage& message);

// Sleeps until a message waits on the queue or the milliseconds have passed
// (it may wake sooner): the loop's rest while the window is minimised, so that
// a hidden game takes no processor.
void platformWaitMessage(uint32_t milliseconds);

// Hands a message from platformPeekMessage to the window procedure.
void platformDispatchMessage(const WindowMessage& message);

// The system's handling of a message the window procedure does not take.
intptr_t platformDefaultWindowProcedure(uint32_t message, uintptr_t wParam, intptr_t lParam);

// Asks the queue to deliver WM_QUIT with this code.
void platformPostQuitMessage(int exitCode);

// Game-controller buttons as the backends report them; any other bit is ignored.
enum PadButton : uint32_t {
    padSouth = 1u << 0,     // A / Cross: accelerate
    padEast = 1u << 1,      // B / Circle: brake
    padWest = 1u << 2,      // X / Square: reverse
    padBack = 1u << 3,      // Back / Select: follow this pad's vehicle
    padStart = 1u << 4,     // Start: the next layout
    padDpadLeft = 1u << 5,
    padDpadRight = 1u << 6,
    padNorth = 1u << 7,     // Y / Triangle: start a race
    padRightShoulder = 1u << 8, // RB / R1: the next track
    padDpadUp = 1u << 9,    // up and down: the menu's lines
    padDpadDown = 1u << 10,
    padLeftShoulder = 1u << 11, // LB / L1: the menu
    padRightStick = 1u << 12,   // the right stick pressed in (R3): rescue
    padKnownButtons = (1u << 13) - 1,
};

// One connected pad as read in one frame.
struct PadReading {
    uint32_t handle;     // tells the pads apart while they stay connected
    uint64_t identity;   // the same for the same pad after it is plugged in again
    float stickX;        // left stick, -1 full left .. 1 full right
    float leftTrigger;   // 0 .. 1
    float rightTrigger;  // 0 .. 1
    uint32_t buttons;    // PadButton bits
};

// Game controllers. Open starts the controller support (false where there is
// none: the game plays with keys only and says nothing); Read fills up to
// capacity readings of the pads connected now, noticing pads plugged in or
// pulled out since the last call, and returns how many; Close lets them go.
bool platformOpenGamepads();
int platformReadGamepads(PadReading* readings, int capacity);
void platformCloseGamepads();

// Sound output. Open readies the default device for interleaved stereo floats
// in -1 .. 1, paused, and gives its sample rate; false (why says why, in a
// line) where there is none or it refuses. Start has the platform's own audio
// thread pull frames from fill from then on; Close stops it and lets the
// device go, never waiting on a stuck device for long.
using AudioFill = void (*)(float* stereo, int frames);
bool platformOpenAudio(AudioFill fill, float& sampleRate, char (&why)[160]);
void platformStartAudio();
void platformCloseAudio();

// Windows keeps the user's files under %APPDATA% (true); other systems follow
// the freedesktop folders.
bool platformWindowsPaths();

// File names and the environment in UTF-8 on every system (Windows is given
// them as UTF-16, so that no name outside its code page is lost). Open: as
// fopen, null where it cannot. Environment: the variable's value, "" where it
// is not set. The process id tells two games on one machine apart.
std::FILE* platformOpenFile(const char* path, const char* mode);
std::string platformEnvironment(const char* name);
uint32_t platformProcessId();

// Files the game writes. Sync: everything written to the open file is on the
// disk before it returns (false if it could not be). Replace: from takes the
// place of to in one step, whether or not to exists; false if it could not.
bool platformSyncFile(std::FILE* file);
bool platformReplaceFile(const char* from, const char* to);

// Gives the memory the heap holds free back to the system: for the moments a
// pause of a millisecond goes unseen (a track loaded, a race over). A game
// left running all evening otherwise keeps the gaps its loads left behind.
void platformReleaseFreeMemory();

// The folder of the running executable, without a trailing separator; false
// where it cannot be told.
bool platformExecutableFolder(char (&folder)[1024]);

// Presents the frame drawn into the back buffer.
void platformSwapBuffers();

// The file of the last WM_DROPFILES (a file dropped on the window); false and
// "" when none came.
bool platformDroppedFile(char (&path)[1024]);

enum class MessageIcon { none, exclamation, information };

// From now on no box is shown: its caption and text go to standard error (a
// run without a window must never wait on one).
void platformQuietMessages();

// A modal box with an OK button and no owner window (text and caption in
// UTF-8). The message also goes to standard error as "caption: text", so that
// it is kept where no box can be shown and in a terminal's or a log's record.
void platformShowMessage(const char* text, const char* caption, MessageIcon icon);

// The high-resolution counter: counts per second (false if there is none) and
// the current count.
bool platformPerformanceFrequency(int64_t& countsPerSecond);
bool platformPerformanceCounter(int64_t& count);

// Compiles the bold 16-pixel Courier-style font into the 96 display lists from
// firstList on: list firstList + i draws character 32 + i with glBitmap and
// advances the raster position by its width. Needs the current GL context.
// Without a usable font the lists stay empty.
void platformBuildFontLists(uint32_t firstList);

// A GL call of the current context by name (those past OpenGL 1.1 too), or
// null where the context has none.
void* platformGlFunction(const char* name);

// The operating system's identity for the system-information line.
constexpr uint32_t osPlatformWin32s = 0;
constexpr uint32_t osPlatformWindows9x = 1;
constexpr uint32_t osPlatformWindowsNt = 2;
constexpr uint32_t osPlatformLinux = 0x4C4E5800; // not a Windows value
constexpr uint32_t osPlatformBrowser = 0x57454200; // nor this: a browser page

struct OsVersion {
    uint32_t platformId;
    int32_t majorVersion;
    int32_t minorVersion;
    int32_t buildNumber;
};

void platformOsVersion(OsVersion& version);
