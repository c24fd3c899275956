// Saving results: the picture and the run data file under one generated name, on demand or at the
// end of a run together with the numbered sample-run copy.
#pragma once

#include <cstdint>
#include <string>

// Whether KRV_AutoSave is "Yes".
bool autoSaveIsOn();
// File menu "Save Image / Save Data": picture and data file under a new name, then the next run number.
void saveResultsNow();
// At run completion: the sample-run copy (which becomes the displayed sample run), then as saveResultsNow.
// `showCopy`, when given, runs between the two, so that the saved picture can show the new sample run
// with its own sweep settings rather than the graph and panel as they were drawn during the run.
void autoSaveRun(void (*showCopy)() = nullptr);

// The stem under which the data file of sample run `number` was saved in this session, so that side
// files of a shown sample run sit beside its data file; for older runs the sample run's own name ("0007").
std::string sampleRunDataStem(std::int64_t number);
void resetSavedDataFileStems();
