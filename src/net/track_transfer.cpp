// track_transfer.cpp -- a track's files from the host to a joiner, chunk by chunk.
#include "net/track_transfer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/bytes.h"
#include "core/files.h"
#include "core/places.h"
#include "core/safe_file.h"
#include "terrain/track.h"

namespace {

constexpr double askAgainAfter = 0.5;  // a chunk asked for and not come is asked for again
constexpr double here = 1e300;         // askedAt of a chunk that came
constexpr uint32_t inFlight = 64;      // chunks asked for and not yet come, at most

uint32_t chunksOf(size_t bytes) { return static_cast<uint32_t>((bytes + chunkBytes - 1) / chunkBytes); }

// The file's name in a track's folder: "Terrain_03.raw".
std::string fileName(int32_t track, int32_t file, bool targa) {
    const char* stems[] = {"Terrain", "Growth", "Gates", "Texture", "TextureOverlay"};
    const char* kinds[] = {"raw", "raw", "txt", targa ? "tga" : "bmp", targa ? "tga" : "bmp"};
    char name[64];
    std::snprintf(name, sizeof name, "%s_%02d.%s", stems[file], static_cast<int>(track), kinds[file]);
    return name;
}

// What a file of each kind may weigh: the heights and growth exactly their
// size, a course a little text, a picture a few megabytes.
bool sizeFits(int32_t file, uint32_t size) {
    switch (file) {
    case heightsFile: return size == 512u * 512u;
    case growthFile: return size == 32u * 32u;
    case gatesFile: return size <= (64u << 10);
    default: return size <= maxPassedFile;
    }
}

void readOffer(TrackOffer& offer, int32_t track) {
    offer = TrackOffer{};
    const TrackFiles files = trackFiles(track);
    const char* paths[] = {files.heights, files.growth, files.gates, files.ground, files.overlay};
    for (int32_t f = 0; f < trackFileCount; ++f) {
        if (readWholeFile(paths[f], maxPassedFile, offer.files[f]) != WholeFile::read) {
            offer.files[f].clear();
        }
    }
    offer.targa[groundFile] = files.groundIsTarga;
    offer.targa[overlayFile] = files.overlayIsTarga;
    offer.track = track;
}

} // namespace

std::vector<LanMessage> answerFetch(TrackOffer& offer, const LanMessage& fetch) {
    if (offer.track != fetch.value) {
        readOffer(offer, fetch.value);
    }
    std::vector<LanMessage> answers;
    const std::vector<uint8_t>& bytes = offer.files[fetch.file];
    for (uint32_t c = fetch.chunk; c < fetch.chunk + fetch.chunks && c < chunksOf(bytes.size()); ++c) {
        LanMessage m{};
        m.kind = LanKind::fileData;
        m.value = fetch.value;
        m.file = fetch.file;
        m.targa = offer.targa[fetch.file] ? 1 : 0;
        m.fileSize = static_cast<uint32_t>(bytes.size());
        m.chunk = c;
        m.length = static_cast<uint16_t>(std::min<size_t>(chunkBytes, bytes.size() - size_t{c} * chunkBytes));
        std::memcpy(m.data, bytes.data() + size_t{c} * chunkBytes, m.length);
        answers.push_back(m);
    }
    return answers;
}

void startFetch(TrackFetch& fetch, int32_t track, const TrackHashes& hashes) {
    fetch = TrackFetch{};
    fetch.on = true;
    fetch.track = track;
    fetch.hashes = hashes;
}

bool takeChunk(TrackFetch& fetch, const LanMessage& data) {
    if (!fetch.on || data.value != fetch.track) {
        return true; // a late chunk of another fetch
    }
    const int32_t f = data.file;
    if (!sizeFits(f, data.fileSize)) {
        return false;
    }
    if (!fetch.sized[f]) {
        fetch.sized[f] = true;
        fetch.targa[f] = data.targa != 0;
        fetch.files[f].assign(data.fileSize, 0);
        fetch.askedAt[f].assign(chunksOf(data.fileSize), -1.0);
    }
    if (fetch.files[f].size() != data.fileSize || fetch.targa[f] != (data.targa != 0)) {
        return false;
    }
    std::memcpy(fetch.files[f].data() + size_t{data.chunk} * chunkBytes, data.data, data.length);
    fetch.askedAt[f][data.chunk] = here;
    return true;
}

