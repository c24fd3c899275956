// The ten program fonts, created bold and antialiased from the system settings.
#pragma once

#include "platform/platform.h"

struct ProgramFonts {
    platform::Font localText;           // text inside the graph
    platform::Font controlStatusNormal; // section headers, DUT buttons, status strips, panel texts
    platform::Font controlButtonNormal; // status buttons
    platform::Font buttonTopSection;    // tile title
    platform::Font buttonMiddleSection; // tile value
    platform::Font buttonBottomSection; // tile corner texts
    platform::Font graphKeySection;     // sweep settings rows of the panel
    platform::Font graphKeySectionSecond;
    platform::Font graphSettingsSection;
    platform::Font graphTitleSection;
};

inline ProgramFonts programFonts;

platform::Font makeProgramFont(const std::string& face, long long points);
