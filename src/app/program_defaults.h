// Every program-wide variable back to its default, in one place, before anything else runs.
#pragma once

void resetProgramDefaults();
