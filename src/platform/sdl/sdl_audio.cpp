// sdl_audio.cpp -- sound through SDL's audio device: 48 kHz stereo floats
// asked for, SDL converting to whatever the device takes; its own thread calls
// back for every buffer.
#include <SDL2/SDL.h>
#include <dlfcn.h>

#include <cstdio>

#include "platform/platform.h"

namespace {

SDL_AudioDeviceID device = 0;
AudioFill filler = nullptr;

void SDLCALL pull(void*, Uint8* stream, int bytes) {
    filler(reinterpret_cast<float*>(stream), bytes / static_cast<int>(2 * sizeof(float)));
}

void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card ALSA reports the fact on standard error itself, line
// after line, before SDL gives up on it; the game says it once, in its words.
void quietAlsa() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL)) { // stays loaded: SDL shares it
        if (auto setHandler = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"))) {
            setHandler(ignoreAlsa);
        }
    }
}

} // namespace

bool platformOpenAudio(AudioFill fill, float& sampleRate, char (&why)[160]) {
    quietAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::snprintf(why, sizeof why, "%s", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want{}, have{};
    want.freq = 48000;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024; // about 21 ms a buffer
    want.callback = pull;
    filler = fill;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0) {
        std::snprintf(why, sizeof why, "%s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    sampleRate = static_cast<float>(have.freq);
    return true;
}

void platformStartAudio() {
    if (device != 0) {
        SDL_PauseAudioDevice(device, 0);
    }
}

void platformCloseAudio() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device = 0;
    }
}
