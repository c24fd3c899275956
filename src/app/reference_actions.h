// The reference run drawn behind the displayed family: set, load, clear, and its colouring.
#pragma once

#include <string>

void setReferenceFromDisplayedRun();
void loadReferenceFile();
// Loads the run data file at `path` as the reference, with a message box for a file that cannot be one;
// the reference in force stays when it fails. True when loaded.
bool loadReferenceFrom(const std::string& path);
void clearReference();
void toggleReferenceGrey();
// Start-up, after the sample runs: the reference named in the settings, or a log line and the key
// cleared when its file is gone or is not a run.
void restoreReferenceRun();
