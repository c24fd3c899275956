// What happens when a run has ended: saving it, showing it and redrawing.
#pragma once

// With auto-save on: the sample-run copy, picture and data file (and the model card when one can be
// fitted) are written, the newest sample run is shown and the parameter panel refreshed. The graph is
// redrawn either way.
void finishCompletedRun();
