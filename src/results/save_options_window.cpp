#include "results/save_options_window.h"

#include <cstdint>
#include <string>

#include "base/elapsed_clock.h"
#include "base/gui_numbers.h"
#include "base/messages.h"
#include "base/settings_file.h"
#include "base/system_settings.h"
#include "results/file_names.h"
#include "platform/platform.h"

namespace {

using namespace gui;

constexpr int windowWidth = 1010;
constexpr int windowHeight = 450;
constexpr int updateIntervalMs = 500;
constexpr int labelX = 10;
constexpr int labelWidth = 380;
constexpr int fieldX = 400;
constexpr int rowHeight = 22;

// A check box bound to a "Yes"/"No" option and its settings key.
struct OptionBox {
    int control;
    std::string SystemSettings::*option;
    const char* key;
    const char* caption;
    int x;
    int width;
    int row;
};

const OptionBox optionBoxes[] = {
    {controlSaveUseGraphTitle, &SystemSettings::useGraphTitle, "KRV_UseGraphTitle", "Use Graph Title instead", 400, 300, 3},
    {controlSavePrependRunNumber, &SystemSettings::prependRunNumber, "KRV_PrependRunNumber", "Prepend?", 500, 110, 6},
    {controlSaveAppendRunNumber, &SystemSettings::appendRunNumber, "KRV_AppendRunNumber", "Append?", 620, 110, 6},
    {controlSaveDateDashes, &SystemSettings::dateDashs, "KRV_DateDashs", "Use dashs (xxxx-xx-xx)?", 560, 220, 7},
    {controlSaveAppendDate, &SystemSettings::appendDate, "KRV_AppendDate", "Append Date?", 790, 150, 7},
    {controlSaveIso8601Time, &SystemSettings::iso8601, "KRV_ISO8601", "Use ISO 8601 (THHMMSS)?", 400, 220, 8},
    {controlSaveAppendTime, &SystemSettings::appendTime, "KRV_AppendTime", "Append Time?", 630, 150, 8},
    {controlSaveUseSpaces, &SystemSettings::useSpaces, "KRV_UseSpaces", "Spaces?", 400, 110, 9},
    {controlSaveUseUnderscores, &SystemSettings::useUnderscores, "KRV_UseUnderscores", "Underscores?", 520, 150, 9},
};

struct FixedText {
    const char* text;
    int y;
    bool heading;
};

const FixedText fixedTexts[] = {
    {"Set the Graph Title and set the parameters that determine the name and destination of auto-generated PNG "
     "images and CSV spreadsheet files.", 10, false},
    {"The following characters < > : \" / \\ | ? * are automatically removed from any filename prior to saving.",
     32, false},
    {"Graph Title", 62, true},
    {"File name for IMAGE (*.PNG) and DATA (*.CSV) files", 122, true},
    {"File name format generator", 207, true},
};

// Row n (1..10) of the option rows, under its heading.
int rowY(int row) {
    if (row == 1) return 86;
    if (row <= 3) return 146 + (row - 2) * 27;
    return 231 + (row - 4) * 27;
}

const char* const rowLabels[10] = {
    ". Graph Title ->",
    ". Fixed part of file name (optional)? ->",
    ". Use the Graph Title as the filename ->",
    ". Folder location for IMAGE (*.PNG) files ->",
    ". Folder location for DATA (*.CSV) files ->",
    ". Sequential run number, next number is ->",
    ". Date format is YYYY-DD-MM, change? ->",
    ". Use ISO 8601 style time format ->",
    ". Spaces and/or underscores? Choose here->",
    ". File name will be ->",
};

// The window's own memory between passes.
struct SaveOptionsWindowState {
    std::string takenRunNumber;  // the run number text last taken from its field
    bool imageFolderStored = false;
};
SaveOptionsWindowState windowState;

int boxState(const std::string& option) {
    return option == "Yes" ? 1 : 0;
}

bool createField(int control, int row, int width, bool readOnly, const std::string& text) {
    const bool made = platform::createTextField(control, windowSaveOptions, 0, fieldX, rowY(row), width, rowHeight, readOnly);
    platform::setControlText(control, text);
    return made;
}

bool createTexts() {
    bool made = true;
    int number = saveOptionsFirstText;
    for (const FixedText& t : fixedTexts) {
        made &= platform::createText(number, windowSaveOptions, 0, labelX, t.y, windowWidth - 2 * labelX, 20, t.text);
        if (t.heading) platform::setControlFont(number, platform::Font("Arial", 10, true, true));
        ++number;
    }
    for (int row = 1; row <= 10; ++row) {
        made &= platform::createText(number++, windowSaveOptions, 0, labelX + 10, rowY(row) + 2, labelWidth, 20,
                                     std::to_string(row) + rowLabels[row - 1]);
    }
    return made;
}

bool createControls() {
    const SystemSettings& s = systemSettings;
    bool made = createField(controlSaveGraphTitle, 1, 400, false, resultNaming.graphTitle);
    made &= createField(controlSaveFileName, 2, 400, false, s.saveFileName);
    made &= createField(controlSaveImageFolder, 4, 590, true, s.saveImageFileLocation);
    made &= createField(controlSaveDataFolder, 5, 590, true, s.saveDataFileLocation);
    made &= createField(controlSaveRunNumber, 6, 80, false, s.runNumber);
    // The name as it would be generated now, rather than an empty row until the first update pass.
    made &= createField(controlSaveFileStem, 10, 590, true, generateFileStem());
    for (const OptionBox& box : optionBoxes) {
        made &= platform::createCheckBox(box.control, windowSaveOptions, 0, box.x, rowY(box.row), box.width, rowHeight,
                                         box.caption);
        platform::setControlState(box.control, boxState(s.*box.option));
    }
    made &= platform::createCheckBox(controlSaveDateFormat, windowSaveOptions, 0, fieldX, rowY(7), 150, rowHeight,
                                     "YYYY-MM-DD");
    platform::setControlState(controlSaveDateFormat, s.dateFormat == "YYYYMMDD" ? 1 : 0);
    return made;
}

void storeText(std::string& option, const char* key, const std::string& value) {
    option = value;
    writeSetting(systemSettings.settingsFilePath, key, value);
}

void takeDateFormatBox() {
    std::string& format = systemSettings.dateFormat;
    const int ticked = platform::controlState(controlSaveDateFormat);
    if (ticked == 1 && format == "YYYYDDMM") storeText(format, "KRV_DateFormat", "YYYYMMDD");
    if (ticked == 0 && format == "YYYYMMDD") storeText(format, "KRV_DateFormat", "YYYYDDMM");
}

bool closeRequested(int event) {
    return event == platform::EventCloseWindow && platform::eventWindow() == windowSaveOptions;
}

} // namespace

