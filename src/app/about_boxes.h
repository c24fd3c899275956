// The Help menu's information boxes.
#pragma once

// Where users send crash reports and questions; the Support box and the crash report name it.
inline constexpr const char* supportEmailAddress = "support@halvane.com";

void showAboutBox();
void showSupportBox();
