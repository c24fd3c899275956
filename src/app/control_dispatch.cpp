#include "app/control_dispatch.h"

#include "app/link_actions.h"
#include "base/gui_numbers.h"
#include "display/graph.h"
#include "results/result_actions.h"
#include "sweep/parameter_panel.h"
#include "sweep/run_control.h"
#include "sweep/sweep_parameters.h"
#include "ui/parameter_panel_view.h"

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
    requestGraphRedraw();
}

// A new run starts with an empty key.
void runButton() {
    if (startRun()) clearGraphStepDisplay();
}

// Paging through sample runs or test configurations shows the new one at once.
template <void (*action)()>
void thenRedraw() {
    action();
    requestGraphRedraw();
}

using namespace gui;

const ControlHandler controlHandlers[] = {
    {controlConnectButton, toggleInstrumentLink, false},
    {controlHighVoltageButton, toggleHighVoltage, false},
    {controlRunButton, runButton, false},
    {controlStopButton, stopRun, false},
    {controlCollectorVoltageDown, collectorVoltageDown, true},
    {controlCollectorVoltageUp, collectorVoltageUp, true},
    {controlCollectorPolarity, toggleCollectorPolarity, true},
    {controlCollectorResistor, cycleCollectorResistor, true},
    {controlCollectorCurrentDown, collectorCurrentDown, true},
    {controlCollectorCurrentUp, collectorCurrentUp, true},
    {controlCollectorPulse, cycleCollectorPulse, true},
    {controlStepSizeDown, stepSizeDown, true},
    {controlStepSizeUp, stepSizeUp, true},
    {controlStepPolarity, toggleStepPolarity, true},
    {controlBaseGateMode, toggleBaseGateMode, true},
    {controlOffsetDown, offsetDown, true},
    {controlOffsetUp, offsetUp, true},
    {controlOffsetPolarity, toggleOffsetPolarity, true},
    {controlOffsetRange, cycleOffsetRange, true},
    {controlStepCountDown, stepCountDown, true},
    {controlStepCountUp, stepCountUp, true},
    {controlBaseGatePulse, cycleBaseGatePulse, true},
    {controlPreviousSampleRun, thenRedraw<showPreviousSampleRun>, true},
    {controlNextSampleRun, thenRedraw<showNextSampleRun>, true},
    {controlPreviousTestConfiguration, thenRedraw<showPreviousTestConfiguration>, true},
    {controlNextTestConfiguration, thenRedraw<showNextTestConfiguration>, true},
    {controlDutNpn + 0, selectDut<0>, true},
    {controlDutNpn + 1, selectDut<1>, true},
    {controlDutNpn + 2, selectDut<2>, true},
    {controlDutNpn + 3, selectDut<3>, true},
    {controlDutNpn + 4, selectDut<4>, true},
    {controlDutNpn + 5, selectDut<5>, true},
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
