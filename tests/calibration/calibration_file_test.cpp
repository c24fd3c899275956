#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "calibration/calibration_file.h"

namespace {

CalibrationCoefficients fitted(const std::string& content, const CalibrationCoefficients& previous = {}) {
    CalibrationCoefficients c = previous;
    fitCalibrationCoefficients(readCalibrationValues(content), c);
    return c;
}

std::vector<LinearCal> allOf(const CalibrationCoefficients& c) {
    std::vector<LinearCal> all = {c.baseGateActiveDacV, c.baseGateIdleDacV, c.vcAdc, c.vbAdc};
    all.insert(all.end(), c.baseGateActiveDacI.begin(), c.baseGateActiveDacI.end());
    all.insert(all.end(), c.baseGateIdleDacI.begin(), c.baseGateIdleDacI.end());
    all.insert(all.end(), c.icAdc.begin(), c.icAdc.end());
    return all;
}

void expectAllFinite(const CalibrationCoefficients& c) {
    for (const LinearCal& cal : allOf(c)) {
        EXPECT_TRUE(std::isfinite(cal.slope));
        EXPECT_TRUE(std::isfinite(cal.intercept));
    }
}

std::string nominalFile() {
    return calibrationFileContent(nominalCalibrationTexts());
}

CalibrationTexts nominalWith(std::initializer_list<std::pair<int, const char*>> lines) {
    CalibrationTexts texts = nominalCalibrationTexts();
    for (const auto& [line, text] : lines) {
        texts[static_cast<std::size_t>(line - 1)] = text;
    }
    return texts;
}

TEST(CalibrationFile, NominalTextsGiveTheNominalCoefficients) {
    const CalibrationCoefficients c = fitted(nominalFile());
    // Vc: ±9.90 V at ±662 000 counts
    EXPECT_DOUBLE_EQ(c.vcAdc.slope, 19.8 / 1324000.0);
    EXPECT_DOUBLE_EQ(c.vcAdc.intercept, 0.0);
    EXPECT_NEAR(rawToVolts(662000, c.vcAdc), 9.90, 1e-12);
    // Vb: +1.25 V at -1500 counts, -1.25 V at +1500
    EXPECT_DOUBLE_EQ(c.vbAdc.slope, -2.5 / 3000.0);
    EXPECT_NEAR(c.vbAdc.intercept, 0.0, 1e-12);
    // ±10 V at 5810 and 650 counts: 258 counts per volt around 3230
    EXPECT_DOUBLE_EQ(c.baseGateActiveDacV.slope, 258.0);
    EXPECT_DOUBLE_EQ(c.baseGateActiveDacV.intercept, 3230.0);
    EXPECT_DOUBLE_EQ(c.baseGateIdleDacV.slope, 258.0);
    // current ranges: mA and µA lines become amperes
    EXPECT_NEAR(c.baseGateActiveDacI[3].slope, 2785.0 / 0.04, 1e-6);   // ±20 mA
    EXPECT_NEAR(c.baseGateActiveDacI[3].intercept, 3237.5, 1e-9);
    EXPECT_NEAR(c.baseGateIdleDacI[2].slope, 2725.0 / 0.004, 1e-6);    // ±2 mA
    EXPECT_NEAR(c.baseGateActiveDacI[1].slope, 2525.0 / 0.0004, 1e-3); // ±200 µA
    EXPECT_NEAR(c.baseGateActiveDacI[1].intercept, 3227.5, 1e-9);
    EXPECT_NEAR(c.baseGateIdleDacI[0].slope, 2755.0 / 0.00004, 1e-2);  // ±20 µA
    EXPECT_NEAR(c.baseGateIdleDacI[0].intercept, 3232.5, 1e-9);
    // Ic range 0: 22 kΩ parallel to 563.6 kΩ, ±1 350 000 Vc counts at ±1 650 000 Ic counts
    const double parallel = 1.0 / (1.0 / 563600.0 + 1.0 / 22000.0);
    const double amps = 1350000.0 * 19.8 / 1324000.0 / parallel;
    EXPECT_NEAR(c.icAdc[0].slope, amps / 1650000.0, 1e-22);
    EXPECT_NEAR(c.icAdc[0].intercept, 0.0, 1e-18);
    // range 3: 33 Ω parallel to 563.6 kΩ at ±900 000 counts
    const double parallel3 = 1.0 / (1.0 / 563600.0 + 1.0 / 33.0);
    EXPECT_NEAR(c.icAdc[3].slope, 1350000.0 * 19.8 / 1324000.0 / parallel3 / 900000.0, 1e-18);
}

TEST(CalibrationFile, IdleAndActiveDacLinesFitTheirOwnCoefficients) {
    // The nominal file has equal idle and active lines; here the idle ones differ.
    const CalibrationCoefficients c = fitted(calibrationFileContent(nominalWith({
        {3, "10.000"}, {4, "5900"}, {7, "-10.000"}, {8, "700"},     // idle ±10 V
        {17, "20.00"}, {18, "4700"}, {21, "-20.00"}, {22, "1800"},  // idle ±20 mA
        {41, "20.00"}, {42, "4650"}, {45, "-20.00"}, {46, "1850"},  // idle ±20 µA
    })));
    EXPECT_DOUBLE_EQ(c.baseGateActiveDacV.slope, 258.0);
    EXPECT_DOUBLE_EQ(c.baseGateActiveDacV.intercept, 3230.0);
    EXPECT_DOUBLE_EQ(c.baseGateIdleDacV.slope, 260.0);
    EXPECT_DOUBLE_EQ(c.baseGateIdleDacV.intercept, 3300.0);

    EXPECT_NEAR(c.baseGateActiveDacI[3].slope, 2785.0 / 0.04, 1e-6);
    EXPECT_NEAR(c.baseGateActiveDacI[3].intercept, 3237.5, 1e-9);
    EXPECT_NEAR(c.baseGateIdleDacI[3].slope, 2900.0 / 0.04, 1e-6);
    EXPECT_NEAR(c.baseGateIdleDacI[3].intercept, 3250.0, 1e-9);

    EXPECT_NEAR(c.baseGateActiveDacI[0].slope, 2755.0 / 0.00004, 1e-2);
    EXPECT_NEAR(c.baseGateIdleDacI[0].slope, 2800.0 / 0.00004, 1e-2);
    EXPECT_NEAR(c.baseGateIdleDacI[0].intercept, 3250.0, 1e-9);
}

TEST(CalibrationFile, ContentIsCrLfLinesPaddedWithZerosTo1024) {
    const std::string content = nominalFile();
    ASSERT_EQ(content.size(), 1024u);
    EXPECT_EQ(content.substr(0, 14), "10.000\r\n5810\r\n");
    const std::string text = content.substr(0, content.find('\0'));
    std::size_t lines = 0;
    for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) {
        ++lines;
    }
    EXPECT_EQ(lines, 71u);
    EXPECT_EQ(text.substr(text.size() - 10), "-1350000\r\n");
    EXPECT_EQ(content.find_first_not_of('\0', text.size()), std::string::npos);

