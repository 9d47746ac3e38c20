// fuzz_packet.cpp -- any bytes as a LAN race's packet, as they would come from
// anyone on the network: a packet read is within every limit and writes back
// to the same bytes, and one refused leaves nothing; fed to a lockstep, no
// packet makes it read or write outside what it holds.
#include <cstdint>
#include <cstring>
#include <string>

#include "net/lockstep.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LockstepPacket read;
    read.count = 77; // a refused packet must leave this as it is
    if (!decodePacket(data, size, read)) {
        if (read.count != 77) {
            __builtin_trap();
        }
        return 0;
    }
    if (read.machine < 0 || read.machine >= maxMachines || read.count > maxPacketSteps ||
        encodePacket(read) != std::string(reinterpret_cast<const char*>(data), size)) {
        __builtin_trap();
    }
    static Lockstep lockstep;
    const int32_t seats[vehicleCount] = {0, 1, noMachine};
    startLockstep(lockstep, 0, seats, 3);
    receivePacket(lockstep, read);
    tickLockstep(lockstep, 6.0);
    VehicleControls controls[vehicleCount];
    bool computer[vehicleCount];
    for (int step = 0; step < 8 && readyToStep(lockstep); ++step) {
        takeStep(lockstep, controls, computer);
    }
    const LockstepPacket out = makePacket(lockstep);
    return out.count <= maxPacketSteps ? 0 : (__builtin_trap(), 0);
}
