// fake_platform.h -- a scripted platform for tests: queued messages, a settable
// counter, recorded message boxes, a window that opens or fails on request.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

struct RecordedMessageBox {
    std::string text;
    std::string caption;
    MessageIcon icon;
};

struct FakePlatform {
    // What platformOpenWindow returns, and the request it last saw.
    int openResult = 0;
    WindowRequest lastRequest{};
    int openCalls = 0;
    int closeCalls = 0;
    // Release steps that report failure when the window is closed.
    std::vector<CloseStep> failingCloseSteps;

    // Messages handed out by platformPeekMessage, oldest first.
    std::deque<WindowMessage> queue;
    bool quitPosted = false;
    int quitCode = 0;
    int peekCalls = 0;
    std::vector<WindowMessage> dispatched;

    int64_t frequency = 1000000;
    int64_t counter = 0;
    int64_t counterStep = 0;  // added to counter after every read

    int swapCount = 0;
    // Called after every swap: tests script the run from here.
    std::function<void()> onSwap;
    // Called on every poll that finds the queue empty (before the loop acts on it).
    std::function<void()> onIdlePoll;

    // The pads connected now; gamepadsOpened tells whether the game asked for them.
    std::vector<PadReading> pads;
    bool gamepadsOpened = false;

    // Whether the audio opens (false: no device), and the fill it was given.
    bool audioOpens = true;
    AudioFill audioFill = nullptr;

    // Where the game believes it was started from ("": it cannot tell).
    std::string executableFolder;
    // Whether putting a written file in its place fails, as a crash there would leave it.
    bool failReplace = false;

    std::vector<RecordedMessageBox> messageBoxes; // shown, or (quiet) written to standard error
    bool quiet = false;
    std::string droppedFile; // what platformDroppedFile gives
    // Whether platformBuildFontLists builds the real FreeType glyphs.
    bool realFont = true;
    OsVersion osVersion{osPlatformLinux, 6, 1, 0};

    // Every message box caption, in order, joined by '|' (handy in assertions).
    std::string captions() const;
};

extern FakePlatform fake;

// Back to a fresh fake.
void resetFakePlatform();
