// win32_audio.cpp -- sound through waveOut (winmm.dll, part of Windows): 44.1 kHz
// 16-bit stereo in four buffers of about 23 ms, kept full by a thread of our own
// that wakes whenever the device hands one back.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>

#include "platform/platform.h"

namespace {

constexpr int bufferCount = 4;
constexpr int bufferFrames = 1024;
constexpr DWORD outputRate = 44100;

HWAVEOUT output = nullptr;
HANDLE bufferReturned = nullptr;
WAVEHDR headers[bufferCount];
int16_t samples[bufferCount][bufferFrames * 2];
std::thread worker;
std::atomic<bool> playing{false};
AudioFill filler = nullptr;

void queue(WAVEHDR& header, int16_t* pcm) {
    float mix[bufferFrames * 2];
    filler(mix, bufferFrames);
    for (int i = 0; i < bufferFrames * 2; ++i) {
        pcm[i] = static_cast<int16_t>(std::lrint(std::clamp(mix[i], -1.0f, 1.0f) * 32767.0f));
    }
    waveOutWrite(output, &header, sizeof header);
}

void play() {
    for (int b = 0; b < bufferCount; ++b) {
        queue(headers[b], samples[b]);
    }
    while (playing) {
        WaitForSingleObject(bufferReturned, 100);
        for (int b = 0; b < bufferCount && playing; ++b) {
            if (headers[b].dwFlags & WHDR_DONE) {
                queue(headers[b], samples[b]);
            }
        }
    }
}

} // namespace

bool platformOpenAudio(AudioFill fill, float& sampleRate, char (&why)[160]) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = outputRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = outputRate * 4;
    bufferReturned = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const MMRESULT opened = waveOutOpen(&output, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferReturned), 0,
                                        CALLBACK_EVENT);
    if (bufferReturned == nullptr || opened != MMSYSERR_NOERROR) {
        std::snprintf(why, sizeof why, "the wave output did not open (error %u)", static_cast<unsigned>(opened));
        if (bufferReturned != nullptr) {
            CloseHandle(bufferReturned);
        }
        output = nullptr;
        bufferReturned = nullptr;
        return false;
    }
    for (int b = 0; b < bufferCount; ++b) {
        headers[b] = WAVEHDR{};
        headers[b].lpData = reinterpret_cast<LPSTR>(samples[b]);
        headers[b].dwBufferLength = sizeof samples[b];
        waveOutPrepareHeader(output, &headers[b], sizeof headers[b]);
    }
    filler = fill;
    sampleRate = static_cast<float>(outputRate);
    return true;
}

void platformStartAudio() {
    if (output != nullptr && !playing) {
        playing = true;
        worker = std::thread(play);
    }
}

void platformCloseAudio() {
    if (output == nullptr) {
        return;
    }
    playing = false;
    SetEvent(bufferReturned);
    if (worker.joinable()) {
        worker.join();
    }
    waveOutReset(output); // hands every queued buffer back at once
    for (WAVEHDR& header : headers) {
        waveOutUnprepareHeader(output, &header, sizeof header);
    }
    waveOutClose(output);
    CloseHandle(bufferReturned);
    output = nullptr;
    bufferReturned = nullptr;
}