    // text of 1024 bytes or more is written whole, without padding
    CalibrationTexts longTexts = nominalCalibrationTexts();
    longTexts[70] = std::string(1200, '7');
    EXPECT_EQ(calibrationFileContent(longTexts).size(), text.size() - 10 + 1202);
}

TEST(CalibrationFile, LeadingNumberOfALine) {
    const std::pair<const char*, double> cases[] = {
        {"10.000", 10.0}, {"+5810", 5810.0},  {"-1650000", -1650000.0}, {"  -3.5e2 V", -350.0},
        {"\t42", 42.0},   {"1.25E-3", 0.00125}, {"7e", 7.0},            {"7e+", 7.0},
        {".5", 0.5},      {"5.", 5.0},         {"-.25", -0.25},         {"12abc", 12.0},
        {"5810\r", 5810.0}, {"", 0.0},         {"abc", 0.0},            {"-", 0.0},
        {"+-5", 0.0},     {".", 0.0},          {"inf", 0.0},            {"nan", 0.0},
        {"0x1A", 0.0},    {"1e999", 0.0},      {"1,5", 1.0},            {"- 5", 0.0},
    };
    for (const auto& [line, value] : cases) {
        EXPECT_DOUBLE_EQ(readLeadingNumber(line), value) << '"' << line << '"';
    }
}

TEST(CalibrationFile, MissingLinesReadAsZeroAndLevelsAreScaled) {
    const CalibrationValues v = readCalibrationValues("1\n2\r\n\r\n+4\nabc\n6");
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(v[1], 2.0);
    EXPECT_EQ(v[2], 0.0);
    EXPECT_EQ(v[3], 4.0);
    EXPECT_EQ(v[4], 0.0);
    EXPECT_EQ(v[5], 6.0);
    for (std::size_t i = 6; i < calibrationLineCount; ++i) {
        EXPECT_EQ(v[i], 0.0);
    }

    std::string content;
    for (int n = 1; n <= 71; ++n) {
        content += "1000\r\n";
    }
    const CalibrationValues s = readCalibrationValues(content);
    EXPECT_EQ(s[14 - 1], 1000.0);
    EXPECT_EQ(s[15 - 1], 1.0);   // mA
    EXPECT_EQ(s[16 - 1], 1000.0); // DAC counts stay
    EXPECT_EQ(s[29 - 1], 1.0);
    EXPECT_EQ(s[31 - 1], 0.001); // µA
    EXPECT_EQ(s[45 - 1], 0.001);
    EXPECT_EQ(s[46 - 1], 1000.0);
    EXPECT_EQ(s[47 - 1], 1000.0);
}

