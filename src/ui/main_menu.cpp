#include "ui/main_menu.h"

#include <initializer_list>

#include "base/gui_numbers.h"
#include "base/messages.h"
#include "platform/platform.h"

namespace {

using gui::mainWindow;
constexpr int separator = -1;

struct MenuEntry {
    int item; // menu item number, or separator
    const char* caption;
};

void addEntries(int menu, std::initializer_list<MenuEntry> entries) {
    for (const auto& e : entries) {
        if (e.item == separator)
            platform::addMenuSeparator(mainWindow, menu);
        else
            platform::addMenuItem(mainWindow, menu, e.item, e.caption);
    }
}

int addMenu(const char* title, int parent = 0) {
    return platform::addMenu(mainWindow, parent, title);
}

const MenuEntry sep{separator, ""};

} // namespace

bool createMenuBar() {
    if (!platform::createMenuBar(mainWindow)) {
        showMessage("Error #xxxx cannot create menu");
        return false;
    }

    addEntries(addMenu("File"), {{gui::menuSaveImageAndData, "Save Image / Save Data"},
                                 sep,
                                 {gui::menuSaveOptions, "Save Options / Graph Title"},
                                 {gui::menuAutoSave, "Auto Save"},
                                 sep,
                                 {gui::menuDefaultSetupOnStart, "Use 'default.tsu' setup on start-up"},
                                 {gui::menuOpenTestSetup, "Open Test Setup"},
                                 {gui::menuSaveTestSetup, "Save Test Setup"},
                                 {gui::menuSaveTestSetupAs, "Save as Test Setup"}});

    addEntries(addMenu("Instrument"), {{gui::menuConnect, "Connect"}, {gui::menuDisconnect, "Disconnect"}, sep, {gui::menuSelectComPort, "Select COM Port"}});

    addEntries(addMenu("DUT"), {{gui::menuDutFirst + 0, "NPN BJT"},
                                {gui::menuDutFirst + 1, "PNP BJT"},
                                sep,
                                {gui::menuDutFirst + 2, "N MOSFET (Enhancement Mode)"},
                                {gui::menuDutFirst + 3, "P MOSFET (Enhancement Mode)"},
                                {gui::menuDutFirst + 4, "N MOSFET (Depletion Mode)"},
                                {gui::menuDutFirst + 5, "P MOSFET (Depletion Mode)"},
                                sep,
                                {gui::menuDutFirst + 6, "N JFET"},
                                {gui::menuDutFirst + 7, "P JFET"},
                                sep,
                                {gui::menuDutFirst + 8, "DIODE"},
                                sep,
                                {gui::menuDutFirst + 9, "SCR"}});

    addEntries(addMenu("Collector"), {{gui::menuHvAutoOff, "HV Supply Auto-Off"}});

    const int sampling = addMenu("Sampling");
    addEntries(addMenu("Sample Rate", sampling), {{gui::menuSampleRateFirst + 0, "10 Hz"},
                                                  {gui::menuSampleRateFirst + 1, "20 Hz"},
                                                  {gui::menuSampleRateFirst + 2, "30 Hz"},
                                                  {gui::menuSampleRateFirst + 3, "40 Hz"},
                                                  {gui::menuSampleRateFirst + 4, "50 Hz (default)"},
                                                  {gui::menuSampleRateFirst + 5, "60 Hz"},
                                                  {gui::menuSampleRateFirst + 6, "80 Hz"},
                                                  {gui::menuSampleRateFirst + 7, "100 Hz"}});

    addEntries(addMenu("StepGen"),
               {{gui::menuStep0Enabled, "Step0 Enabled (default ENABLED)"}, sep, {gui::menuBaseClamp, "Base Clamping in Current Mode (default ON)"}});

    const int scope = addMenu("Scope");
    addEntries(addMenu("Graticule", scope), {{gui::menuGraticuleBoth, "Both (default)"}, {gui::menuGraticuleMajor, "Major"}, {gui::menuGraticuleOff, "Off"}});
    addEntries(addMenu("Graticule Colour", scope), {{gui::menuGraticuleWhite, "White"}, {gui::menuGraticuleLightGreen, "Light Green"}, {gui::menuGraticuleDarkGreen, "Dark Green (default)"}});
    addEntries(addMenu("Graph Background", scope), {{gui::menuBackgroundWhite, "White"}, {gui::menuBackgroundDarkGrey, "Dark Grey"}, {gui::menuBackgroundBlack, "Black (default)"}});
    addEntries(addMenu("Key Direction", scope), {{gui::menuKeyRising, "Rising"}, {gui::menuKeyFalling, "Falling (default)"}});

    const int display = addMenu("Display");
    addEntries(addMenu("Live Readings", display), {{gui::menuLiveRealtime, "Calibrated Values, Real-time"},
                                                   {gui::menuLiveSmoothed, "Calibrated Values, Smoothed (default)"},
                                                   {gui::menuLiveRaw, "Raw Value"}});
    addEntries(display, {sep, {gui::menuAlternateColours, "Alternate Display Colours"}, {gui::menuReferenceGrey, "Reference in Grey"}});

    const int utilities = addMenu("Utilities");
    addEntries(addMenu("Calibrate", utilities),
               {{gui::menuCalibrateAdcDac, "Calibrate DAC/ADC"}, {gui::menuFactoryFixture, "Measure 640815-3 (factory only)"}});
    addEntries(utilities, {{gui::menuCalibrateOffset, "Calibrate Offset/Parasitics"},
                           sep,
                           {gui::menuDailyUpdateCheck, "Daily Update Check"},
                           sep,
                           {gui::menuHardwareReset, "HW Reset (FW: 640-9 only)"}});

    addEntries(addMenu("Analysis"), {{gui::menuDeviceParameters, "Device Parameters…"},
                                     {gui::menuSaveModelCard, "Save Model Card"},
                                     sep,
                                     {gui::menuSetReference, "Set as Reference"},
                                     {gui::menuLoadReference, "Load Reference…"},
                                     {gui::menuClearReference, "Clear Reference"}});

    const int help = addMenu("Help");
    addEntries(help, {{gui::menuAbout, "About"}});
    addEntries(addMenu("Support", help), {{gui::menuSupportInfo, "Support Info"}});
    return true;
}
