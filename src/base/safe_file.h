// Files replaced in one step: the new content goes to a temporary file beside the target, which a
// rename then puts in place, so the name always holds either the old file or the whole new one.
#pragma once

#include <string>
#include <string_view>

struct FileWriteOutcome {
    bool written = false;
    std::string failure; // why not, for the user: "Permission denied", "No space left on device" ...
};

// `path` as stored (a "\" separates folders); the folder must exist.
FileWriteOutcome replaceFile(const std::string& path, std::string_view bytes);
