// Handlers of the parameter panel's tiles and its refresh.
#pragma once

void refreshParameterPanel();

void collectorVoltageUp();
void collectorVoltageDown();
void toggleCollectorPolarity();
void cycleCollectorResistor();
void collectorCurrentUp();
void collectorCurrentDown();
void cycleCollectorPulse();
void stepSizeUp();
void stepSizeDown();
void toggleStepPolarity();
void toggleBaseGateMode();
void offsetUp();
void offsetDown();
void toggleOffsetPolarity();
void cycleOffsetRange();
void stepCountUp();
void stepCountDown();
void cycleBaseGatePulse();
// DUT picture buttons, index 0..5 = "NPN", "PNP", "NFET", "PFET", "DIODE", "SCR".
void selectDutButton(int index);
// DUT menu items 0..9 = NPN, PNP, NMOS_ENH, PMOS_ENH, NMOS_DEP, PMOS_DEP, NJFET, PJFET, DIODE, SCR.
void selectDutFromMenu(int index);
void selectSampleRate(int hertz);
double currentSampleRateHertz();