bool buildSaveOptionsWindow() {
    windowState = SaveOptionsWindowState{};
    windowState.takenRunNumber = systemSettings.runNumber;
    if (!platform::openWindow(windowSaveOptions, 0, 0, windowWidth, windowHeight, "Save Options",
                              platform::WindowTitleBar | platform::WindowSystemMenu | platform::WindowScreenCentered,
                              mainWindow))
        return false;
    const bool texts = createTexts();
    return createControls() && texts;
}

void saveOptionsControlEvent(int control) {
    if (control == controlSaveGraphTitle) resultNaming.graphTitle = platform::controlText(controlSaveGraphTitle);
    // Prepend and append exclude each other.
    if (control == controlSavePrependRunNumber && platform::controlState(control) == 1)
        platform::setControlState(controlSaveAppendRunNumber, 0);
    if (control == controlSaveAppendRunNumber && platform::controlState(control) == 1)
        platform::setControlState(controlSavePrependRunNumber, 0);
}

void updateSaveOptions() {
    SystemSettings& s = systemSettings;
    const std::string fileName = platform::controlText(controlSaveFileName);
    if (fileName != s.saveFileName) storeText(s.saveFileName, "KRV_SaveFileName", fileName);
    // Compared with the text last taken, not the normalised number, so an unchanged field is stored once.
    const std::string typedRunNumber = platform::controlText(controlSaveRunNumber);
    if (typedRunNumber != windowState.takenRunNumber) {
        windowState.takenRunNumber = typedRunNumber;
        storeText(s.runNumber, "KRV_RunNumber", typedRunNumber);
    }
    for (const OptionBox& box : optionBoxes) {
        const int ticked = platform::controlState(box.control);
        if (ticked != boxState(s.*box.option)) storeText(s.*box.option, box.key, ticked == 1 ? "Yes" : "No");
    }
    takeDateFormatBox();
    if (!windowState.imageFolderStored) {
        writeSetting(s.settingsFilePath, "KRV_SaveImageFileLocation", s.saveImageFileLocation);
        windowState.imageFolderStored = true;
    }
    s.runNumber = normalisedRunNumber(s.runNumber);
    platform::setControlText(controlSaveFileStem, generateFileStem());
}

void openSaveOptions() {
    if (!buildSaveOptionsWindow()) {
        platform::closeWindow(windowSaveOptions);
        showMessage("Error #xxxx SAVEOPTIONS window won't start");
        return;
    }
    std::int64_t lastUpdate = elapsedMilliseconds();
    for (;;) {
        const int event = platform::waitEvent(millisecondsUntil(lastUpdate + updateIntervalMs, updateIntervalMs));
        if (closeRequested(event) || !platform::windowExists(windowSaveOptions)) break;
        if (event == platform::EventControl) saveOptionsControlEvent(platform::eventControl());
        if (elapsedMilliseconds() - lastUpdate >= updateIntervalMs) {
            lastUpdate = elapsedMilliseconds();
            updateSaveOptions();
        }
    }
    // What was typed in the last half second is kept too.
    updateSaveOptions();
    platform::closeWindow(windowSaveOptions);
}
