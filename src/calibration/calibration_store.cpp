// KRV_cal.txt in the working directory, with the user's notice when it is missing.
#include "calibration/calibration_file.h"
#include "ui/platform/platform.h"

void loadCalibrationFile() {
    if (!loadCalibrationFileFrom(calibrationFileName)) {
        platform::messageBox("Cannot find KRV_cal.txt", "KRV_cal.txt will be rebuilt automatically",
                             platform::IconInformation, platform::ButtonsOk);
    }
}

void createCalibrationFile(const CalibrationTexts& texts) {
    writeCalibrationFileTo(calibrationFileName, texts);
    loadCalibrationFile();
}
