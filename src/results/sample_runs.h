// Numbered sample runs: the displayed copy of a completed run.
#pragma once

// Loads the displayed sample run from sampleruns/.
void loadSampleRun();
