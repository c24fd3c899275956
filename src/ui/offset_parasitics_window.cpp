// The small-current offset and parasitic resistance window: the three compensation values that every
// Ic reading is corrected with, typed in by the user and stored in the system settings file.
#include "base/calibration_window_colours.h"
#include "base/messages.h"
#include "base/settings_file.h"
#include "base/system_settings.h"
#include "base/unit_format.h"
#include "calibration/calibration_coefficients.h"
#include "calibration/calibration_file.h"
#include "calibration/calibration_pacing.h"
#include "ui/calibration_window_numbers.h"
#include "ui/calibration_window_parts.h"
#include "ui/calibration_windows.h"
#include "platform/platform.h"

namespace {

using calwin::offsetWindow;

enum Control : int {
    defaultValuesButton = calwin::offsetFirstControl,
    offsetField,
    voltageField,
    currentField,
    slopeField,
    saveButton,
    firstHeading,
    secondHeading,
    firstLabel = calwin::offsetFirstControl + 20,
};

constexpr int closeDelayMs = 500;
constexpr double micro = 1000000.0;

void showSlope() {
    platform::setControlText(slopeField, formatFixed(parallelConductance() * micro, 3));
}

void takeFields() {
    SmallCurrentCompensation& c = smallCurrentCompensation;
    c.smallCurrentOffset = readLeadingNumber(platform::controlText(offsetField)) / micro;
    c.slopeOffsetMeasuredVoltage = readLeadingNumber(platform::controlText(voltageField));
    c.slopeOffsetMeasuredCurrent = readLeadingNumber(platform::controlText(currentField)) / micro;
    showSlope();
}

void save() {
    const SmallCurrentCompensation& c = smallCurrentCompensation;
    const std::string& path = systemSettings.settingsFilePath;
    writeSetting(path, "KRV_SmallCurrentOffset", formatTrimmed(c.smallCurrentOffset));
    writeSetting(path, "KRV_SlopeOffsetMeasuredVoltage", formatTrimmed(c.slopeOffsetMeasuredVoltage));
    writeSetting(path, "KRV_SlopeOffsetMeasuredCurrent", formatTrimmed(c.slopeOffsetMeasuredCurrent));
}

void addValueRow(LabelNumbers& labels, int row, const char* caption, int field, const char* initial, const char* unit,
                 bool editable) {
    const int y = 10 + row * gridRow;
    addLabel(labels, offsetWindow, 10, y, 2 * gridColumn, caption, true);
    platform::createTextField(field, offsetWindow, 0, 10 + 2 * gridColumn, y, gridColumn, gridRow - 3, !editable);
    platform::setControlRightAligned(field, true);
    platform::setControlText(field, initial);
    addLabel(labels, offsetWindow, 10 + 3 * gridColumn, y, gridColumn, unit);
}

bool build() {
    if (!platform::openWindow(offsetWindow, 200, 10, 625, 320, "Calibrate Small Current Offset and Parasitic Resistance",
                              platform::WindowTitleBar | platform::WindowSystemMenu))
        return false;
    platform::setWindowColour(offsetWindow, calibrationWindowBackground);
    LabelNumbers labels{firstLabel};
    const int width = 6 * gridColumn;
    addHeading(firstHeading, offsetWindow, 10, 10, width,
               "Disconnect any DUT, use highest Max Voltage and highest Collector Resistance");
    addLabel(labels, offsetWindow, 10, 10 + gridRow, 3 * gridColumn, "[Optional] Load default values -> ", true);
    platform::createButton(defaultValuesButton, offsetWindow, 0, 10 + 3 * gridColumn, 10 + gridRow, gridColumn,
                           gridRow - 3, "Default Values");
    addHeading(secondHeading, offsetWindow, 10, 10 + 3 * gridRow, width,
               "Use values below to compensate for current offset and parasitic resistances");
    addValueRow(labels, 4, "Offset Current -> ", offsetField, "0", " uA", true);
    addValueRow(labels, 5, "Measured Voltage -> ", voltageField, "1", " V", true);
    addValueRow(labels, 6, "Measured Current -> ", currentField, "0", " uA", true);
    addValueRow(labels, 7, "Calculated Slope -> ", slopeField, "?????", " uA/V", false);
    addLabel(labels, offsetWindow, 10, 10 + 9 * gridRow, 3 * gridColumn, "Save values to settings file ->", true);
    platform::createButton(saveButton, offsetWindow, 0, 10 + 3 * gridColumn, 10 + 9 * gridRow, gridColumn, gridRow - 3,
                           "Save");
    return true;
}

void showValues() {
    const SmallCurrentCompensation& c = smallCurrentCompensation;
    platform::setControlText(offsetField, formatFixed(c.smallCurrentOffset * micro, 3));
    platform::setControlText(voltageField, formatFixed(c.slopeOffsetMeasuredVoltage, 3));
    platform::setControlText(currentField, formatFixed(c.slopeOffsetMeasuredCurrent * micro, 3));
    showSlope();
}

// The window's own events; false once it is to close.
bool handle(int event) {
    const bool ours = platform::eventWindow() == offsetWindow;
    if (event == platform::EventCloseWindow && ours) return false;
    if (event == platform::EventDeactivateWindow && ours) return false;
    if (event == platform::EventActivateWindow && !ours) return false;
    if (event != platform::EventControl) return true;
    switch (platform::eventControl()) {
    case defaultValuesButton:
        platform::setControlText(offsetField, "2.00");
        platform::setControlText(voltageField, "100.00");
        platform::setControlText(currentField, "180.00");
        takeFields();
        break;
    case offsetField:
    case voltageField:
    case currentField: takeFields(); break;
    case saveButton: save(); break;
    default: break;
    }
    return true;
}

} // namespace

void openOffsetParasiticsWindow() {
    if (!build()) {
        showMessage("Error #xxxx 'Calibrate Offset & Parasitics' window won't start");
        return;
    }
    showValues();
    runWindowLoop(handle);
    pacedSleep(closeDelayMs);
    platform::closeWindow(offsetWindow);
}
