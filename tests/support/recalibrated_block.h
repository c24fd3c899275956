// The 71 field texts the factory sequence leaves on the virtual instrument with a meter reading 1 %
// high: a plausible calibration that differs from the nominal one in most lines.
#pragma once

#include "calibration/calibration_file.h"

inline const CalibrationTexts& recalibratedTexts() {
    static const CalibrationTexts texts = {
        "10.100", "5810", "10.100", "5810", "-10.100", "650", "-10.100", "650",
        "1.272", "3555", "-1512", "-1.272", "2905", "1512", "20.20", "4630",
        "20.20", "4630", "-20.20", "1845", "-20.20", "1845", "2.020", "4595",
        "2.020", "4595", "-2.020", "1870", "-2.020", "1870", "202.0", "4490",
        "202.0", "4490", "-202.0", "1965", "-202.0", "1965", "20.20", "4610",
        "20.20", "4610", "-20.20", "1855", "-20.20", "1855", "10.061", "666102",
        "-10.061", "-666102", "563600", "22000", "1652400", "1351964", "-1652400", "-1351964",
        "2700", "1209229", "1338081", "-1209229", "-1338081", "150", "2379269", "1361022",
        "-2379269", "-1361022", "33", "903291", "1354937", "-903291", "-1354937",
    };
    return texts;
}
