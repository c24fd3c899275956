// Reads arbitrary bytes as a sample-run file: every line lands inside the record or is skipped, and
// every entry count stays within the record.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "results/sample_runs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readSampleRunText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::int64_t count : sampleRunRecord.entryCount)
        if (count < 0 || count > runRecordEntries) std::abort();
    if (!sampleRuns.sampleRunParameters[27].empty()) std::abort();
    return 0;
}
