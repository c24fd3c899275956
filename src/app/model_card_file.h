// The model card side file: the SPICE ".model" line of a run, as <stem>.model beside its data file.
#pragma once

#include <string>

#include "results/safe_file.h"

// "<data folder><stem>.model" as stored in the settings.
std::string modelCardPath(const std::string& stem);
FileWriteOutcome writeModelCardFile(const std::string& path, const std::string& card);

// At an automatic save: the completed run's card beside the data file just written, when there is one.
void saveCompletedRunModelCard();
