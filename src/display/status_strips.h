// The two strips of the status panel: the communication status and the run status with live values.
#pragma once

#include "platform/platform.h"

// 286 x 25: "Com Status: " + commsStatusText.
platform::Image drawCommsStatusStrip();
// 286 x 64: run status, the reason the last sweep ended, and the four live values.
platform::Image drawRunStatusStrip();
