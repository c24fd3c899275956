// Handlers of the parameter panel's tiles: each changes the sweep parameters; the caller refreshes
// the panel afterwards.
#pragma once

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
