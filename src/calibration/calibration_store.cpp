// KRV_cal.txt in the working directory, with the user's notice when it is missing.
#include <fstream>

#include "calibration/calibration_file.h"
#include "platform/platform.h"

namespace {

constexpr const char* placeholderLine =
    "new file - this will be populated when calibration data is downloaded from the device\r\n";

void writeBytes(const char* bytes, std::size_t length) {
    std::ofstream out(calibrationFileName, std::ios::binary | std::ios::trunc);
    out.write(bytes, static_cast<std::streamsize>(length));
}

} // namespace

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

bool calibrationFileCanBeOpened() {
    return static_cast<bool>(std::ifstream(calibrationFileName, std::ios::binary));
}

void createPlaceholderCalibrationFile() {
    writeBytes(placeholderLine, std::char_traits<char>::length(placeholderLine));
}

bool calibrationFileMatches(const CalibrationBlock& block) {
    std::ifstream in(calibrationFileName, std::ios::binary);
    if (!in) return false;
    for (const std::uint8_t expected : block) {
        const int got = in.get();
        if (got == std::char_traits<char>::eof() || static_cast<std::uint8_t>(got) != expected) return false;
    }
    return true;
}

void writeCalibrationBlockFile(const CalibrationBlock& block) {
    writeBytes(reinterpret_cast<const char*>(block.data()), block.size());
}