std::vector<LanMessage> fetchRequests(TrackFetch& fetch, double seconds) {
    fetch.clock += seconds;
    std::vector<LanMessage> asks;
    uint32_t waiting = 0;
    for (int32_t f = 0; f < trackFileCount; ++f) {
        for (const double at : fetch.askedAt[f]) {
            waiting += at != here && at >= 0 && fetch.clock - at < askAgainAfter ? 1 : 0;
        }
    }
    for (int32_t f = 0; f < trackFileCount && fetch.on; ++f) {
        std::vector<double>& asked = fetch.askedAt[f];
        if (!fetch.sized[f]) { // its first chunk says its size
            asked.resize(1, -1.0);
        }
        for (uint32_t c = 0; c < asked.size() && waiting < inFlight;) {
            const auto due = [&](uint32_t k) { return asked[k] != here && (asked[k] < 0 || fetch.clock - asked[k] >= askAgainAfter); };
            if (!due(c)) {
                ++c;
                continue;
            }
            LanMessage m{};
            m.kind = LanKind::fetch;
            m.value = static_cast<uint8_t>(fetch.track);
            m.file = static_cast<uint8_t>(f);
            m.chunk = c;
            while (c < asked.size() && m.chunks < maxFetchChunks && waiting < inFlight && due(c)) {
                asked[c++] = fetch.clock;
                ++m.chunks;
                ++waiting;
            }
            asks.push_back(m);
        }
    }
    return asks;
}

bool fetchDone(const TrackFetch& fetch) {
    for (int32_t f = 0; f < trackFileCount; ++f) {
        if (!fetch.sized[f] || std::any_of(fetch.askedAt[f].begin(), fetch.askedAt[f].end(), [](double at) { return at != here; })) {
            return false;
        }
    }
    return true;
}

int32_t fetchPercent(const TrackFetch& fetch) {
    size_t done = 0, all = 0;
    for (int32_t f = 0; f < trackFileCount; ++f) {
        all += fetch.sized[f] ? fetch.askedAt[f].size() : 1;
        done += static_cast<size_t>(std::count(fetch.askedAt[f].begin(), fetch.askedAt[f].end(), here));
    }
    return static_cast<int32_t>(100 * done / std::max<size_t>(all, 1));
}

bool keepFetchedTrack(const TrackFetch& fetch, std::string& why) {
    const auto hash = [&fetch](int32_t f, uint32_t from) {
        return fnvHash(from, fetch.files[f].data(), fetch.files[f].size());
    };
    const TrackHashes got{hash(heightsFile, fnvBasis), hash(growthFile, fnvBasis), hash(gatesFile, fnvBasis),
                          hash(overlayFile, hash(groundFile, fnvBasis)), fetch.hashes.wheels};
    if (std::memcmp(&got, &fetch.hashes, sizeof got) != 0) {
        why = "the files that came differ from the host's";
        return false;
    }
    const std::string own = userDataFolder();
    if (own.empty()) {
        why = "this machine has no data folder to keep them in";
        return false;
    }
    // The heights last: the track is found by them, so it is there whole or not at all.
    for (const int32_t f : {growthFile, gatesFile, groundFile, overlayFile, heightsFile}) {
        const std::string path = nameOf(pathOf(own) / downloadedTracks / fileName(fetch.track, f, fetch.targa[f]));
        const std::string bytes(fetch.files[f].begin(), fetch.files[f].end());
        if (!writeFileSafely(path, bytes, why)) {
            return false;
        }
    }
    return true;
}
