#include "ui/device_parameters_window.h"

#include <cstdio>

#include "analysis/analysis.h"
#include "base/colour_theme.h"
#include "base/gui_numbers.h"
#include "base/messages.h"
#include "base/unit_format.h"
#include "display/cursor_actions.h"
#include "display/displayed_run.h"
#include "display/graph.h"
#include "display/parameter_box.h"
#include "display/run_analysis.h"
#include "results/result_saving.h"
#include "results/sample_runs.h"
#include "sweep/sweep_state_machine.h"
#include "platform/platform.h"

namespace {

using namespace gui;

constexpr int windowWidth = 660;
constexpr int windowHeight = 560;
constexpr int rowHeight = 22;
constexpr int kindCount = 12; // DeviceKind::Unknown ... DeviceKind::Resistor; Unknown is "auto"

DeviceParameterRow rowOf(std::string name, std::string key, int step, const ParameterValue& value) {
    return {std::move(name), std::move(key), step < 0 ? std::string() : std::to_string(step), formatParameter(value),
            value.available && value.fitted ? formatFixed(value.quality, 4) : std::string()};
}

// Fixed-width columns for the list; the font is monospaced.
std::string listLine(const DeviceParameterRow& row) {
    char line[160];
    std::snprintf(line, sizeof line, "%-24s %5s  %-22s %s", row.name.c_str(), row.step.c_str(), row.value.c_str(),
                  row.fit.c_str());
    return line;
}

void text(int control, int x, int y, int width, const std::string& shown) {
    platform::createText(control, windowDeviceParameters, 0, x, y, width, rowHeight, shown);
    platform::setControlColours(control, colourTheme.tileTextColour, colourTheme.tileColour);
}

std::string pointDescription(const OperatingPointReading& reading) {
    if (!reading.onCollectorVoltage) return "Operating point: the graph's X axis is not the collector voltage";
    return "Operating point: step " + std::to_string(reading.step) + " at XA = " +
           formatFixed(reading.point.collectorVoltage, 3) + " V (click a key row to choose the step)";
}

// Fills everything that depends on the run and the kind.
void showParameters() {
    const OperatingPointReading reading = readDisplayedOperatingPoint();
    platform::setControlText(controlParametersInferred, "Inferred: " + deviceKindLabel(reading.inferredKind));
    platform::setControlText(controlParametersPoint, pointDescription(reading));
    platform::clearControlItems(controlParametersTable);
    platform::addControlItem(controlParametersTable, listLine({"Parameter", "", "Step", "Value", "Fit R2"}));
    const std::vector<DeviceParameterRow> rows = deviceParameterRows();
    for (const DeviceParameterRow& row : rows) platform::addControlItem(controlParametersTable, listLine(row));
    platform::setControlText(controlParametersCard, rows.back().value); // the card is the last row
}

void chooseKind() {
    const int index = platform::controlState(controlParametersKind);
    runAnalysisChoice.kindOverride = index > 0 && index < kindCount ? static_cast<DeviceKind>(index) : DeviceKind::Unknown;
    showParameters();
    requestGraphRedraw();
}

void copyTable() {
    const std::vector<DeviceParameterRow> rows = deviceParameterRows();
    const bool copied = platform::setClipboardText(deviceParameterTableText(rows));
    platform::setControlText(controlParametersCopyStatus, copied ? "Copied " + std::to_string(rows.size()) + " rows"
                                                                 : "No clipboard to copy to");
}

} // namespace

std::vector<DeviceParameterRow> deviceParameterRows() {
    const OperatingPointReading reading = readDisplayedOperatingPoint();
    const RunParameters run = analyseRun(displayedRun.run, reading.settings, reading.kind);
    std::vector<DeviceParameterRow> rows;
    rows.push_back({"Device kind", "kind", "", chosenKindText(reading.kind), ""});
    for (const ParameterRow& row : parameterRows(run)) rows.push_back(rowOf(row.name, row.key, row.step, row.value));
    for (const PointParameterLine& line : pointParameterLines(reading.kind, reading.parameters))
        rows.push_back(rowOf(std::string(line.label) + " at XA", std::string("xa_") + line.key, reading.step, line.value));
    // Named as "Save Model Card" names it; a live run has no file name yet.
    const bool idle = sweepControl.sweepState == SweepState::Idle;
    const std::string card =
        modelCardLine(run, modelNameForStem(idle ? sampleRunDataStem(sampleRuns.sampleRunIndex) : "live"));
    rows.push_back({"Model card", "model", "", card.empty() ? "-" : card, ""});
    return rows;
}

std::string deviceParameterTableText(const std::vector<DeviceParameterRow>& rows) {
    std::string out = "Parameter\tKey\tStep\tValue\tFit R2\r\n";
    for (const DeviceParameterRow& r : rows) out += r.name + '\t' + r.key + '\t' + r.step + '\t' + r.value + '\t' + r.fit + "\r\n";
    return out;
}

bool buildDeviceParametersWindow() {
    const unsigned flags = platform::WindowTitleBar | platform::WindowSystemMenu;
    if (!platform::openWindow(windowDeviceParameters, 220, 40, windowWidth, windowHeight, "Device Parameters", flags,
                              mainWindow))
        return false;
    platform::setWindowColour(windowDeviceParameters, colourTheme.tileColour);
    prepareDisplayedRun();
    text(controlParametersKindLabel, 10, 12, 90, "Device kind:");
    platform::createComboBox(controlParametersKind, windowDeviceParameters, 0, 100, 10, 160, rowHeight, false);
    for (int k = 0; k < kindCount; ++k)
        platform::addControlItem(controlParametersKind, k == 0 ? "auto" : deviceKindName(static_cast<DeviceKind>(k)));
    platform::setControlState(controlParametersKind, static_cast<int>(runAnalysisChoice.kindOverride));
    text(controlParametersInferred, 280, 12, 370, "");
    text(controlParametersPoint, 10, 40, 640, "");
    platform::createList(controlParametersTable, windowDeviceParameters, 0, 10, 70, 640, 390);
    platform::setControlFont(controlParametersTable, platform::Font("Liberation Mono", 9, false, true));
    text(controlParametersCardLabel, 10, 472, 90, "Model card:");
    platform::createTextField(controlParametersCard, windowDeviceParameters, 0, 100, 470, 550, rowHeight, true);
    platform::createButton(controlParametersCopy, windowDeviceParameters, 0, 10, 510, 200, 26, "Copy table as text");
    text(controlParametersCopyStatus, 220, 512, 430, "");
    showParameters();
    return true;
}

bool deviceParametersWindowPass() {
    switch (platform::waitEvent(1)) {
    case platform::EventControl:
        if (platform::eventControl() == controlParametersKind && platform::eventType() == platform::ControlChange) chooseKind();
        if (platform::eventControl() == controlParametersCopy) copyTable();
        return true;
    case platform::EventCloseWindow: return platform::eventWindow() != windowDeviceParameters;
    default: return true;
    }
}

void showDeviceParametersWindow() {
    if (!buildDeviceParametersWindow()) {
        showMessage("Error #xxxx Device Parameters window won't start");
        return;
    }
    while (deviceParametersWindowPass()) {
    }
    platform::closeWindow(windowDeviceParameters);
}
