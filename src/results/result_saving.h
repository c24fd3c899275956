// Saving results: file names, the PNG picture and the run data file.
#pragma once

// Whether KRV_AutoSave is "Yes".
bool autoSaveIsOn();
// Saves the sample-run copy, the picture and the data file of the run just completed.
void autoSaveRun();
