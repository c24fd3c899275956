#include "app/update_check.h"

#include <fstream>
#include <iterator>
#include <string>

#include "app/http_download.h"
#include "app/shell_state.h"
#include "app/update_sources.h"
#include "base/elapsed_clock.h"
#include "base/system_settings.h"
#include "base/unit_format.h"
#include "platform/platform.h"

namespace {

constexpr const char* versionListFile = "TALO_version.txt";
constexpr const char* downloadCountFile = "zversion.txt";

std::string readWholeFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void offerDownloadPage(float latest) {
    const std::string text = "Another version of this software is available!  Current version: V" +
                             formatFixed(shell.programVersion, 3) + "  Latest version: V" + formatFixed(latest, 3) +
                             "  , click YES to goto download website or NO to continue.";
    if (platform::messageBox("Info #0001", text, platform::IconInformation, platform::ButtonsYesNo) ==
        platform::AnswerYes)
        platform::openUrl(downloadPageUrl());
}

} // namespace

void resetUpdateCheckDefaults() {
    updateCheck = UpdateCheckState{};
}

void checkForUpdate() {
    updateCheck.latestVersion = 0.0f;
    const std::int64_t deadline = elapsedMilliseconds() + updateCheckTimeBudgetMs;
    if (!downloadToFile(versionListUrl(), versionListFile, deadline - elapsedMilliseconds())) return;
    updateCheck.latestVersion = latestVersionIn(readWholeFile(versionListFile), systemSettings.activeInstrument);
    // Fetched as the maker's server expects; the program never reads the answer.
    if (const auto address = downloadAddressFor(systemSettings.activeInstrument))
        downloadToFile(*address, downloadCountFile, deadline - elapsedMilliseconds());
    if (shell.programVersion + 0.0005 < updateCheck.latestVersion) offerDownloadPage(updateCheck.latestVersion);
}
