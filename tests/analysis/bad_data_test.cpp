// Runs the analysis cannot read a number from: every parameter is "-" or finite, and nothing crashes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "measured_runs.h"

namespace {

constexpr DeviceKind everyKind[] = {DeviceKind::Unknown,         DeviceKind::Npn,           DeviceKind::Pnp,
                                    DeviceKind::NmosEnhancement, DeviceKind::PmosEnhancement, DeviceKind::NmosDepletion,
                                    DeviceKind::PmosDepletion,   DeviceKind::Njfet,         DeviceKind::Pjfet,
                                    DeviceKind::Diode,           DeviceKind::Thyristor,     DeviceKind::Resistor};

// The recorded settings of a current-driven (bipolar) or voltage-driven (FET) run of steps 0..6.
RunColumns columnsFor(char drive) {
    RunColumns c;
    c[12] = std::string(1, drive);
    c[13] = "20";
    c[14] = "2550";
    c[15] = "0.01";
    c[16] = "0.000005";
    c[17] = "0";
    c[18] = "0.5";
    c[19] = drive == 'V' ? "2" : "0";
    c[20] = "6";
    c[21] = "0";
    c[22] = "0";
    c[23] = "100";
    c[24] = "ClampOff";
    c[25] = "0";
    c[26] = "Note1...";
    return c;
}

// A bipolar family: 150 Ib (1 + Vc / 80) above a 0.1 V knee, n samples from 0 to 20 V per step.
void fillFamily(RunRecord& r, int steps, int samples, char drive) {
    for (int s = 0; s < steps; ++s) {
        r.entryCount[s] = samples;
        for (int e = 1; e <= samples; ++e) {
            const double vc = 20.0 * e / samples;
            r.VR[s][e] = vc;
            r.VC[s][e] = vc;
            r.IC[s][e] = 150 * 5e-6 * s * (1 + vc / 80) * (1 - std::exp(-vc / 0.1));
            (drive == 'I' ? r.TIB : r.TVB)[s][e] = drive == 'I' ? 5e-6 * s : 2 + 0.5 * s;
        }
    }
}

// Every number the analysis gives for a record under one kind, at points inside and outside the run.
void expectNoMadeUpNumbers(const RunRecord& record, const RunSettings& settings, DeviceKind kind,
                           const std::string& label) {
    SCOPED_TRACE(label + " as " + deviceKindName(kind));
    const RunParameters run = analyseRun(record, settings, kind);
    for (const ParameterRow& row : parameterRows(run)) {
        EXPECT_TRUE(!row.value.available || std::isfinite(row.value.value)) << row.name << " step " << row.step;
        const std::string text = formatParameter(row.value);
        EXPECT_EQ(text.find("nan"), std::string::npos) << row.name << ": " << text;
        EXPECT_EQ(text.find("inf"), std::string::npos) << row.name << ": " << text;
    }
    const std::string card = modelCardLine(run, "DUT");
    EXPECT_EQ(card.find("nan"), std::string::npos) << card;
    EXPECT_EQ(card.find("inf"), std::string::npos) << card;
    const OperatingPoint points[] = {{0, 0, false, 0},     {3, 10, false, 0},  {6, 20, false, 0}, {24, 5, false, 0},
                                     {3, -1e9, false, 0},  {3, 1e9, false, 0}, {3, 0, true, 1e-3}, {-1, 5, false, 0},
                                     {3, std::nan(""), false, 0}};
    for (const OperatingPoint& at : points) {
        const PointParameters p = parametersAtPoint(record, settings, kind, at);
        for (const ParameterValue* v : {&p.collectorVoltage, &p.collectorCurrent, &p.hfe, &p.beta, &p.gm, &p.go, &p.ro,
                                        &p.earlyVoltage, &p.lambda})
            EXPECT_TRUE(!v->available || std::isfinite(v->value)) << "step " << at.step << " at " << at.collectorVoltage;
    }
}

struct BadRun {
    const char* name;
    char drive;
    std::function<void(RunRecord&)> fill;
};

const BadRun badRuns[] = {
    {"empty run", 'I', [](RunRecord&) {}},
    {"one step", 'I', [](RunRecord& r) { fillFamily(r, 1, 200, 'I'); }},
    {"steps of two samples", 'V', [](RunRecord& r) { fillFamily(r, 7, 2, 'V'); }},
    {"one sample per step", 'I', [](RunRecord& r) { fillFamily(r, 7, 1, 'I'); }},
    {"every sample at one Vc", 'I',
     [](RunRecord& r) {
         fillFamily(r, 7, 200, 'I');
         for (int s = 0; s < 7; ++s)
             for (int e = 1; e <= 200; ++e) r.VC[s][e] = 5.0;
     }},
    {"flat zero currents", 'V',
     [](RunRecord& r) {
         fillFamily(r, 7, 200, 'V');
         for (int s = 0; s < 7; ++s)
             for (int e = 1; e <= 200; ++e) r.IC[s][e] = 0;
     }},
    {"a full record of steps with NaN and infinities", 'I',
     [](RunRecord& r) {
         fillFamily(r, runRecordSteps, runRecordEntries, 'I');
         const double bad[] = {std::nan(""), std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(), 1e308};
         for (int s = 0; s < runRecordSteps; ++s)
             for (int e = 1; e <= runRecordEntries; e += 37) (e % 2 ? r.IC : r.VC)[s][e] = bad[(s + e) % 4];
     }},
};

TEST(BadData, NoKindMakesUpANumber) {
    auto record = std::make_unique<RunRecord>();
    for (const BadRun& bad : badRuns) {
        clearRunRecord(*record);
        bad.fill(*record);
        const RunSettings settings = parseRunSettings(columnsFor(bad.drive));
        ASSERT_TRUE(settings.valid);
        EXPECT_NE(deviceKindName(inferDeviceKind(*record, settings)), nullptr) << bad.name;
        for (DeviceKind kind : everyKind) expectNoMadeUpNumbers(*record, settings, kind, bad.name);
    }
}

TEST(BadData, AnEmptyRunHasNoParametersAndNoCard) {
    auto record = std::make_unique<RunRecord>();
    const RunSettings settings = parseRunSettings(columnsFor('I'));
    for (DeviceKind kind : everyKind) {
        const RunParameters run = analyseRun(*record, settings, kind);
        for (const ParameterRow& row : parameterRows(run))
            EXPECT_EQ(formatParameter(row.value), "-") << deviceKindName(kind) << " " << row.name;
        EXPECT_EQ(modelCardLine(run, "DUT"), "") << deviceKindName(kind);
        const PointParameters p = parametersAtPoint(*record, settings, kind, {3, 5, false, 0});
        EXPECT_FALSE(p.collectorCurrent.available || p.hfe.available || p.go.available || p.gm.available);
    }
}

// A slope needs a spread of Vc; differences between steps need a neighbour.
TEST(BadData, SlopesAndStepDifferencesNeedTheirData) {
    auto record = std::make_unique<RunRecord>();
    fillFamily(*record, 7, 200, 'I');
    for (int s = 0; s < 7; ++s)
        for (int e = 1; e <= 200; ++e) record->VC[s][e] = 5.0;
    const RunSettings family = parseRunSettings(columnsFor('I'));
    const PointParameters vertical = parametersAtPoint(*record, family, DeviceKind::Npn, {3, 5, false, 0});
    EXPECT_FALSE(vertical.go.available || vertical.ro.available || vertical.earlyVoltage.available);

    clearRunRecord(*record);
    fillFamily(*record, 1, 200, 'I');
    RunColumns oneStep = columnsFor('I');
    oneStep[20] = "0";
    const PointParameters alone = parametersAtPoint(*record, parseRunSettings(oneStep), DeviceKind::Npn, {0, 10, false, 0});
    EXPECT_FALSE(alone.beta.available);
    EXPECT_FALSE(alone.hfe.available); // its base current is 0
}

// A voltage-driven run has no base current, a current-driven one no gate voltage steps: a MOSFET run
// read as an NPN must not show drain current over gate volts as hFE, nor an NPN run dIc/dIb as gm.
TEST(BadData, ARunOfTheWrongDriveGivesNoGainOfThatKind) {
    auto record = std::make_unique<RunRecord>();
    fillFamily(*record, 7, 200, 'V');
    const RunSettings voltageDriven = parseRunSettings(columnsFor('V'));
    for (DeviceKind kind : {DeviceKind::Npn, DeviceKind::Pnp}) {
        const PointParameters p = parametersAtPoint(*record, voltageDriven, kind, {3, 10, false, 0});
        EXPECT_FALSE(p.hfe.available || p.beta.available) << deviceKindName(kind);
        EXPECT_FALSE(analyseRun(*record, voltageDriven, kind).hfe.available) << deviceKindName(kind);
    }
    clearRunRecord(*record);
    fillFamily(*record, 7, 200, 'I');
    const RunSettings currentDriven = parseRunSettings(columnsFor('I'));
    for (DeviceKind kind : {DeviceKind::NmosEnhancement, DeviceKind::Njfet}) {
        const PointParameters p = parametersAtPoint(*record, currentDriven, kind, {3, 10, false, 0});
        EXPECT_FALSE(p.gm.available) << deviceKindName(kind);
        const RunParameters run = analyseRun(*record, currentDriven, kind);
        EXPECT_FALSE(run.threshold.available || run.gainFactor.available) << deviceKindName(kind);
    }
}

// The measured parts, each analysed as every other kind.
TEST(BadData, MeasuredPartsAsEveryKind) {
    for (const char* name : {"npn", "nmos-enh", "njfet", "diode", "1k"}) {
        const MeasuredRun& measured = measuredRun(name);
        ASSERT_TRUE(measured.failure.empty()) << measured.failure;
        const LoadedRun run = loadRunText(measured.csv);
        for (DeviceKind kind : everyKind) expectNoMadeUpNumbers(*run.record, run.settings, kind, name);
    }
}

// Texts a file can hold where numbers belong reach the analysis through the sample-run reader.
TEST(BadData, HandMadeFileWithNaNAndInfinities) {
    std::string csv =
        "Step,Entry,Entries,VR,VB,VC,IR,IB,IC,TIB,TVB,BGmode,VCmax,VCres,ICmax,IBstep,IBoffset,VBstep,VBoffset,StepQty,"
        "Cpulse,BGpulse,SampleRate,BaseClamping,GraphType,Notes1,Notes2\r\n"
        "0,0,4,0,0,0,0,0,0,0,0,I,20,2550,0.01,nan,inf,0.1,0,2,0,0,100,ClampOnIdle,0,Note1...,Note1...\r\n";
    const char* values[] = {"nan", "inf", "-inf", "1e400", "0.001", "2", "1e-320", "x"};
    for (int s = 0; s <= 2; ++s)
        for (int e = 1; e <= 4; ++e)
            csv += std::to_string(s) + "," + std::to_string(e) + ",4,1," + values[(s + e) % 8] + "," +
                   values[(s * 3 + e) % 8] + ",0,0," + values[(s + 2 * e) % 8] + ",0.00001,0,,,,,,,,,,,,,,,,\r\n";
    const LoadedRun run = loadRunText(csv);
    for (DeviceKind kind : everyKind) expectNoMadeUpNumbers(*run.record, run.settings, kind, "hand-made file");
}

} // namespace