TEST(CalibrationFile, DegenerateFitsKeepThePreviousCoefficients) {
    // a file of zeros (or an erased block) has equal x values in every pair
    CalibrationCoefficients previous = fitted(nominalFile());
    const CalibrationCoefficients zeros = fitted(std::string(1024, '\0'), previous);
    EXPECT_EQ(zeros.vcAdc.slope, previous.vcAdc.slope);
    EXPECT_EQ(zeros.vbAdc.slope, previous.vbAdc.slope);
    EXPECT_EQ(zeros.baseGateActiveDacV.intercept, previous.baseGateActiveDacV.intercept);
    EXPECT_EQ(zeros.baseGateIdleDacI[0].slope, previous.baseGateIdleDacI[0].slope);
    // equal raw Ic values become 1 and 0, but with no current measured the line would be flat: a range
    // that reads every current as 0 could never trip its halt limit, so it keeps its previous line
    for (std::size_t k = 0; k < zeros.icAdc.size(); ++k) {
        EXPECT_EQ(zeros.icAdc[k].slope, previous.icAdc[k].slope);
        EXPECT_EQ(zeros.icAdc[k].intercept, previous.icAdc[k].intercept);
        EXPECT_NE(zeros.icAdc[k].slope, 0.0);
    }
    expectAllFinite(zeros);

    // one pair with equal readings only keeps that one coefficient
    const CalibrationCoefficients oneBad = fitted(calibrationFileContent(nominalWith({{5, "10.000"}})), {});
    EXPECT_EQ(oneBad.baseGateActiveDacV.slope, 1.0);
    EXPECT_EQ(oneBad.baseGateIdleDacV.slope, 258.0);

    // values so large that the fit overflows are no line either
    const CalibrationCoefficients huge =
        fitted(calibrationFileContent(nominalWith({{47, "1e308"}, {49, "-1e308"}, {48, "1e-300"}, {50, "-1e-300"}})), previous);
    EXPECT_EQ(huge.vcAdc.slope, previous.vcAdc.slope);
    expectAllFinite(huge);
}

TEST(CalibrationFile, ZeroResistorsAndEqualRawCurrents) {
    // resistor lines of 0 count as 1 Ω; Rpar 0 also
    const CalibrationCoefficients c = fitted(calibrationFileContent(nominalWith({{51, "0"}, {57, "0"}})));
    const double vc = 1350000.0 * 19.8 / 1324000.0;
    EXPECT_NEAR(c.icAdc[1].slope, (vc / 0.5) / 1220000.0, 1e-15);
    const double parallel0 = 1.0 / (1.0 + 1.0 / 22000.0);
    EXPECT_NEAR(c.icAdc[0].slope, (vc / parallel0) / 1650000.0, 1e-15);

    // equal raw Ic (+) and (-): taken as 1 and 0
    const CalibrationCoefficients e = fitted(calibrationFileContent(nominalWith({{68, "5"}, {70, "5"}})));
    const double parallel3 = 1.0 / (1.0 / 563600.0 + 1.0 / 33.0);
    const double current = vc / parallel3;
    EXPECT_NEAR(e.icAdc[3].slope, 2.0 * current, 1e-12);
    EXPECT_NEAR(e.icAdc[3].intercept, -current, 1e-12);
}

TEST(CalibrationFile, BadFilesLoadWithoutCrashAndStayFinite) {
    std::mt19937 random(1234);
    std::string noise(1024, '\0');
    for (char& ch : noise) {
        ch = static_cast<char>(random() & 0xFF);
    }
    std::string typed;
    const char* odd[] = {"+10", " 5810 ", "1e3", "-1E-2", "text", "1e", "++1", "   ", "0.0.1", "9e99999"};
    for (int n = 0; n < 71; ++n) {
        typed += std::string(odd[n % 10]) + "\r\n";
    }
    const std::string cases[] = {"", "1\r\n2\r\n3", std::string(1024, '\0'), std::string(1024, '\xFF'), noise, typed,
                                 std::string(5000, '\n'), "1e308\n-1e308\n1e308\n-1e308\n1e308\n-1e308\n1e308\n-1e308"};
    for (const std::string& content : cases) {
        expectAllFinite(fitted(content));
        expectAllFinite(fitted(content, fitted(nominalFile())));
    }
}

class CalibrationFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("krv_cal_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir);
        resetCalibrationDefaults();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(CalibrationFileOnDisk, WriteThenLoad) {
    const std::string path = (dir / calibrationFileName).string();
    ASSERT_TRUE(writeCalibrationFileTo(path, nominalCalibrationTexts()));
    EXPECT_EQ(std::filesystem::file_size(path), 1024u);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, nominalFile());

    ASSERT_TRUE(loadCalibrationFileFrom(path));
    EXPECT_DOUBLE_EQ(calibrationCoefficients.vcAdc.slope, 19.8 / 1324000.0);
}

TEST_F(CalibrationFileOnDisk, MissingFileLeavesCoefficientsAlone) {
    calibrationCoefficients.vcAdc = {2.0, 3.0};
    EXPECT_FALSE(loadCalibrationFileFrom((dir / "absent.txt").string()));
    EXPECT_EQ(calibrationCoefficients.vcAdc.slope, 2.0);
    EXPECT_EQ(calibrationCoefficients.vcAdc.intercept, 3.0);
    EXPECT_FALSE(writeCalibrationFileTo((dir / "no" / "such" / "folder.txt").string(), nominalCalibrationTexts()));
}

} // namespace
