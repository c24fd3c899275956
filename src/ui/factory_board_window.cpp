// The factory resistor board window: the four calibration resistors of a board measured four-wire on
// the bench multimeter and appended, one board per line, to the factory CSV file.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/calibration_window_colours.h"
#include "base/messages.h"
#include "base/unit_format.h"
#include "calibration/dmm_link.h"
#include "ui/calibration_window_numbers.h"
#include "ui/calibration_window_parts.h"
#include "ui/calibration_windows.h"
#include "platform/platform.h"

namespace {

using calwin::factoryBoardWindow;

enum Control : int {
    addressField = calwin::factoryFirstControl,
    connectButton,
    rangeList,
    measureButton,
    readingField,
    createCsvButton,
    saveButton,
    contentsList,
    measureRangeButton, // ... + 3
    rangeTick = measureRangeButton + 4,  // ... + 3
    valueField = rangeTick + 4,          // ... + 3
    firstHeading = valueField + 4,       // ... + 3
    instructionText = firstHeading + 4,  // + 0 .. 1
    firstLabel = calwin::factoryFirstControl + 100,
};

constexpr int boardRanges = 4;
constexpr const char* csvHeader = "ID,Range 1, Range 2, Range 3, Range 4";
const char* const initialValues[boardRanges] = {"22.000 K", "2.740 K", "150.000 R", "33.000 R"};

struct FactoryBoardState {
    long long boardId = 0; // the ID of the next saved line
};

FactoryBoardState state;

void refillContents() {
    platform::clearControlItems(contentsList);
    std::ifstream in(factoryCsvPath, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        platform::addControlItem(contentsList, line);
    }
}

// The factory PC's folder may not be there yet on a fresh installation.
void makeCsvFolder() {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(factoryCsvPath).parent_path(), ignored);
}

void createCsv() {
    makeCsvFolder();
    std::ofstream out(factoryCsvPath, std::ios::binary | std::ios::trunc);
    if (!out) {
        platform::messageBox("640815-3.csv cannot be created", "This is only used by H+ factory, contact Production Manager",
                             platform::IconError, platform::ButtonsOk);
        return;
    }
    state.boardId = 1;
    out << csvHeader << "\r\n";
}

// After a reading that failed: says so, and leaves nothing that could be saved as a value.
bool readingTaken(bool taken) {
    showBenchConnection(connectButton, dmmConnected());
    if (taken) return true;
    platform::setControlText(readingField, noReadingText);
    if (dmmLink.lastFault != DmmFault::NotConnected) reportBenchFailure(dmmFailureMessage());
    return false;
}

void measureRange(int k) {
    if (!readingTaken(readDmm(fourWireRange))) {
        platform::setControlText(valueField + k, "-");
        platform::showControl(rangeTick + k, false);
        return;
    }
    const double ohms = dmmLink.lastReading;
    platform::setControlText(readingField, readingText(ohms));
    platform::setControlText(valueField + k, k < 2 ? formatFixed(ohms / 1000.0, 3) + " kR" : formatFixed(ohms, 3) + " R");
    platform::showControl(rangeTick + k, true);
}

// The line is appended to the file, its folder made when missing; false when it could not be written.
bool appendLine(const std::string& line) {
    makeCsvFolder();
    std::ofstream out(factoryCsvPath, std::ios::binary | std::ios::app);
    out << line << "\r\n";
    out.close();
    return static_cast<bool>(out);
}

void saveBoard() {
    std::string line = std::to_string(state.boardId);
    for (int k = 0; k < boardRanges; ++k) line += "," + platform::controlText(valueField + k);
    // A board that was not saved keeps its measurements and its ID.
    if (!appendLine(line)) {
        platform::messageBox("640815-3.csv cannot be written", "This is only used by H+ factory, contact Production Manager",
                             platform::IconError, platform::ButtonsOk);
        return;
    }
    state.boardId += 1;
    for (int k = 0; k < boardRanges; ++k) {
        platform::setControlText(valueField + k, "-");
        platform::showControl(rangeTick + k, false);
    }
}

void measureSelectedRange() {
    const int selected = platform::controlState(rangeList);
    const std::string range = selected >= 0 ? platform::controlItemText(rangeList, selected) : fourWireRange;
    if (readingTaken(readDmm(range))) platform::setControlText(readingField, readingText(dmmLink.lastReading));
    platform::setControlState(rangeList, selected);
}

