#include "ui/adc_dac_window_layout.h"

#include <string>

#include "base/calibration_window_colours.h"
#include "calibration/dmm_link.h"
#include "calibration/fixture_link.h"
#include "ui/calibration_window_parts.h"
#include "ui/calibration_windows.h"
#include "platform/platform.h"

namespace adcdac {

namespace {

using calwin::adcDacWindow;

constexpr int leftX = 10;
constexpr int rightX = 640;
constexpr int columnWidth = 620;
constexpr int fieldHeight = gridRow - 3;

int rowY(int row) {
    return 10 + row * gridRow;
}

std::string numbered(int number, const char* text) {
    return std::to_string(number) + text;
}

// x offsets within a column of the parts of a calibration row.
enum RowX : int {
    pressText = 0,
    levelX = 124,
    levelTickX = 176,
    dmmText = 200,
    dmmFieldX = 284,
    unitX = 341,
    calText = 362,
    calX = 442,
    calTickX = 480,
    letterX = 504,
    dacX = 518,
    rawX = 566,
};

CalibrationRow vbRow(const char* caption, bool active, int dmm, int raw, bool timing, int number) {
    return {caption, RowKind::Vb, active, dmm, dmm + 1, raw, dmm + 1, 3, false, timing, "V", "10V", 1.0, 3, number};
}

CalibrationRow ibRow(int i) {
    static const char* const captions[8] = {"+20mA", "-20mA", "+2mA", "-2mA", "+200uA", "-200uA", "+20uA", "-20uA"};
    static const char* const ranges[4] = {"100mA", "10mA", "1mA", "100uA"};
    static const double scales[4] = {1000.0, 1000.0, 1000000.0, 1000000.0};
    static const int decimals[4] = {2, 3, 1, 2};
    const int decade = i / 4;
    const int dmm = 14 + 2 * i;
    return {captions[i / 2], RowKind::Ib,     i % 2 == 0,      dmm,          dmm + 1,          -1,
            dmm + 1,         3 - decade,      false,           i == 0,       decade < 2 ? "mA" : "uA",
            ranges[decade],  scales[decade],  decimals[decade], 22 + 3 * i};
}

CalibrationRow vcRow(const char* caption, bool negative, int dmm, int dacSource, int number) {
    return {caption, RowKind::Vc, true, dmm, -1, dmm + 1, dacSource, 3, negative, true, "V", "10V", 1.0, 3, number};
}

void field(int index, int x, int y, int width, const std::string& text, bool readOnly) {
    const int control = coefficientField + index;
    platform::createTextField(control, adcDacWindow, 0, x, y, width, fieldHeight, readOnly);
    platform::setControlRightAligned(control, true);
    platform::setControlText(control, text);
}

void readOnlyField(int control, int x, int y, int width, const std::string& text) {
    platform::createTextField(control, adcDacWindow, 0, x, y, width, fieldHeight, true);
    platform::setControlText(control, text);
}

void button(int control, int x, int y, int width, const std::string& caption) {
    platform::createButton(control, adcDacWindow, 0, x, y, width, fieldHeight, caption);
}

void calibrationRow(LabelNumbers& labels, int r, int x, int y, const std::string& initialDmm) {
    const CalibrationRow& row = calibrationRows()[static_cast<std::size_t>(r)];
    const int w = adcDacWindow;
    addLabel(labels, w, x + pressText, y, levelX - 2, numbered(row.firstNumber, ". Press button ->"), true);
    button(levelButton + r, x + levelX, y, 50, row.caption);
    addTick(levelTick + r, w, x + levelTickX, y);
    addLabel(labels, w, x + dmmText, y, dmmFieldX - dmmText - 2, numbered(row.firstNumber + 1, ". DMM? ->"), true);
    field(row.dmmField, x + dmmFieldX, y, 55, initialDmm, false);
    addLabel(labels, w, x + unitX, y, calText - unitX, row.unit);
    addLabel(labels, w, x + calText, y, calX - calText - 2, numbered(row.firstNumber + 2, ". Press ->"), true);
    button(calButton + r, x + calX, y, 36, "Cal.");
    addTick(calTick + r, w, x + calTickX, y);
    if (row.kind != RowKind::Vc) addLabel(labels, w, x + letterX, y, dacX - letterX, row.active ? "A " : "O ");
    if (row.kind == RowKind::Vc) addLabel(labels, w, x + letterX, y, rawX - letterX - 2, "ADC (Vc)");
    if (row.dacField >= 0) field(row.dacField, x + dacX, y, 46, "0", true);
    if (row.rawField >= 0) field(row.rawField, x + rawX, y, 54, "0", true);
}

const char* const initialDmmTexts[] = {"10.000", "10.000", "-10.000", "-10.000", "1.250",  "-1.250",
                                       "20.00",  "20.00",  "-20.00",  "-20.00",  "2.000",  "2.000",
                                       "-2.000", "-2.000", "200.0",   "200.0",   "-200.0", "-200.0",
                                       "20.00",  "20.00",  "-20.00",  "-20.00",  "9.900",  "-9.900"};

void buildLeftColumn(LabelNumbers& labels) {
    const int w = adcDacWindow;
    // The introduction, broken into lines by hand, in the two rows above the first heading.
    const char* const intro[3] = {
        "To calibrate KRV650 follow instructions below in numeric sequence.",
        "Use DAC ADJUSTMENT CONTROLS (bottom-right) to get correct or near readings on DMM",
        "(voltmeter/ammeter). Enter actual DMM readings.",
    };
    for (int i = 0; i < 3; ++i) platform::createText(introText + i, w, 0, leftX, rowY(0) - 4 + 16 * i, columnWidth, 16, intro[i]);
    addHeading(firstHeading + 0, w, leftX, rowY(2), columnWidth, "Initial Calibration Values");
    addLabel(labels, w, leftX, rowY(3), 355, "1. Choose which values to kickstart the calibration? ->", true);
    button(existingValuesButton, leftX + 360, rowY(3), 125, "Existing Values");
    button(defaultValuesButton, leftX + 490, rowY(3), 125, "Default Values");

    addHeading(firstHeading + 1, w, leftX, rowY(4), columnWidth,
               "Step Generator Active/Offset DACs (Vb mode) and Vb ADC- adjust/calibrate");
    addLabel(labels, w, leftX, rowY(5), dacX - 5,
             "2. Connect BLUE terminal to VOLTMETER(+) and BLACK terminal to VOLTMETER(-).");
    addLabel(labels, w, leftX + dacX, rowY(5), 50, "DAC");
    addLabel(labels, w, leftX + rawX, rowY(5), 54, "ADC(Vb)");
    for (int r = 0; r < 6; ++r) calibrationRow(labels, r, leftX, rowY(6 + r), initialDmmTexts[r]);

    addHeading(firstHeading + 2, w, leftX, rowY(12), columnWidth, "Step Generator DAC (Ib mode) - adjust/calibrate");
    addLabel(labels, w, leftX, rowY(13), dacX - 5,
             "21. Connect BLUE terminal to AMMETER(+) and BLACK terminal to AMMETER(-).");
    addLabel(labels, w, leftX + dacX, rowY(13), 50, "DAC");
    for (int r = 6; r < 22; ++r) calibrationRow(labels, r, leftX, rowY(8 + r), initialDmmTexts[r]);
}

void buildIcSection(LabelNumbers& labels) {
    const int w = adcDacWindow;
    const int x = rightX;
    addHeading(firstHeading + 4, w, x, rowY(4), columnWidth,
               "Ic ADC - adjust/calibrate (use known/measured resistors, or supplied calibration kit resistors to "
               "calibrate Ic)");
    addLabel(labels, w, x, rowY(5), 290, "77. Enter Vc parasitic parallel resistance value", true);
    field(parasiticField, x + 292, rowY(5), 60, "560000", false);
    addLabel(labels, w, x + 356, rowY(5), 264, "Ohms or leave as default value.");
    static const char* const resistors[4] = {"27000", "2700", "270", "27"};
    for (int k = 0; k < 4; ++k) {
        const int y = rowY(6 + 3 * k);
        const std::string name = "'RANGE" + std::to_string(k + 1) + "'";
        addLabel(labels, w, x, y, 290, numbered(78 + 3 * k, (". Connect " + name + " calibration resistor").c_str()), true);
        field(resistorField(k), x + 292, y, 60, resistors[k], false);
        addLabel(labels, w, x + 356, y, 264, "Ohms between RED and BLACK terminals.");
    }
    for (int i = 0; i < icRunCount; ++i) {
        const IcRun& run = icRuns()[static_cast<std::size_t>(i)];
        const int y = rowY(7 + 3 * run.range + (run.negative ? 1 : 0));
        const std::string text = std::string(". Press button to run ") + (run.negative ? "-" : "+") + "Ic calibration ->";
        addLabel(labels, w, x, y, 290, numbered(run.number, text.c_str()), true);
        button(icRunButton + i, x + 292, y, 36, "Cal.");
        addTick(icRunTick + i, w, x + 330, y);
        addBusyImage(icRunBusy + i, w, x + 332, y + 2);
        const bool lastRange = run.range == 3;
        addLabel(labels, w, x + 354, y, 52, "ADC(Ic)", true);
        field(run.rawIcField, x + 408, y, 70, lastRange ? "0" : "-1", true);
        addLabel(labels, w, x + 480, y, 50, "ADC(Vc)", true);
        field(run.rawVcField, x + 532, y, 88, lastRange ? "0" : "1", true);
    }
}

void buildSaveAndAdjust(LabelNumbers& labels) {
    const int w = adcDacWindow;
    const int x = rightX;
    addHeading(firstHeading + 5, w, x, rowY(18), columnWidth, "Save calibrate/adjust results to device");
    const struct {
        const char* text;
        int button;
        int tick;
        const char* caption;
    } saves[3] = {
        {"90. Press button to CREATE new calibration coefficients file --->", createButton, createTick,
         "CREATE Cal. coefficients"},
        {"91. Press button to ERASE calibration coefficients in device --->", eraseButton, eraseTick,
         "ERASE Cal. coefficients"},
        {"92. Press button to UPLOAD calibration coefficients file to device --->", uploadButton, uploadTick,
         "UPLOAD Cal. coefficients"},
    };
    for (int i = 0; i < 3; ++i) {
        addLabel(labels, w, x, rowY(19 + i), 425, saves[i].text, true);
        button(saves[i].button, x + 427, rowY(19 + i), 165, saves[i].caption);
        addTick(saves[i].tick, w, x + 595, rowY(19 + i));
    }
    addLabel(labels, w, x, rowY(22), 425, "93. Calibration now completed. Disconnect setup & close this window.", true);
    platform::createProgressBar(uploadProgress, w, 0, x + 427, rowY(22) + 2, 165, fieldHeight - 4, 0, 1023);
    platform::showControl(uploadProgress, false);

    addHeading(firstHeading + 6, w, x, rowY(23), columnWidth, "DAC ADJUSTMENT CONTROLS");
    static const char* const captions[adjustCount] = {"++Course Adj.", "+Course Adj.", "+Fine Adj.",
                                                      "-Fine Adj.",    "-Course Adj.", "--Course Adj."};
    for (int i = 0; i < adjustCount; ++i) button(adjustButton + i, x + i * 104, rowY(24), 100, captions[i]);
}

void buildFactoryRows(LabelNumbers& labels) {
    const int w = adcDacWindow;
    const int x = rightX;
    addHeading(firstHeading + 7, w, x, rowY(25), columnWidth, "Debug/Development/Factory Only Autocal - Internal Use Only");
    const char* const rowNames[3] = {"DAC/ADC RAW:", "ADC AVERAGE:", "ADC (Cal'd):"};
    const int firstControls[3] = {rawField, averageField, calibratedField};
    const int counts[3] = {5, 4, 5};
    for (int r = 0; r < 3; ++r) {
        addLabel(labels, w, x, rowY(26 + r), 95, rowNames[r]);
        for (int i = 0; i < counts[r]; ++i) readOnlyField(firstControls[r] + i, x + 100 + i * 104, rowY(26 + r), 100, "--");
    }

    const int dmmY = rowY(29);
    addLabel(labels, w, x, dmmY, 48, "DMM>");
    platform::createTextField(dmmAddress, w, 0, x + 50, dmmY, 95, fieldHeight, false);
    platform::setControlText(dmmAddress, defaultBenchAddress);
    button(dmmConnect, x + 150, dmmY, 85, dmmConnected() ? "Connected" : "Connect");
    platform::createComboBox(dmmRangeList, w, 0, x + 240, dmmY, 75, fieldHeight, false);
    for (const std::string& range : dmmRangeTexts()) platform::addControlItem(dmmRangeList, range);
    platform::setControlState(dmmRangeList, 2); // "10V"
    button(dmmMeasure, x + 320, dmmY, 65, "Measure");
    readOnlyField(dmmReading, x + 390, dmmY, 150, "-");
    readOnlyField(countdownField, x + 545, dmmY, 75, "");

    const int fixtureY = rowY(30);
    addLabel(labels, w, x, fixtureY, 48, "Fixture>");
    platform::createTextField(fixtureAddress, w, 0, x + 50, fixtureY, 95, fieldHeight, false);
    platform::setControlText(fixtureAddress, defaultBenchAddress);
    button(fixtureConnect, x + 150, fixtureY, 85, fixtureConnected() ? "Connected" : "Connect");
    platform::createComboBox(fixtureStateList, w, 0, x + 240, fixtureY, 95, fieldHeight, false);
    for (const std::string& state : fixtureStateNames()) platform::addControlItem(fixtureStateList, state);
    button(prepButton, x + 340, fixtureY, 45, "Prep");
    platform::createComboBox(sequenceList, w, 0, x + 390, fixtureY, 105, fieldHeight, false);
    for (const SequenceRange& s : sequences) platform::addControlItem(sequenceList, s.name);
    platform::setControlState(sequenceList, 0);
    button(goButton, x + 500, fixtureY, 55, "Go!");
    readOnlyField(stepField, x + 560, fixtureY, 60, "");
}

void buildRightColumn(LabelNumbers& labels) {
    const int w = adcDacWindow;
    addHeading(firstHeading + 3, w, rightX, rowY(0), columnWidth, "Vc ADC - adjust/calibrate");
    addLabel(labels, w, rightX, rowY(1), columnWidth,
             "70. Connect RED and BLUE terminals to VOLTMETER (+) and BLACK terminal to VOLTMETER(-).");
    calibrationRow(labels, 22, rightX, rowY(2), initialDmmTexts[22]);
    calibrationRow(labels, 23, rightX, rowY(3), initialDmmTexts[23]);
    buildIcSection(labels);
    buildSaveAndAdjust(labels);
    buildFactoryRows(labels);
}

} // namespace

const std::array<CalibrationRow, calibrationRowCount>& calibrationRows() {
    static const std::array<CalibrationRow, calibrationRowCount> rows = [] {
        std::array<CalibrationRow, calibrationRowCount> r{};
        r[0] = vbRow("+10V", true, 0, -1, false, 3);
        r[1] = vbRow("+10V", false, 2, -1, false, 6);
        r[2] = vbRow("-10V", true, 4, -1, false, 9);
        r[3] = vbRow("-10V", false, 6, -1, true, 12);
        r[4] = vbRow("+1.25V", true, 8, 10, true, 15);
        r[5] = vbRow("-1.25V", true, 11, 13, true, 18);
        for (int i = 0; i < 16; ++i) r[static_cast<std::size_t>(6 + i)] = ibRow(i);
        r[22] = vcRow("+10V", false, 46, 1, 71);
        r[23] = vcRow("-10V", true, 48, 5, 74);
        return r;
    }();
    return rows;
}

const std::array<IcRun, icRunCount>& icRuns() {
    static const std::array<IcRun, icRunCount> runs = [] {
        std::array<IcRun, icRunCount> r{};
        for (int k = 0; k < 4; ++k) {
            r[static_cast<std::size_t>(2 * k)] = {k, false, 52 + 5 * k, 53 + 5 * k, 79 + 3 * k};
            r[static_cast<std::size_t>(2 * k + 1)] = {k, true, 54 + 5 * k, 55 + 5 * k, 80 + 3 * k};
        }
        return r;
    }();
    return runs;
}

bool buildAdcDacWindow() {
    if (!platform::openWindow(adcDacWindow, 0, 0, 1280, 795, "Calibrate KRV ADC/DAC",
                              platform::WindowTitleBar | platform::WindowSystemMenu))
        return false;
    platform::setWindowColour(adcDacWindow, calibrationWindowBackground);
    LabelNumbers labels{firstLabel};
    buildLeftColumn(labels);
    buildRightColumn(labels);
    return true;
}

} // namespace adcdac
