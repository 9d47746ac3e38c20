// track_transfer_test.cpp -- a track passed from a host to a joiner over a
// line that loses a third of what goes each way: it comes whole, is kept in
// the downloaded tracks and found there as any track is (before the game's own
// for a LAN race that takes the host's); files that differ
// from the race's hashes, or claim another size, are refused and nothing kept.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "net/lan_room.h"
#include "net/track_transfer.h"
#include "support/temp_dir.h"
#include "terrain/track.h"

namespace fs = std::filesystem;

namespace {

// The joiner's data folder its own, and its working folder one without tracks.
class TrackTransfer : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_DATA_HOME", data.path().c_str(), 1);
        was = fs::current_path();
        fs::current_path(MUDLARK_RUN_DIR); // the host's track 3, as the race hashes it
        hashes = hashTrack(3, WheelLayout{});
        readOffer();
        fs::current_path(elsewhere.path());
    }
    void TearDown() override {
        fs::current_path(was);
        unsetenv("XDG_DATA_HOME");
    }
    // The host's offer, as answerFetch reads it in the host's folder.
    void readOffer() {
        LanMessage first{};
        first.value = 3;
        first.chunks = 1;
        answerFetch(offer, first);
    }
    // Until the fetch is done or gives up, a third of each way lost.
    bool fetchOverALossyLine(TrackFetch& fetch) {
        uint32_t random = 7;
        const auto lost = [&random] { return ((random = random * 1664525u + 1013904223u) >> 16) % 3 == 0; };
        for (int frame = 0; frame < 60 * 60 && !fetchDone(fetch); ++frame) {
            for (const LanMessage& ask : fetchRequests(fetch, 1.0 / 60)) {
                for (const LanMessage& chunk : lost() ? std::vector<LanMessage>{} : answerFetch(offer, ask)) {
                    if (!lost() && !takeChunk(fetch, chunk)) {
                        return false;
                    }
                }
            }
        }
        return fetchDone(fetch);
    }
    TempDir data, elsewhere;
    fs::path was;
    TrackHashes hashes{};
    TrackOffer offer{};
};

TEST_F(TrackTransfer, ATrackComesWholeOverALossyLineAndIsFoundAmongTheTracks) {
    TrackProblems problems;
    EXPECT_TRUE(findTrackProblems(3, problems)); // nothing here yet
    TrackFetch fetch{};
    startFetch(fetch, 3, hashes);
    ASSERT_TRUE(fetchOverALossyLine(fetch));
    EXPECT_EQ(fetchPercent(fetch), 100);
    std::string why;
    ASSERT_TRUE(keepFetchedTrack(fetch, why)) << why;
    for (const char* name : {"Terrain_03.raw", "Growth_03.raw", "Gates_03.txt", "Texture_03.tga", "TextureOverlay_03.bmp"}) {
        EXPECT_EQ(readFileBytes(data.file(std::string("mudlark/downloaded-tracks/") + name)),
                  readFileBytes(std::string(MUDLARK_RUN_DIR) + "/Tracks/" + name)) << name;
    }
    EXPECT_FALSE(findTrackProblems(3, problems)) << problems.text; // a track like any other now
    EXPECT_TRUE(trackFiles(3).groundIsTarga);
    EXPECT_EQ(trackDifference(hashTrack(3, WheelLayout{}), hashes), "");
    // Where the game has a track 3 of its own, that one comes first, but for
    // a LAN race that takes the host's.
    fs::current_path(MUDLARK_RUN_DIR);
    EXPECT_EQ(std::string(trackFiles(3).heights), "Tracks/Terrain_03.raw");
    preferDownloadedTrack(3);
    EXPECT_EQ(std::string(trackFiles(3).heights), data.file("mudlark/downloaded-tracks/Terrain_03.raw"));
    preferDownloadedTrack(0);
    EXPECT_EQ(std::string(trackFiles(3).heights), "Tracks/Terrain_03.raw");
}

TEST_F(TrackTransfer, FilesOtherThanTheRacesAreRefusedAndNothingIsKept) {
    TrackFetch fetch{};
    TrackHashes other = hashes;
    other.gates ^= 1;
    startFetch(fetch, 3, other);
    ASSERT_TRUE(fetchOverALossyLine(fetch));
    std::string why;
    EXPECT_FALSE(keepFetchedTrack(fetch, why));
    EXPECT_EQ(why, "the files that came differ from the host's");
    EXPECT_FALSE(fs::exists(data.file("mudlark/downloaded-tracks")));

    // Heights of another size, and a file whose size changes on the way.
    startFetch(fetch, 3, hashes);
    LanMessage chunk{};
    chunk.kind = LanKind::fileData;
    chunk.value = 3;
    chunk.file = heightsFile;
    chunk.fileSize = 1000;
    chunk.length = 1000;
    EXPECT_FALSE(takeChunk(fetch, chunk));
    chunk.file = gatesFile;
    EXPECT_TRUE(takeChunk(fetch, chunk));
    chunk.fileSize = 1001;
    EXPECT_FALSE(takeChunk(fetch, chunk));
}

} // namespace