bool build() {
    const int w = factoryBoardWindow;
    if (!platform::openWindow(w, 0, 0, 620, 750, "Measure Calibrate Biscuit (640815-3) - factory only",
                              platform::WindowTitleBar | platform::WindowSystemMenu))
        return false;
    platform::setWindowColour(w, calibrationWindowBackground);
    LabelNumbers labels{firstLabel};
    const int x = 10;
    const int width = 6 * gridColumn;
    auto rowY = [](int row) { return 10 + row * gridRow; };
    // The instruction, two rows high, broken into its lines by hand.
    platform::createText(instructionText, w, 0, x, rowY(0), width, gridRow - 4,
                         "Use 4W measurement (34465A). Enter actual DMM readings or connect using LAN/SCPI.");
    platform::createText(instructionText + 1, w, 0, x, rowY(1), width, gridRow - 4,
                         " When batch has been done, print using 'KRV650_640-815iss3BOARD.lbx' and Brother 11204 label.");

    addHeading(firstHeading, w, x, rowY(2), width, "Measurement Device (DMM) Connection");
    addLabel(labels, w, x, rowY(3), 40, "DMM>");
    platform::createTextField(addressField, w, 0, x + 40, rowY(3), 110, gridRow - 3, false);
    platform::setControlText(addressField, defaultBenchAddress);
    platform::createButton(connectButton, w, 0, x + 155, rowY(3), 90, gridRow - 3, "Connect");
    platform::createComboBox(rangeList, w, 0, x + 250, rowY(3), 80, gridRow - 3, false);
    for (const std::string& range : dmmRangeTexts()) platform::addControlItem(rangeList, range);
    platform::addControlItem(rangeList, fourWireRange);
    platform::setControlState(rangeList, static_cast<int>(dmmRangeTexts().size()));
    platform::createButton(measureButton, w, 0, x + 335, rowY(3), 80, gridRow - 3, "Measure");
    platform::createTextField(readingField, w, 0, x + 420, rowY(3), 180, gridRow - 3, true);
    platform::setControlRightAligned(readingField, true);
    platform::setControlText(readingField, "-");

    addHeading(firstHeading + 1, w, x, rowY(4), width, "Initial Calibration Values");
    addLabel(labels, w, x, rowY(5), 2 * gridColumn, "1. Create/Reset CSV file ->", true);
    platform::createButton(createCsvButton, w, 0, x + 2 * gridColumn, rowY(5), 2 * gridColumn, gridRow - 3, "Create CSV");

    addHeading(firstHeading + 2, w, x, rowY(6), width, "Main test steps, here.");
    for (int k = 0; k < boardRanges; ++k) {
        const int y = rowY(7 + k);
        addLabel(labels, w, x, y, 2 * gridColumn, std::to_string(k + 2) + ". Press button ->", true);
        platform::createButton(measureRangeButton + k, w, 0, x + 2 * gridColumn, y, 130, gridRow - 3,
                               "Measure Range#" + std::to_string(k + 1));
        addTick(rangeTick + k, w, x + 2 * gridColumn + 135, y);
        addLabel(labels, w, x + 360, y, 70, "DMM? ->", true);
        platform::createTextField(valueField + k, w, 0, x + 435, y, 120, gridRow - 3, false);
        platform::setControlRightAligned(valueField + k, true);
        platform::setControlText(valueField + k, initialValues[k]);
    }
    addLabel(labels, w, x, rowY(11), 2 * gridColumn, "6. Press button ->", true);
    platform::createButton(saveButton, w, 0, x + 2 * gridColumn, rowY(11), 2 * gridColumn + 30, gridRow - 3,
                           "Save 4x measurements to CSV");

    addHeading(firstHeading + 3, w, x, rowY(12), width, std::string("Contents of ") + factoryCsvPath);
    platform::createList(contentsList, w, 0, x, rowY(13), width, 750 - rowY(13) - 10);
    return true;
}

bool handle(int event) {
    if (event == platform::EventCloseWindow && platform::eventWindow() == factoryBoardWindow) return false;
    if (event != platform::EventControl) return true;
    const int control = platform::eventControl();
    if (control >= measureRangeButton && control < measureRangeButton + boardRanges) {
        measureRange(control - measureRangeButton);
        refillContents();
        return true;
    }
    switch (control) {
    case connectButton:
        pressBenchConnect(connectButton, dmmConnected(), [] { return connectDmm(platform::controlText(addressField)); },
                          "Can't connect with DMM over TCP");
        break;
    case measureButton: measureSelectedRange(); break;
    case createCsvButton:
        createCsv();
        refillContents();
        break;
    case saveButton:
        saveBoard();
        refillContents();
        break;
    default: break;
    }
    return true;
}

} // namespace

void openFactoryFixtureWindow() {
    state = FactoryBoardState{};
    if (!build()) {
        showMessage("Error #xxxx ADC CALIBRATE window won't start");
        return;
    }
    if (dmmConnected()) platform::setControlText(connectButton, "Connected");
    refillContents();
    runWindowLoop(handle);
    platform::closeWindow(factoryBoardWindow);
}
