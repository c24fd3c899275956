#include "calibration/calibration_file.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>

#include "base/safe_file.h"

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

std::size_t skipDigits(std::string_view s, std::size_t i) {
    while (i < s.size() && isDigit(s[i])) {
        ++i;
    }
    return i;
}

// Two points with equal x (a file of zeros, an erased block) give no line, nor do overflowing values:
// the coefficient then keeps its previous value instead of becoming infinite or NaN.
void fitLine(LinearCal& cal, double x1, double y1, double x2, double y2) {
    if (x1 == x2) {
        return;
    }
    const double slope = (y1 - y2) / (x1 - x2);
    const double intercept = y1 - x1 * slope;
    if (!std::isfinite(slope) || !std::isfinite(intercept)) {
        return;
    }
    cal.slope = slope;
    cal.intercept = intercept;
}

// Value of file line n (1-based).
struct Lines {
    const CalibrationValues& v;
    double operator()(std::size_t n) const { return v[n - 1]; }
};

double nonZeroOhms(double ohms) {
    return ohms == 0.0 ? 1.0 : ohms;
}

} // namespace

const CalibrationTexts& nominalCalibrationTexts() {
    static const CalibrationTexts texts = {
        "10.000", "5810",    "10.000",  "5810",     "-10.000",  "650",      "-10.000", "650",      // ±10 V
        "1.250",  "3555",    "-1500",   "-1.250",   "2905",     "1500",                            // ±1.25 V
        "20.00",  "4630",    "20.00",   "4630",     "-20.00",   "1845",     "-20.00",  "1845",     // ±20 mA
        "2.000",  "4595",    "2.000",   "4595",     "-2.000",   "1870",     "-2.000",  "1870",     // ±2 mA
        "200.0",  "4490",    "200.0",   "4490",     "-200.0",   "1965",     "-200.0",  "1965",     // ±200 µA
        "20.00",  "4610",    "20.00",   "4610",     "-20.00",   "1855",     "-20.00",  "1855",     // ±20 µA
        "9.90",   "662000",  "-9.90",   "-662000",                                                 // Vc
        "563600", "22000",   "1650000", "1350000",  "-1650000", "-1350000",                        // Rpar, range 0
        "2700",   "1220000", "1350000", "-1220000", "-1350000",                                    // range 1
        "150",    "2360000", "1350000", "-2360000", "-1350000",                                    // range 2
        "33",     "900000",  "1350000", "-900000",  "-1350000",                                    // range 3
    };
    return texts;
}

bool parseLeadingNumber(std::string_view line, double& value, std::size_t& length) {
    std::size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) {
        ++start;
    }
    bool negative = false;
    std::size_t i = start;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    i = skipDigits(line, i);
    std::size_t digits = i - mantissaStart;
    if (i < line.size() && line[i] == '.') {
        const std::size_t fractionStart = i + 1;
        const std::size_t fractionEnd = skipDigits(line, fractionStart);
        digits += fractionEnd - fractionStart;
        i = fractionEnd;
    }
    if (digits == 0) {
        return false;
    }
    if (i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
        std::size_t e = i + 1;
        if (e < line.size() && (line[e] == '+' || line[e] == '-')) {
            ++e;
        }
        const std::size_t exponentEnd = skipDigits(line, e);
        if (exponentEnd > e) {
            i = exponentEnd;
        }
    }
    // from_chars ignores the locale, which the toolkit may have changed.
    double parsed = 0.0;
    const auto result = std::from_chars(line.data() + mantissaStart, line.data() + i, parsed);
    if (result.ec != std::errc()) {
        return false;
    }
    value = negative ? -parsed : parsed;
    length = i;
    return true;
}

double readLeadingNumber(std::string_view line) {
    double value = 0.0;
    std::size_t length = 0;
    return parseLeadingNumber(line, value, length) ? value : 0.0;
}

CalibrationValues readCalibrationValues(std::string_view content) {
    CalibrationValues values{};
    std::size_t pos = 0;
    for (std::size_t n = 0; n < calibrationLineCount && pos < content.size(); ++n) {
        std::size_t end = content.find('\n', pos);
        if (end == std::string_view::npos) {
            end = content.size();
        }
        values[n] = readLeadingNumber(content.substr(pos, end - pos));
        pos = end + 1;
    }
    // Step generator current levels are typed in mA (lines 15-30) and µA (lines 31-46).
    for (std::size_t n = 15; n <= 29; n += 2) {
        values[n - 1] /= 1000.0;
    }
    for (std::size_t n = 31; n <= 45; n += 2) {
        values[n - 1] /= 1000000.0;
    }
    return values;
}

void fitCalibrationCoefficients(const CalibrationValues& values, CalibrationCoefficients& into) {
    const Lines L{values};
    fitLine(into.baseGateActiveDacV, L(1), L(2), L(5), L(6));
    fitLine(into.baseGateIdleDacV, L(3), L(4), L(7), L(8));
    // Current ranges 3, 2, 1, 0 occupy eight lines each from line 15 on.
    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t first = 15 + 8 * k;
        const std::size_t range = 3 - k;
        fitLine(into.baseGateActiveDacI[range], L(first), L(first + 1), L(first + 4), L(first + 5));
        fitLine(into.baseGateIdleDacI[range], L(first + 2), L(first + 3), L(first + 6), L(first + 7));
    }
    fitLine(into.vcAdc, L(48), L(47), L(50), L(49));
    fitLine(into.vbAdc, L(11), L(9), L(14), L(12));

    // The calibration resistor and the Vc measuring path carry the current together.
    const double parasiticOhms = nonZeroOhms(L(51));
    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t first = 52 + 5 * k;
        const double rangeOhms = nonZeroOhms(L(first));
        double rawIcPlus = L(first + 1);
        double rawIcMinus = L(first + 3);
        if (rawIcPlus == rawIcMinus) {
            rawIcPlus = 1.0;
            rawIcMinus = 0.0;
        }
        const double parallelOhms = 1.0 / (1.0 / parasiticOhms + 1.0 / rangeOhms);
        const double currentPlus = rawToVolts(L(first + 2), into.vcAdc) / parallelOhms;
        const double currentMinus = rawToVolts(L(first + 4), into.vcAdc) / parallelOhms;
        // A flat current line (no current measured, as in an erased block) would read every current as 0
        // and put the current halt limits out of reach; such a range keeps its previous coefficient.
        LinearCal range = into.icAdc[k];
        fitLine(range, rawIcPlus, currentPlus, rawIcMinus, currentMinus);
        if (range.slope != 0.0) into.icAdc[k] = range;
    }
}

std::string calibrationFileContent(const CalibrationTexts& texts) {
    std::string content;
    for (const std::string& text : texts) {
        content += text;
        content += "\r\n";
    }
    if (content.size() < calibrationBlockSize) {
        content.append(calibrationBlockSize - content.size(), '\0');
    }
    return content;
}

bool loadCalibrationFileFrom(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    fitCalibrationCoefficients(readCalibrationValues(content), calibrationCoefficients);
    return true;
}

bool writeCalibrationFileTo(const std::string& path, const CalibrationTexts& texts) {
    // In one step: a failure half-way must not leave a cut-off file to be loaded and uploaded.
    return replaceFile(path, calibrationFileContent(texts)).written;
}
