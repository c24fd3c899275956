// The daily check for a newer program version.
#pragma once

#include <cstdint>

struct UpdateCheckState {
    float latestVersion = 0.0f; // from the version list; 0 when nothing was found
};

inline UpdateCheckState updateCheck;

// Start-up and a failed check never wait longer than this for the maker's server: a lab PC without
// internet must still start promptly.
inline constexpr std::int64_t updateCheckTimeBudgetMs = 5000;

void resetUpdateCheckDefaults();
// Downloads the version list, reads the latest version for the active instrument, fetches its download
// address, and offers the download page when a newer version exists. Every failure ends it silently.
void checkForUpdate();
