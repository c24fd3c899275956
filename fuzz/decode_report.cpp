// Decodes arbitrary report bytes; a report that passes its checksum must re-encode to the same bytes
// apart from the reserved ones, and its readings must convert without faults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "calibration/calibration_coefficients.h"
#include "link/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < reportSize) {
        return 0;
    }
    ReportBytes bytes;
    std::memcpy(bytes.data(), data, reportSize);
    // Half of the inputs get a valid checksum so that the field decoding is reached.
    if (size > reportSize && (data[reportSize] & 1) != 0) {
        const std::uint16_t sum = protocolChecksum(bytes.data(), 30);
        bytes[30] = static_cast<std::uint8_t>(sum >> 8);
        bytes[31] = static_cast<std::uint8_t>(sum);
    }
    const DecodedReport d = decodeReport(bytes.data());
    if (!d.checksumOk) {
        return 0;
    }
    ReportBytes again = encodeReport(d.report);
    std::memcpy(again.data() + 20, bytes.data() + 20, 10);
    if (protocolChecksum(again.data(), 30) != d.receivedChecksum || std::memcmp(again.data(), bytes.data(), 30) != 0) {
        std::abort();
    }
    const std::int64_t counts = size > reportSize + 1 ? data[reportSize + 1] % 7 : 1;
    const std::int64_t range = size > reportSize + 2 ? static_cast<std::int8_t>(data[reportSize + 2]) : 0;
    (void)convertReport(d.report, SampleCounts{counts, counts}, range);
    return 0;
}
