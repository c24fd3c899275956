// Reads arbitrary bytes as the test configurations table: only rows 1..1999 are ever filled, and a
// filled row holds its own id in column 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "results/test_configurations.h"
#include "results/text_fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    readTestConfigurationText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!testConfigurationCell(0, 0).empty() || !testConfigurationCell(testConfigurationRows - 1, 0).empty())
        std::abort();
    for (std::int64_t id = 1; id < testConfigurationRows - 1; ++id) {
        const std::string& first = testConfigurationCell(id, 0);
        if (!first.empty() && leadingInteger(first).value_or(0) != id) std::abort();
    }
    return 0;
}
