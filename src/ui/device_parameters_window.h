// The Device Parameters window: every parameter of the run the graph shows, whole-run and per step,
// those at the operating point and the model card line, with the device kind to override and a button
// that copies the table as tab-separated text.
#pragma once

#include <string>
#include <vector>

struct DeviceParameterRow {
    std::string name;  // as shown: "hFE", "Vce(sat)", "gm at XA"
    std::string key;   // for files: "hfe", "vce_sat", "xa_gm"
    std::string step;  // the step number, empty for the whole run
    std::string value; // with its unit, "-" when not available
    std::string fit;   // R^2 of the fit the value came from, empty when not fitted
};

// The table for the displayed run as it is now.
std::vector<DeviceParameterRow> deviceParameterRows();
// A heading line and one line per row, fields separated by tabs, lines ended by CR LF.
std::string deviceParameterTableText(const std::vector<DeviceParameterRow>& rows);

// Opens window 269 and runs its own event loop until the window closes.
void showDeviceParametersWindow();
// Builds the window's controls from the displayed run; false when the window could not be opened.
bool buildDeviceParametersWindow();
// One pass of the window's loop: takes at most one event. False once the window should close.
bool deviceParametersWindowPass();
