#include "app/control_dispatch.h"

#include "link/instrument_link.h"
#include "results/result_actions.h"
#include "sweep/parameter_panel.h"
#include "sweep/run_control.h"
#include "sweep/sweep_state_machine.h"
#include "sweep/sweep_parameters.h"

namespace {

struct ControlHandler {
    int control;
    void (*handler)();
    bool thenRefresh;
};

const char* const dutButtonCodes[6] = {"NPN", "PNP", "NFET", "PFET", "DIODE", "SCR"};

// The graph and its panel show the chosen DUT's settings, so they are redrawn at once.
template <int index>
void selectDut() {
    applyDutType(dutButtonCodes[index]);
    sweepControl.redrawRequested = 1;
}

const ControlHandler controlHandlers[] = {
    {273, toggleInstrumentLink, false},
    {274, toggleHighVoltage, false},
    {278, startRun, false},
    {279, stopRun, false},
    {318, collectorVoltageDown, true},
    {324, collectorVoltageUp, true},
    {322, toggleCollectorPolarity, true},
    {323, cycleCollectorResistor, true},
    {325, collectorCurrentDown, true},
    {331, collectorCurrentUp, true},
    {330, cycleCollectorPulse, true},
    {332, stepSizeDown, true},
    {338, stepSizeUp, true},
    {336, toggleStepPolarity, true},
    {337, toggleBaseGateMode, true},
    {339, offsetDown, true},
    {345, offsetUp, true},
    {343, toggleOffsetPolarity, true},
    {344, cycleOffsetRange, true},
    {346, stepCountDown, true},
    {352, stepCountUp, true},
    {351, cycleBaseGatePulse, true},
    {353, showPreviousSampleRun, true},
    {355, showNextSampleRun, true},
    {356, showPreviousTestConfiguration, true},
    {358, showNextTestConfiguration, true},
    {361, selectDut<0>, true},
    {362, selectDut<1>, true},
    {363, selectDut<2>, true},
    {364, selectDut<3>, true},
    {365, selectDut<4>, true},
    {366, selectDut<5>, true},
};

} // namespace

bool dispatchControlEvent(int control) {
    for (const auto& entry : controlHandlers) {
        if (entry.control != control) continue;
        entry.handler();
        if (entry.thenRefresh) refreshParameterPanel();
        return true;
    }
    return false;
}
