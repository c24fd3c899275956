// The reference run drawn behind the displayed family: set, load, clear, and its colouring.
#pragma once

void setReferenceFromDisplayedRun();
void loadReferenceFile();
void clearReference();
void toggleReferenceGrey();
