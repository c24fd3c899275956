#include "app/about_boxes.h"

#include <string>

#include "app/shell_state.h"
#include "platform/platform.h"

void showAboutBox() {
    platform::messageBox("About",
                         mainWindowFullTitle() +
                             "\n\nControl program for the KRV650 semiconductor curve tracer.\n"
                             "Copyright (c) 2025 Halvane. All rights reserved.",
                         platform::IconInformation, platform::ButtonsOk);
}

void showSupportBox() {
    platform::messageBox("Support",
                         std::string("Support web site: https://www.halvane.com/support\nE-mail: ") +
                             supportEmailAddress,
                         platform::IconInformation, platform::ButtonsOk);
}
