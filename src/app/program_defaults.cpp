#include "app/program_defaults.h"

#include "base/colour_theme.h"
#include "base/settings_file.h"
#include "app/shell_state.h"
#include "app/update_check.h"
#include "base/system_settings.h"
#include "base/unit_format.h"
#include "calibration/calibration_coefficients.h"
#include "calibration/calibration_pacing.h"
#include "calibration/dmm_link.h"
#include "calibration/fixture_link.h"
#include "display/cursor_actions.h"
#include "display/hot_regions.h"
#include "display/connection_indicator.h"
#include "display/graph.h"
#include "display/live_status.h"
#include "display/menu_check_marks.h"
#include "display/parameter_box.h"
#include "link/comms_thread.h"
#include "link/instrument_link.h"
#include "link/register_transfer.h"
#include "results/result_actions.h"
#include "sweep/calibration_transfer.h"
#include "sweep/instrument_values.h"
#include "sweep/sweep_parameters.h"
#include "sweep/sweep_state_machine.h"
#include "ui/main_window.h"
#include "ui/parameter_panel_view.h"

void resetProgramDefaults() {
    resetShellDefaults();
    resetUpdateCheckDefaults();
    resetSettingsFileDefaults();
    resetSystemSettingsDefaults();
    resetCursorDefaults();
    resetHotRegionDefaults();
    resetSweepParametersDefaults();
    resetInstrumentValuesDefaults();
    resetCalibrationDefaults();
    resetCalibrationPacingDefaults();
    resetDmmLinkDefaults();
    resetFixtureLinkDefaults();
    resetRegisterTransferDefaults();
    resetMenuCheckMarkDefaults();
    resetGraphDefaults();
    resetParameterBoxDefaults();
    resetColourThemeDefaults();
    resetAxisScaleCarry();
    resetConnectionIndicatorDefaults();
    resetInstrumentLinkDefaults();
    resetCommsDefaults();
    resetSweepStateMachineDefaults();
    resetCalibrationTransferDefaults();
    resetResultsDefaults();
    resetLiveStatusDefaults();
    resetMainWindowLayoutDefaults();
    resetParameterPanelViewDefaults();
}
