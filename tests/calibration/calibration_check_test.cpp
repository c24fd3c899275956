// Calibration data a working instrument can hold, and the blocks and files that would make every later
// reading wrong.
#include <gtest/gtest.h>

#include <string>

#include "calibration/calibration_check.h"
#include "calibration/calibration_file.h"
#include "support/recalibrated_block.h"

namespace {

std::string withLine(std::size_t line, const std::string& text) {
    CalibrationTexts texts = nominalCalibrationTexts();
    texts[line - 1] = text;
    return calibrationFileContent(texts);
}

// What the flash holds when a block is written without erasing it first: bits can only be cleared.
std::string writtenWithoutErase(const std::string& before, const std::string& written) {
    std::string result = before;
    for (std::size_t i = 0; i < result.size() && i < written.size(); ++i)
        result[i] = static_cast<char>(result[i] & written[i]);
    return result;
}

TEST(CalibrationCheck, OnlyDataOfAWorkingInstrumentPasses) {
    const std::string nominal = calibrationFileContent(nominalCalibrationTexts());
    const std::string recalibrated = calibrationFileContent(recalibratedTexts());
    CalibrationTexts swapped = nominalCalibrationTexts();
    std::swap(swapped[1], swapped[5]); // the +10 V and -10 V DAC counts exchanged
    CalibrationTexts seventy = nominalCalibrationTexts();
    seventy[70] = "";
    const struct {
        const char* name;
        std::string content;
        const char* reason; // empty: plausible
    } cases[] = {
        {"nominal", nominal, ""},
        {"recalibrated against a meter 1 % high", recalibrated, ""},
        {"typed with blanks and a plus sign", withLine(1, " +10.000"), ""},
        {"erased", std::string(1024, '\xFF'), "line 1 is not a number"},
        {"zeros", std::string(1024, '\0'), "line 1 is not a number"},
        {"placeholder", "new file - this will be populated when calibration data is downloaded from the device\r\n",
         "line 1 is not a number"},
        {"written without an erase", writtenWithoutErase(nominal, recalibrated), "line 47 is not a number"},
        {"trailing text", withLine(47, "9.90V"), "line 47 is not a number"},
        {"70 lines", calibrationFileContent(seventy), "line 71 is not a number"},
        {"cut off in the last line", nominal.substr(0, nominal.find('\0') - 2), "line 71 has no line end"},
        {"DAC counts swapped", calibrationFileContent(swapped), "Vb DAC active slope -258, expected about 258"},
        {"Vc raw values equal", withLine(50, "662000"), "Vc ADC slope 1, expected about 1.5e-05"},
        {"resistor ten times off", withLine(52, "220000"), "Ic ADC range 0 slope 7.73e-11, expected about 5.78e-10"},
        {"DAC zero level out of reach", withLine(4, "75810"), "Vb DAC idle slope 3.76e+03, expected about 258"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string reason;
        EXPECT_EQ(calibrationDataPlausible(c.content, reason), std::string(c.reason).empty());
        EXPECT_EQ(reason, c.reason);
    }
}

} // namespace
