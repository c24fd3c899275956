// KRV_cal.txt in the working directory, with the user's notice when it is missing.
#include <fstream>
#include <iterator>
#include <string_view>

#include "base/safe_file.h"
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

bool createCalibrationFile(const CalibrationTexts& texts) {
    if (!writeCalibrationFileTo(calibrationFileName, texts)) return false;
    loadCalibrationFile();
    return true;
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

bool replaceCalibrationFileWithBlock(const CalibrationBlock& block, std::string& failure) {
    std::ifstream in(calibrationFileName, std::ios::binary);
    const bool existed = static_cast<bool>(in);
    const std::string old = existed ? std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) : "";
    in.close();
    if (existed && old != placeholderLine) {
        if (const FileWriteOutcome kept = replaceFile(previousCalibrationFileName, old); !kept.written) {
            failure = std::string(previousCalibrationFileName) + ": " + kept.failure;
            return false;
        }
    }
    const FileWriteOutcome written =
        replaceFile(calibrationFileName, std::string_view(reinterpret_cast<const char*>(block.data()), block.size()));
    if (!written.written) failure = std::string(calibrationFileName) + ": " + written.failure;
    return written.written;
}
