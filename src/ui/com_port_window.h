// The COM port selection window.
#pragma once

void openComPortWindow();
