// background_writes.h -- the player's files written away from the frames: each
// write is made (compressed, formatted) and put on the disk on a thread of its
// own, after the one handed over before it, so the frame in which a race ends
// never waits for zlib or the disk.
#pragma once

#include <functional>
#include <future>
#include <string>
#include <vector>

class BackgroundWrites {
public:
    BackgroundWrites() = default;
    BackgroundWrites(BackgroundWrites&&) = default;
    BackgroundWrites& operator=(BackgroundWrites&& other);
    ~BackgroundWrites() { finish(); }

    // Starts a write: job makes and writes its file and returns what to tell
    // the player when that failed ("" when all was well). It runs once every
    // write started before it here is done.
    void start(std::function<std::string()> job);

    // Waits for every write started so far: before the game reads a file it
    // may be writing, and before it ends.
    void finish();

    // What the writes done since the last call have to tell the player, in the
    // order they were started (without waiting for those still running).
    std::vector<std::string> takeFailures();

private:
    std::vector<std::shared_future<std::string>> running_;
};
