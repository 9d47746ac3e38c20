// track_transfer.h -- a race's track passed on from the host to a joiner
// that lacks it: the host offers its files chunk by chunk as asked; the joiner
// asks for what it still lacks, a few chunks at a time and again for those
// lost, checks every file against the race's hashes and keeps the track in
// its data folder's downloaded tracks, written safely.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/lan_messages.h"

// The host's side: its files of one track, read once.
struct TrackOffer {
    int32_t track;                        // 0: none read
    std::vector<uint8_t> files[trackFileCount];
    bool targa[trackFileCount];
};

// The chunks a fetch asks for, each as a message to send back (none for a
// track other than the one offered, or a file it does not have).
std::vector<LanMessage> answerFetch(TrackOffer& offer, const LanMessage& fetch);

// The joiner's side.
struct TrackFetch {
    bool on;
    int32_t track;
    TrackHashes hashes;                   // the race's, which the files must have
    std::vector<uint8_t> files[trackFileCount];
    std::vector<double> askedAt[trackFileCount]; // by chunk: when last asked for (negative: never; 1e300: here)
    bool sized[trackFileCount];
    bool targa[trackFileCount];
    double clock;
};

// A fetch of this track, whose files must hash to these.
void startFetch(TrackFetch& fetch, int32_t track, const TrackHashes& hashes);

// A chunk from the host kept; false for one that does not fit what came before
// (another size or kind of the same file): the fetch is wrong and must end.
bool takeChunk(TrackFetch& fetch, const LanMessage& data);

// The fetches to send now: the first chunks of each file still missing, and
// again those asked for too long ago; none while every chunk is asked for.
std::vector<LanMessage> fetchRequests(TrackFetch& fetch, double seconds);

// Every byte of every file is here.
bool fetchDone(const TrackFetch& fetch);

// How much has come, in percent.
int32_t fetchPercent(const TrackFetch& fetch);

// The files, checked against the race's hashes, written into the data
// folder's downloaded tracks; false with why (a file that differs from the
// host's, one that cannot be written).
bool keepFetchedTrack(const TrackFetch& fetch, std::string& why);
