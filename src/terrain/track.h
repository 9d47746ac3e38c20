// track.h -- the tracks there are to drive: numbered sets of files in Tracks/
// (heights, growth, the ground's two pictures, the course's gates), which one
// the terrain holds, and what keeps a track from being driven.
#pragma once

#include <cstdint>

constexpr int32_t maxTrackNumber = 99; // the file names count in two digits

// The files of track N (NN: its number in two digits).
struct TrackFiles {
    char heights[48]; // Tracks/Terrain_NN.raw, 512 x 512 bytes
    char growth[48];  // Tracks/Growth_NN.raw, 32 x 32 bytes
    char ground[48];  // Tracks/Texture_NN.bmp, or .tga where only that is there
    char overlay[48]; // Tracks/TextureOverlay_NN.bmp, or .tga likewise
    char gates[48];   // Tracks/Gates_NN.txt
    bool groundIsTarga;
    bool overlayIsTarga;
};

TrackFiles trackFiles(int32_t number);

// What keeps track N from being driven, in the player's words ("Tracks/
// Terrain_04.raw is missing."), a sentence a line; empty when every file is
// there and the heights and growth have their sizes. The pictures and the
// gates are judged when they are read.
struct TrackProblems {
    char text[1024];
};
bool findTrackProblems(int32_t number, TrackProblems& problems);

// The next track after `current` (counting on from 99 to 1) whose files are
// all there; `current` itself when there is no other.
int32_t nextCompleteTrack(int32_t current);

// The track to start on when the player asked for `requested`: that one if it
// can be driven, else track 1, after one box saying what is wrong with it.
int32_t chooseStartTrack(uint32_t requested);

// The track the terrain and the course were last loaded from.
extern int32_t currentTrack;
