// Arbitrary host bytes, cut into pieces with virtual time passing between them, must never upset the
// virtual instrument, and everything it sends must be whole reports.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "instrument.h"

namespace {

// Six input bytes (register word, value) as a frame with a good checksum, so commands get exercised.
void sendGoodFrame(SimInstrument& sim, const uint8_t* b) {
    uint8_t frame[8] = {b[0], b[1], b[2], b[3], b[4], b[5], 0, 0};
    // Mostly registers 0..31, where the instrument does something.
    if (frame[0] & 0x40) {
        frame[0] &= 0x80;
        frame[1] &= 31;
    }
    const uint32_t sum = 0x5555u + (frame[0] << 8 | frame[1]) + (frame[2] << 8 | frame[3]) + (frame[4] << 8 | frame[5]);
    frame[6] = static_cast<uint8_t>(sum >> 8);
    frame[7] = static_cast<uint8_t>(sum);
    simReceive(sim, frame, sizeof frame);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SimInstrument sim;
    resetSimInstrumentDefaults(sim);
    size_t at = 0;
    while (at < size) {
        // Each piece starts with a control byte: the low nibble is a raw length (15: one good frame
        // from the next six bytes), the high nibble the virtual time that passes after it.
        const uint8_t control = data[at++];
        const size_t length = control & 15;
        if (length == 15 && size - at >= 6) {
            sendGoodFrame(sim, data + at);
            at += 6;
        } else {
            const size_t n = std::min(length, size - at);
            simReceive(sim, data + at, n);
            at += n;
        }
        simAdvance(sim, int64_t{control >> 4} * 7000);
        if (simTakeOutput(sim).size() % 32 != 0) std::abort();
    }
    return 0;
}
