// sound.h -- the game's sound output: opened once after the window, fed a
// snapshot of the vehicles every frame, heard through the platform's
// own audio thread. The frame never waits for the audio beyond one copy.
#pragma once

#include "audio/synth.h"

// Opens the platform's audio. Without a device that opens the game plays on
// silently, with one line on standard error saying why. False then.
bool startSound();

// Stops the audio thread and closes the device; safe to call when not started.
void stopSound();

// Hands the audio thread the vehicles as they are now (a copy under a lock held
// for nothing longer).
void publishSound(const SoundSnapshot& snapshot);
