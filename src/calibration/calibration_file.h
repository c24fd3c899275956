// The calibration coefficients file KRV_cal.txt: 71 numbers, one per line (CR LF), padded with zero
// bytes to the 1024 bytes of the instrument's calibration block. The coefficients are fitted anew
// from the numbers at every load.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "calibration/calibration_coefficients.h"

inline constexpr std::size_t calibrationLineCount = 71;
inline constexpr std::size_t calibrationBlockSize = 1024;
inline constexpr const char* calibrationFileName = "KRV_cal.txt";
// The file the instrument's block last replaced: one generation back.
inline constexpr const char* previousCalibrationFileName = "KRV_cal.previous.txt";

// Line texts (index 0 is line 1) and their values after unit scaling.
using CalibrationTexts = std::array<std::string, calibrationLineCount>;
using CalibrationValues = std::array<double, calibrationLineCount>;

// The nominal field texts of an uncalibrated instrument, in file line order.
const CalibrationTexts& nominalCalibrationTexts();

// The longest leading decimal number of a line (blanks, sign, digits, point, exponent); 0 if none.
double readLeadingNumber(std::string_view line);
// The same number; false (and `value` untouched) when the text does not start with one. `length` is
// how many characters it took, leading blanks included.
bool parseLeadingNumber(std::string_view text, double& value, std::size_t& length);

// The 71 values of a file's bytes; missing lines read as 0; mA and µA levels become amperes.
CalibrationValues readCalibrationValues(std::string_view content);

// Fits every coefficient of `into` from the values; a fit without a usable line keeps its entry.
void fitCalibrationCoefficients(const CalibrationValues& values, CalibrationCoefficients& into);

// The file bytes for 71 texts: each line ended by CR LF, then zero bytes up to 1024.
std::string calibrationFileContent(const CalibrationTexts& texts);

// Reads `path` and refits calibrationCoefficients; false (nothing changed) if it cannot be opened.
bool loadCalibrationFileFrom(const std::string& path);
// Replaces `path`, in one step, with calibrationFileContent; false if it cannot be written.
bool writeCalibrationFileTo(const std::string& path, const CalibrationTexts& texts);

// KRV_cal.txt in the working directory: load, telling the user when the file is missing.
void loadCalibrationFile();
// Writes a new KRV_cal.txt from the field texts and loads it; false (nothing loaded) when it cannot be written.
bool createCalibrationFile(const CalibrationTexts& texts);

// The instrument's calibration block as the block transfer downloads and compares it.
using CalibrationBlock = std::array<std::uint8_t, calibrationBlockSize>;

bool calibrationFileCanBeOpened();
// Stands in for KRV_cal.txt until the instrument's block has been downloaded.
void createPlaceholderCalibrationFile();
// Whether the first 1024 bytes of KRV_cal.txt equal the block; false when it cannot be read or is shorter.
bool calibrationFileMatches(const CalibrationBlock& block);
// Replaces KRV_cal.txt, in one step, with exactly the block's bytes; the file it replaces (unless it
// was only the placeholder) is kept as KRV_cal.previous.txt. False with `failure` set when either file
// cannot be written; KRV_cal.txt is then as it was.
bool replaceCalibrationFileWithBlock(const CalibrationBlock& block, std::string& failure);
