// The Help menu's information boxes.
#pragma once

void showAboutBox();
void showSupportBox();
