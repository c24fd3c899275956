#include "app/menu_dispatch.h"

#include <string>

#include "app/about_boxes.h"
#include "app/settings_file.h"
#include "app/shell_state.h"
#include "app/system_settings.h"
#include "calibration/calibration_windows.h"
#include "link/com_port_window.h"
#include "link/instrument_link.h"
#include "link/register_transfer.h"
#include "results/result_actions.h"
#include "sweep/parameter_panel.h"
#include "sweep/sweep_parameters.h"
#include "ui/theme.h"

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
    toggleIntegerSetting(shell.updateCheckEnabled, "CheckWebsiteForUpdate");
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
    if (item >= 230 && item <= 239) {
        applyDutType(dutMenuCodes[item - 230]);
        refreshParameterPanel();
        return true;
    }
    if (item >= 240 && item <= 247) {
        setSampleRate(sampleRateLadder[static_cast<std::size_t>(item - 240)]);
        return true;
    }
    SystemSettings& s = systemSettings;
    switch (item) {
    case 28: saveImageAndDataNow(); break;
    case 31: openSaveOptionsWindow(); break;
    case 32: toggleTextSetting(s.autoSave, "KRV_AutoSave"); break;
    case 33: toggleTextSetting(s.defaultTestSetupOnStart, "KRV_DefaultTestSetupOnStart"); break;
    case 34: openTestSetupFile(); break;
    case 35: saveTestSetupFile(); break;
    case 36: saveTestSetupAs(); break;
    case 227: openInstrumentLink(); break;
    case 228: closeInstrumentLink(); break;
    case 57: openComPortWindow(); break;
    case 229: toggleHvAutoOff(); break;
    case 248: toggleIntegerSetting(sweepParameters.baseClampInCurrentMode, "KRV_BaseGate_ClampMenuOption"); break;
    case 249: toggleIntegerSetting(sweepParameters.step0Enabled, "KRV_Step0Enabled"); break;
    case 250: setGraticuleMode("Both"); break;
    case 251: setGraticuleMode("Major"); break;
    case 252: setGraticuleMode("Off"); break;
    case 253: setGraticuleColour("White"); break;
    case 254: setGraticuleColour("LightGreen"); break;
    case 255: setGraticuleColour("DarkGreen"); break;
    case 256: setBackgroundColour("White"); break;
    case 257: setBackgroundColour("DarkGrey"); break;
    case 258: setBackgroundColour("Black"); break;
    case 259: setKeyDirection("Rising"); break;
    case 260: setKeyDirection("Falling"); break;
    case 261: toggleAlternateColours(); break;
    case 266: setLiveReadings("Smoothed"); break;
    case 267: setLiveReadings("Realtime"); break;
    case 268: setLiveReadings("Raw"); break;
    case 262: openAdcDacCalibrationWindow(); break;
    case 263: openFactoryFixtureWindow(); break;
    case 264: openOffsetParasiticsWindow(); break;
    case 56: toggleDailyUpdateCheck(); break;
    case 265: sendHardwareReset(); break;
    case 47: showAboutBox(); break;
    case 50: showSupportBox(); break;
    default: return false;
    }
    return true;
}
