#include "app/menu_dispatch.h"

#include <string>

#include "app/about_boxes.h"
#include "app/analysis_actions.h"
#include "app/reference_actions.h"
#include "app/link_actions.h"
#include "base/gui_numbers.h"
#include "base/settings_file.h"
#include "base/system_settings.h"
#include "display/graph.h"
#include "ui/calibration_windows.h"
#include "ui/com_port_window.h"
#include "link/register_transfer.h"
#include "results/result_actions.h"
#include "ui/parameter_panel_view.h"
#include "sweep/sweep_parameters.h"
#include "base/colour_theme.h"
#include "ui/status_panel.h"

namespace {

void toggleHvAutoOff() {
    setTextSetting(systemSettings.hvAutoOff, "KRV_HVAutoOff", systemSettings.hvAutoOff == "On" ? "Off" : "On");
}

void toggleAlternateColours() {
    toggleTextSetting(systemSettings.alternateDisplayColours, "KRV_AlternateDisplayColours");
    applyColourTheme();
    redrawStatusPanel();
}

void toggleDailyUpdateCheck() {
    toggleIntegerSetting(systemSettings.updateCheckEnabled, "CheckWebsiteForUpdate");
}

void setGraticuleMode(const char* mode) {
    setTextSetting(systemSettings.graticuleMode, "KRV_Scope1GraticuleMode", mode);
}
void setGraticuleColour(const char* colour) {
    setTextSetting(systemSettings.graticuleColour, "KRV_Scope1GraticuleColour", colour);
}
void setBackgroundColour(const char* colour) {
    setTextSetting(systemSettings.backgroundColour, "KRV_Scope1BackgroundColour", colour);
}
void setKeyDirection(const char* direction) {
    setTextSetting(systemSettings.keyDirection, "KRV_Scope1KeyDirection", direction);
}
void setLiveReadings(const char* mode) {
    setTextSetting(systemSettings.liveReadings, "KRV_LiveReadings", mode);
}

const char* const dutMenuCodes[10] = {"NPN",      "PNP",      "NMOS_ENH", "PMOS_ENH", "NMOS_DEP",
                                      "PMOS_DEP", "NJFET",    "PJFET",    "DIODE",    "SCR"};

} // namespace

bool dispatchMenuEvent(int item) {
    using namespace gui;
    if (item >= menuDutFirst && item <= menuDutLast) {
        applyDutType(dutMenuCodes[item - menuDutFirst]);
        refreshParameterPanel();
        requestGraphRedraw();
        return true;
    }
    if (item >= menuSampleRateFirst && item <= menuSampleRateLast) {
        setSampleRate(sampleRateLadder[static_cast<std::size_t>(item - menuSampleRateFirst)]);
        return true;
    }
    SystemSettings& s = systemSettings;
    switch (item) {
    case menuSaveImageAndData: saveImageAndDataNow(); break;
    case menuSaveOptions:
        openSaveOptionsWindow();
        requestGraphRedraw(); // the graph shows the title
        break;
    case menuAutoSave: toggleTextSetting(s.autoSave, "KRV_AutoSave"); break;
    case menuDefaultSetupOnStart: toggleTextSetting(s.defaultTestSetupOnStart, "KRV_DefaultTestSetupOnStart"); break;
    case menuOpenTestSetup:
        openTestSetupFile();
        refreshParameterPanel();
        break;
    case menuSaveTestSetup:
        saveTestSetupFile();
        refreshParameterPanel();
        break;
    case menuSaveTestSetupAs:
        saveTestSetupAs();
        refreshParameterPanel();
        break;
    case menuConnect: connectToInstrument(); break;
    case menuDisconnect: disconnectFromInstrument(); break;
    case menuSelectComPort: openComPortWindow(); break;
    case menuHvAutoOff: toggleHvAutoOff(); break;
    case menuBaseClamp: toggleIntegerSetting(sweepParameters.baseClampInCurrentMode, "KRV_BaseGate_ClampMenuOption"); break;
    case menuStep0Enabled: toggleIntegerSetting(sweepParameters.step0Enabled, "KRV_Step0Enabled"); break;
    case menuGraticuleBoth: setGraticuleMode("Both"); break;
    case menuGraticuleMajor: setGraticuleMode("Major"); break;
    case menuGraticuleOff: setGraticuleMode("Off"); break;
    case menuGraticuleWhite: setGraticuleColour("White"); break;
    case menuGraticuleLightGreen: setGraticuleColour("LightGreen"); break;
    case menuGraticuleDarkGreen: setGraticuleColour("DarkGreen"); break;
    case menuBackgroundWhite: setBackgroundColour("White"); break;
    case menuBackgroundDarkGrey: setBackgroundColour("DarkGrey"); break;
    case menuBackgroundBlack: setBackgroundColour("Black"); break;
    case menuKeyRising: setKeyDirection("Rising"); break;
    case menuKeyFalling: setKeyDirection("Falling"); break;
    case menuAlternateColours: toggleAlternateColours(); break;
    case menuLiveSmoothed: setLiveReadings("Smoothed"); break;
    case menuLiveRealtime: setLiveReadings("Realtime"); break;
    case menuLiveRaw: setLiveReadings("Raw"); break;
    case menuCalibrateAdcDac: openAdcDacCalibrationWindow(); break;
    case menuFactoryFixture: openFactoryFixtureWindow(); break;
    case menuCalibrateOffset: openOffsetParasiticsWindow(); break;
    case menuDailyUpdateCheck: toggleDailyUpdateCheck(); break;
    case menuHardwareReset: sendHardwareReset(); break;
    case menuAbout: showAboutBox(); break;
    case menuSupportInfo: showSupportBox(); break;
    case menuDeviceParameters: openDeviceParametersWindow(); break;
    case menuSaveModelCard: saveModelCardNow(); break;
    case menuSetReference: setReferenceFromDisplayedRun(); break;
    case menuLoadReference: loadReferenceFile(); break;
    case menuClearReference: clearReference(); break;
    case menuReferenceGrey: toggleReferenceGrey(); break;
    default: return false;
    }
    return true;
}
