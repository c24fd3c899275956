// Placeholder bodies of the analysis operations until the fits land: every value "not available".
#include "analysis/analysis.h"

PointParameters parametersAtPoint(const RunRecord&, const RunSettings&, DeviceKind, const OperatingPoint&) {
    return {};
}

RunParameters analyseRun(const RunRecord&, const RunSettings&, DeviceKind kind) {
    RunParameters parameters;
    parameters.kind = kind;
    return parameters;
}

std::vector<ParameterRow> parameterRows(const RunParameters&) { return {}; }

std::string modelCardLine(const RunParameters&, std::string_view) { return {}; }
