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
