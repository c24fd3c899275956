#include "ui/main_menu.h"

#include <initializer_list>

#include "base/gui_numbers.h"
#include "base/messages.h"
#include "ui/platform/platform.h"

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

    addEntries(addMenu("File"), {{28, "Save Image / Save Data"},
                                 sep,
                                 {31, "Save Options / Graph Title"},
                                 {32, "Auto Save"},
                                 sep,
                                 {33, "Use 'default.tsu' setup on start-up"},
                                 {34, "Open Test Setup"},
                                 {35, "Save Test Setup"},
                                 {36, "Save as Test Setup"}});

    addEntries(addMenu("Instrument"), {{227, "Connect"}, {228, "Disconnect"}, sep, {57, "Select COM Port"}});

    addEntries(addMenu("DUT"), {{230, "NPN BJT"},
                                {231, "PNP BJT"},
                                sep,
                                {232, "N MOSFET (Enhancement Mode)"},
                                {233, "P MOSFET (Enhancement Mode)"},
                                {234, "N MOSFET (Depletion Mode)"},
                                {235, "P MOSFET (Depletion Mode)"},
                                sep,
                                {236, "N JFET"},
                                {237, "P JFET"},
                                sep,
                                {238, "DIODE"},
                                sep,
                                {239, "SCR"}});

    addEntries(addMenu("Collector"), {{229, "HV Supply Auto-Off"}});

    const int sampling = addMenu("Sampling");
    addEntries(addMenu("Sample Rate", sampling), {{240, "10 Hz"},
                                                  {241, "20 Hz"},
                                                  {242, "30 Hz"},
                                                  {243, "40 Hz"},
                                                  {244, "50 Hz (default)"},
                                                  {245, "60 Hz"},
                                                  {246, "80 Hz"},
                                                  {247, "100 Hz"}});

    addEntries(addMenu("StepGen"),
               {{249, "Step0 Enabled (default ENABLED)"}, sep, {248, "Base Clamping in Current Mode (default ON)"}});

    const int scope = addMenu("Scope");
    addEntries(addMenu("Graticule", scope), {{250, "Both (default)"}, {251, "Major"}, {252, "Off"}});
    addEntries(addMenu("Graticule Colour", scope), {{253, "White"}, {254, "Light Green"}, {255, "Dark Green (default)"}});
    addEntries(addMenu("Graph Background", scope), {{256, "White"}, {257, "Dark Grey"}, {258, "Black (default)"}});
    addEntries(addMenu("Key Direction", scope), {{259, "Rising"}, {260, "Falling (default)"}});

    const int display = addMenu("Display");
    addEntries(addMenu("Live Readings", display), {{267, "Calibrated Values, Real-time"},
                                                   {266, "Calibrated Values, Smoothed (default)"},
                                                   {268, "Raw Value"}});
    addEntries(display, {sep, {261, "Alternate Display Colours"}});

    const int utilities = addMenu("Utilities");
    addEntries(addMenu("Calibrate", utilities),
               {{262, "Calibrate DAC/ADC"}, {263, "Measure 640815-3 (factory only)"}});
    addEntries(utilities, {{264, "Calibrate Offset/Parasitics"},
                           sep,
                           {56, "Daily Update Check"},
                           sep,
                           {265, "HW Reset (FW: 640-9 only)"}});

    const int help = addMenu("Help");
    addEntries(help, {{47, "About"}});
    addEntries(addMenu("Support", help), {{50, "Support Info"}});
    return true;
}
