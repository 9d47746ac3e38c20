// sound.cpp -- the snapshot handed from the frame to the audio thread.
#include "audio/sound.h"

#include <cstdio>
#include <mutex>

#include "platform/platform.h"

namespace {

std::mutex mailboxLock;
SoundSnapshot mailbox{};
Synth synth; // the audio thread's alone once started
bool started = false;

// On the platform's audio thread.
void fill(float* stereo, int frames) {
    SoundSnapshot now;
    {
        std::lock_guard<std::mutex> hold(mailboxLock);
        now = mailbox;
    }
    synthesise(synth, now, stereo, frames);
}

} // namespace

bool startSound() {
    if (started) {
        return true;
    }
    float sampleRate = 0;
    char why[160] = "";
    if (!platformOpenAudio(fill, sampleRate, why)) {
        std::fprintf(stderr, "Mudlark plays without sound: %s\n", why[0] != '\0' ? why : "no audio device");
        std::fflush(stderr);
        return false;
    }
    resetSynth(synth, sampleRate); // before the audio thread first asks for samples
    platformStartAudio();
    started = true;
    return true;
}

void stopSound() {
    if (started) {
        platformCloseAudio();
        started = false;
    }
}

void publishSound(const SoundSnapshot& snapshot) {
    std::lock_guard<std::mutex> hold(mailboxLock);
    mailbox = snapshot;
}
