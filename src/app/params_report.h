// What "krv650 params" prints: the parameters of one run data file as text or as one JSON object.
#pragma once

#include <string>

#include "analysis/analysis.h"

struct ParamsReport {
    std::string file;              // as given on the command line
    DeviceKind kind = DeviceKind::Unknown;
    bool kindInferred = true;      // false when --device chose it
    OperatingPoint point;
    RunParameters run;
    PointParameters atPoint;
    std::string modelCard;         // empty when nothing could be fitted
};

// Lines for a person: kind, whole-run rows, the operating point's rows and the .model line.
std::string paramsReportText(const ParamsReport& report);
// One line of JSON: numbers as numbers, values that are not available as null.
std::string paramsReportJson(const ParamsReport& report);
