#include "app/startup.h"

#include <cstdio>
#include <ctime>

#include <curl/curl.h>

#include "app/crash_report.h"
#include "app/crash_report_box.h"
#include "base/local_time.h"
#include "app/main_loop.h"
#include "base/messages.h"
#include "app/program_defaults.h"
#include "base/settings_file.h"
#include "app/shell_state.h"
#include "app/settings_loader.h"
#include "base/system_settings.h"
#include "app/update_check.h"
#include "app/reference_actions.h"
#include "base/gui_numbers.h"
#include "ui/main_window.h"
#include "platform/platform.h"

namespace {

using gui::mainWindow;

std::string todayAsDayMonthYear() {
    const std::tm local = localNow();
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900);
    return text;
}

void openMainWindow() {
    const unsigned flags = platform::WindowTitleBar | platform::WindowSystemMenu | platform::WindowMinimizeGadget |
                           platform::WindowMaximizeGadget | platform::WindowSizeGadget;
    if (!platform::initPlatform() || !platform::openWindow(mainWindow, 0, 0, 500, 500, mainWindowFullTitle(), flags)) {
        showMessage("Error #0066 main window won't start");
        shell.quitRequested = 1;
    }
}

void dailyUpdateCheck() {
    if (systemSettings.updateCheckEnabled != 1) return;
    shell.todayText = todayAsDayMonthYear();
    if (shell.todayText == systemSettings.lastUpdateCheckDate) return;
    // The date is stored first so that a check that fails still runs at most once a day.
    writeSetting(systemSettings.settingsFilePath, "DateOfLastUpdateCheck", shell.todayText);
    systemSettings.lastUpdateCheckDate = shell.todayText;
    checkForUpdate();
}

} // namespace

void startProgram() {
    resetProgramDefaults();
    platform::initPlatform();
    loadSystemSettings(systemSettings.settingsFilePath);
    openMainWindow();
    dailyUpdateCheck();
    // PNG support is built in (libpng); the network layer's result is ignored.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    platform::useSystemDefaultControlFont();
    if (platform::windowExists(mainWindow)) {
        if (!buildMainWindow()) shell.quitRequested = 1;
        restoreReferenceRun();
        // The first loop tick lays the contents out for the window's real size.
        shell.windowGeometryChanged = 1;
    }
}

int runProgram(int, char**) {
    if (crashReportBoxRequested()) return showCrashReportBox();
    // Installed here rather than in startProgram, which tests drive: a crash there must fail the test,
    // not end it with the report's exit code 0.
    installCrashHandler();
    // Without a display the window cannot open: say so and fail, rather than fault further on.
    if (!platform::initPlatform()) {
        std::fprintf(stderr, "krv650: the window cannot open: %s. Start it under an X server (or xvfb-run), "
                             "or use a subcommand that needs no display (krv650 --help).\n",
                     platform::platformUnavailableReason().c_str());
        return exitNoDisplay;
    }
    startProgram();
    runMainEventLoop();
    return 0;
}
