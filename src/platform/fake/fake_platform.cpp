// fake_platform.cpp -- the test backend behind platform.h.
#include "platform/fake/fake_platform.h"

#include <cstdio>
#include <cstdlib>

#include "platform/win_messages.h"
#include "platform/sdl/sdl_font.h"

FakePlatform fake;

namespace {
WindowProcedure procedure = nullptr;
void* context = nullptr;
}

std::string FakePlatform::captions() const {
    std::string joined;
    for (const RecordedMessageBox& box : messageBoxes) {
        if (!joined.empty()) {
            joined += '|';
        }
        joined += box.caption;
    }
    return joined;
}

void resetFakePlatform() {
    fake = FakePlatform{};
    procedure = nullptr;
    context = nullptr;
}

int platformOpenWindow(const WindowRequest& request) {
    ++fake.openCalls;
    fake.lastRequest = request;
    procedure = request.procedure;
    context = request.context;
    return fake.openResult;
}

void platformCloseWindow(bool, void (*report)(CloseStep failedStep)) {
    ++fake.closeCalls;
    for (CloseStep step : fake.failingCloseSteps) {
        report(step);
    }
}

bool platformPeekMessage(WindowMessage& message) {
    ++fake.peekCalls;
    if (fake.quitPosted) {
        fake.quitPosted = false;
        message = WindowMessage{WM_QUIT, static_cast<uintptr_t>(fake.quitCode), 0};
        return true;
    }
    if (fake.queue.empty()) {
        if (fake.onIdlePoll) {
            fake.onIdlePoll();
        }
        return false;
    }
    message = fake.queue.front();
    fake.queue.pop_front();
    return true;
}

void platformWaitMessage(uint32_t) {} // scripted messages are there at once

void platformDispatchMessage(const WindowMessage& message) {
    fake.dispatched.push_back(message);
    if (procedure != nullptr) {
        procedure(context, message.message, message.wParam, message.lParam);
    }
}

intptr_t platformDefaultWindowProcedure(uint32_t, uintptr_t, intptr_t) { return -1; }

void platformPostQuitMessage(int exitCode) {
    fake.quitPosted = true;
    fake.quitCode = exitCode;
}

bool platformOpenGamepads() {
    fake.gamepadsOpened = true;
    return true;
}

int platformReadGamepads(PadReading* readings, int capacity) {
    int count = 0;
    for (; count < capacity && count < static_cast<int>(fake.pads.size()); ++count) {
        readings[count] = fake.pads[count];
    }
    return count;
}

void platformCloseGamepads() { fake.gamepadsOpened = false; }

bool platformOpenAudio(AudioFill fill, float& sampleRate, char (&why)[160]) {
    fake.audioFill = fake.audioOpens ? fill : nullptr;
    sampleRate = 48000.0f;
    std::snprintf(why, sizeof why, "the fake has no device");
    return fake.audioOpens;
}

void platformStartAudio() {}

void platformCloseAudio() { fake.audioFill = nullptr; }

void platformSwapBuffers() {
    ++fake.swapCount;
    if (fake.onSwap) {
        fake.onSwap();
    }
}

bool platformDroppedFile(char (&path)[1024]) {
    std::snprintf(path, sizeof path, "%s", fake.droppedFile.c_str());
    return path[0] != '\0';
}

void platformQuietMessages() { fake.quiet = true; }

void platformShowMessage(const char* text, const char* caption, MessageIcon icon) {
    fake.messageBoxes.push_back(RecordedMessageBox{text, caption, icon});
}

bool platformPerformanceFrequency(int64_t& countsPerSecond) {
    countsPerSecond = fake.frequency;
    return fake.frequency != 0;
}

bool platformPerformanceCounter(int64_t& count) {
    count = fake.counter;
    fake.counter += fake.counterStep;
    return true;
}

void* platformGlFunction(const char*) { return nullptr; }

void platformBuildFontLists(uint32_t firstList) {
    if (fake.realFont) {
        buildFreeTypeFontLists(firstList);
    }
}

void platformOsVersion(OsVersion& version) { version = fake.osVersion; }

bool platformWindowsPaths() { return false; }

bool platformSyncFile(std::FILE* file) { return std::fflush(file) == 0; }

void platformReleaseFreeMemory() {}

bool platformReplaceFile(const char* from, const char* to) {
    // A crash (or a refusal) between writing the new file and putting it in place.
    return !fake.failReplace && std::rename(from, to) == 0;
}

bool platformExecutableFolder(char (&folder)[1024]) {
    std::snprintf(folder, sizeof folder, "%s", fake.executableFolder.c_str());
    return !fake.executableFolder.empty();
}
