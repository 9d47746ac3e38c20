// fuzz_packet.cpp -- any bytes as a LAN race's message, as they would come from
// anyone on the network: a message read is within every limit and writes back
// to the same bytes, and one refused leaves nothing; a step's controls fed to
// a lockstep, a host's world put in place and stepped, a track's files asked
// for and a chunk of them taken, read and write nothing outside what they hold.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_world.h"
#include "net/lan_messages.h"
#include "net/track_transfer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LanMessage read;
    read.packet.count = 77; // a refused message must leave this as it is
    const LanKind kind = decodeLanMessage(data, size, read);
    if (kind == LanKind::none) {
        return read.packet.count == 77 ? 0 : (__builtin_trap(), 0);
    }
    if (kind != read.kind || encodeLanMessage(read) != std::string(reinterpret_cast<const char*>(data), size)) {
        __builtin_trap();
    }
    if (kind == LanKind::snapshot) {
        World& world = fuzzWorld();
        applyLanSnapshot(world, read.snapshot);
        const VehicleControls controls[vehicleCount] = {{true, false, true, false, false, false}, {}, {}};
        for (int step = 0; step < 120; ++step) {
            stepWorld(world, controls); // the computer drives the vehicles the race gives it
        }
        return 0;
    }
    if (kind == LanKind::fetch) { // answered from files of every size a track may have
        static TrackOffer offer;
        offer.track = read.value;
        for (int32_t f = 0; f < trackFileCount; ++f) {
            offer.files[f].assign(static_cast<size_t>(f) * 5000 + 1, static_cast<uint8_t>(f));
        }
        for (const LanMessage& answer : answerFetch(offer, read)) {
            const std::string bytes = encodeLanMessage(answer);
            LanMessage back;
            if (decodeLanMessage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), back) != LanKind::fileData) {
                __builtin_trap(); // every answer is a chunk a joiner takes
            }
        }
        return 0;
    }
    if (kind == LanKind::fileData) { // a chunk of a track being fetched, whatever it claims
        static TrackFetch fetch;
        startFetch(fetch, read.value, TrackHashes{});
        fetchRequests(fetch, 0.1);
        takeChunk(fetch, read);
        return fetchPercent(fetch) <= 100 ? 0 : (__builtin_trap(), 0);
    }
    if (kind != LanKind::lockstep) {
        return 0;
    }
    const LockstepPacket& packet = read.packet;
    if (packet.machine < 0 || packet.machine >= maxMachines || packet.count > maxPacketSteps) {
        __builtin_trap();
    }
    static Lockstep lockstep;
    const int32_t seats[vehicleCount] = {0, 1, noMachine};
    startLockstep(lockstep, 0, seats, 3);
    receivePacket(lockstep, packet);
    tickLockstep(lockstep, 6.0);
    VehicleControls controls[vehicleCount];
    bool computer[vehicleCount];
    for (int step = 0; step < 8 && readyToStep(lockstep); ++step) {
        takeStep(lockstep, controls, computer);
    }
    const LockstepPacket out = makePacket(lockstep);
    return out.count <= maxPacketSteps ? 0 : (__builtin_trap(), 0);
}
