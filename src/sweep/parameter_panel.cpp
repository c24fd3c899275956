#include "sweep/parameter_panel.h"

// The tile handlers are filled in with the parameter panel.
void collectorVoltageUp() {}
void collectorVoltageDown() {}
void toggleCollectorPolarity() {}
void cycleCollectorResistor() {}
void collectorCurrentUp() {}
void collectorCurrentDown() {}
void cycleCollectorPulse() {}
void stepSizeUp() {}
void stepSizeDown() {}
void toggleStepPolarity() {}
void toggleBaseGateMode() {}
void offsetUp() {}
void offsetDown() {}
void toggleOffsetPolarity() {}
void cycleOffsetRange() {}
void stepCountUp() {}
void stepCountDown() {}
void cycleBaseGatePulse() {}
