// Curves to numbers: device parameters, fits and model cards of one run, read from its record and its
// recorded settings. Pure: no windows, no program-wide state; the panel, the side files and the
// command line all call these.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "sweep/run_record.h"

// The recorded settings of a run by run data column (12 BGmode ... 27 Notes2), as sample runs keep them.
using RunColumns = std::array<std::string, 33>;

enum class DeviceKind {
    Unknown,
    Npn,
    Pnp,
    NmosEnhancement,
    PmosEnhancement,
    NmosDepletion,
    PmosDepletion,
    Njfet,
    Pjfet,
    Diode,
    Thyristor,
    Resistor,
};

// "npn", "pnp", "nmos-enh", "pmos-enh", "nmos-dep", "pmos-dep", "njfet", "pjfet", "diode", "scr",
// "resistor" (the virtual instrument's --device names); "unknown".
const char* deviceKindName(DeviceKind kind);
// The inverse of deviceKindName; false for any other text.
bool parseDeviceKind(std::string_view name, DeviceKind& kind);

// The settings of a run that the analysis needs, parsed from its recorded columns.
struct RunSettings {
    bool valid = false;        // false when BGmode is neither "I" nor "V" or StepQty is not a number
    char driveMode = 'I';      // 'I' current drive (bipolar), 'V' voltage drive (FETs)
    double peakVoltage = 0;    // V, signed: negative for a negative collector supply
    double peakCurrent = 0;    // A, signed
    double seriesResistance = 0; // ohm
    double stepSize = 0;       // A or V per step, signed, of the drive mode in force
    double stepOffset = 0;     // A or V, signed
    int stepCount = 0;         // StepQty: steps 0..stepCount
    int graphType = 0;
};
RunSettings parseRunSettings(const RunColumns& columns);
// Drive level of step k: stepOffset + stepSize x k (A or V).
double stepDriveLevel(const RunSettings& settings, int step);

// The device kind from the drive mode, the collector polarity and the measured curves.
DeviceKind inferDeviceKind(const RunRecord& record, const RunSettings& settings);

// One number read off the curves, in its base unit, or "not available" ("-" on screen).
struct ParameterValue {
    bool available = false;
    double value = 0;          // base unit; never NaN or infinite when available
    const char* unit = "";     // "A", "V", "S", "ohm", "A/V^2", "1/V" or "" for a ratio
    bool fitted = false;       // quality below is meaningful
    double quality = 0;        // R^2 of the fit the value came from, 0..1
};

// A value read off the curves; not available when it is not a finite number. The quality is clamped to 0..1.
ParameterValue parameterValue(double value, const char* unit, double quality = 0, bool fitted = false);

// Engineering text with its unit ("150.2", "80.12 V", "1.002 kR"), or "-" when not available.
std::string formatParameter(const ParameterValue& value);

// Where the user points: the XA cursor's collector voltage on one step, or a collector current (YA).
struct OperatingPoint {
    int step = 0;                  // 0..24
    double collectorVoltage = 0;   // V
    bool byCurrent = false;        // true: find the point where the step reaches collectorCurrent
    double collectorCurrent = 0;   // A
};

// Parameters at an operating point; those that do not apply to the kind stay not available.
struct PointParameters {
    ParameterValue collectorVoltage; // V at the point
    ParameterValue collectorCurrent; // A at the point
    ParameterValue hfe;              // Ic / Ib (bipolar)
    ParameterValue beta;             // dIc / dIb between the neighbouring steps (bipolar)
    ParameterValue gm;               // dId / dVgs between the neighbouring steps (FETs), S
    ParameterValue go;               // output conductance, least-squares slope of the samples, S
    ParameterValue ro;               // 1 / go, ohm
    ParameterValue earlyVoltage;     // V (bipolar)
    ParameterValue lambda;           // 1/V (FETs)
};
PointParameters parametersAtPoint(const RunRecord& record, const RunSettings& settings, DeviceKind kind,
                                  const OperatingPoint& point);

// Parameters of the whole run.
struct RunParameters {
    DeviceKind kind = DeviceKind::Unknown;
    std::array<ParameterValue, runRecordSteps> saturationVoltage; // Vce(sat) at the knee of each step, V
    std::array<ParameterValue, runRecordSteps> onResistance;      // Ron of each step's linear region, ohm
    ParameterValue hfe;              // DC gain of the middle step's active region extrapolated to Vce = 0 (bipolar)
    ParameterValue reverseBeta;      // BR from the reverse-active region, where the run reached it (bipolar)
    ParameterValue earlyVoltage;     // from the extrapolated slopes of the family, V (bipolar)
    ParameterValue lambda;           // channel-length modulation, 1/V (FETs)
    ParameterValue threshold;        // Vth (enhancement) or pinch-off Vp (depletion, JFET), V
    ParameterValue gainFactor;       // KP (MOSFET, A/V^2) or BETA (JFET, A/V^2)
    ParameterValue idss;             // Id at Vgs = 0 (depletion, JFET), A
    ParameterValue forwardVoltage;   // diode Vf at the reference current, V
    double forwardVoltageCurrent = 0; // A, the current Vf is read at
    ParameterValue saturationCurrent; // IS, A (diode; bipolar from the base voltages)
    ParameterValue ideality;         // diode N
    ParameterValue seriesResistance; // diode RS, ohm
    ParameterValue breakdownVoltage; // where the sweep reached it (thyristor: breakover), V
    double breakdownCurrent = 0;     // A, the current the breakdown voltage is read at
    ParameterValue resistance;       // resistor value, ohm
};
RunParameters analyseRun(const RunRecord& record, const RunSettings& settings, DeviceKind kind);

// One printable row of the parameters: the name as shown ("hFE", "Vth"), a key for files and JSON
// ("hfe", "vth"), the step it belongs to (-1 for the whole run) and the value.
struct ParameterRow {
    std::string name;
    std::string key;
    int step = -1;
    ParameterValue value;
};
// Every parameter that applies to the kind, whole-run rows first, then the per-step rows.
std::vector<ParameterRow> parameterRows(const RunParameters& parameters);

// A SPICE ".model" line from the fits, for example ".model Q1 NPN(IS=1e-14 BF=150 VAF=80)"; only the
// measured values appear. Empty when nothing for the kind could be fitted.
std::string modelCardLine(const RunParameters& parameters, std::string_view modelName);
