#include "app/crash_report_box.h"

#include <cstdlib>

#include "platform/platform.h"

bool crashReportBoxRequested() {
    return std::getenv(crashReportBoxVariable) != nullptr;
}

int showCrashReportBox() {
    const char* report = std::getenv(crashReportBoxVariable);
    platform::initPlatform();
    platform::messageBox("OnError Handler", report ? report : "", platform::IconError, platform::ButtonsOk);
    return 0;
}
