// race_hashes -- three computer drivers racing on each track, race after race,
// by this build's simulation: the world's hash after every second of it, one
// line each. A build by another compiler, at another optimisation or for
// another system prints the same lines, or a replay, a ghost or a LAN race
// would not be the same race on both.
// Usage: race_hashes [MINUTES [SIMULATION]]   (in the game's data folder; 10
// minutes a track by this simulation; SIMULATION 2: the one before contact,
// with the C library's sine and cosine, to see where builds part)
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "net/lan_messages.h"
#include "scene/scene.h"

int main(int argc, char** argv) {
    const long minutes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10;
    const long simulation = argc > 2 ? std::strtol(argv[2], nullptr, 10) : simulationVersion;
    if (argc > 3 || minutes < 1 || minutes > 600 || simulation < long{contactlessVersion} || simulation > long{simulationVersion}) {
        std::fprintf(stderr, "usage: race_hashes [MINUTES [SIMULATION]], in the game's data folder "
                             "(1 to 600 minutes a track; simulation 2 or 3)\n");
        return 2;
    }
    const auto world = std::make_unique<World>();
    const WheelLayout layout = readWheelLayout();
    PlayLines said; // a course that cannot be read is said as at the game's start
    const bool computer[vehicleCount] = {true, true, true};
    const VehicleControls none[vehicleCount] = {};
    const long perSecond = stepsPerSecond;
    for (int32_t track = 1; track <= 3; ++track) {
        setUpWorld(*world, said, track, layout); // skill 2
        setWorldRules(*world, static_cast<uint32_t>(simulation), true, true);
        if (world->course.count < minGates) {
            std::fprintf(stderr, "race_hashes: track %d has no course here\n", static_cast<int>(track));
            return 1;
        }
        int32_t races = 0;
        for (long step = 1; step <= minutes * 60 * perSecond; ++step) {
            if (world->race.phase == RacePhase::off || world->race.phase == RacePhase::results) {
                startWorldRace(*world, 3, computer);
                ++races;
            }
            stepWorld(*world, none);
            if (step % perSecond == 0) {
                std::printf("track %d second %ld %08x\n", static_cast<int>(track), step / perSecond,
                            static_cast<unsigned>(worldHash(*world)));
            }
        }
        std::printf("track %d: %d races begun\n", static_cast<int>(track), static_cast<int>(races));
    }
    return 0;
}
